// The WLAN client: one WLAN interface of the Native Wifi service and a
// snapshot of it (the visible networks, the one connected, each network's
// signal quality), rebuilt whenever the service reports a scan or a
// connection event. The queries a poll makes (IsRadioOn,
// CurrentConnectedIndex, GetSignal) never wait: while the snapshot is being
// rebuilt they answer radio off, -1 and 0.
//
// A widget only for Qt's object model and to own the signal-bar pictures;
// it is never shown. Make it in the GUI thread.
#ifndef CWIFI_H
#define CWIFI_H

#include <QPixmap>
#include <QString>
#include <QWidget>

#include <memory>

#include "vantel_export.h"

// A network's name as the Native Wifi service keeps it: a 32-bit length, then
// 32 bytes.
struct DOT11_SSID {
    quint32 uSSIDLength;
    uchar ucSSID[32];
};

// One visible network, in the order of the client's network list.
struct WifiNetworkRecord {
    quint32 flags;          // 0x4000: from a visible network; 0x1 / 0x2: a key of WEP / passphrase length stored
    uchar bssid[6];         // of the network's first BSS entry; zero when none
    DOT11_SSID ssid;
    quint32 cipher;         // DOT11_CIPHER_ALGORITHM
    quint32 signalQuality;  // 0 to 100
    quint32 bssType;        // 1 infrastructure, 2 independent
    quint32 keyIndex;
    quint32 keyLength;
    char16_t keyText[1024]; // UTF-16
    quint32 auth;           // DOT11_AUTH_ALGORITHM
    quint32 frequency;      // channel centre frequency in kHz; 0 when not known
};

class CwifiPrivate;

class VANTEL_EXPORT Cwifi : public QWidget
{
    Q_OBJECT
public:
    // Opens the client on the interface whose description is
    // `interfaceName`, or on the first one when it is empty. A failed open
    // leaves the client usable: it tries again on each notification.
    explicit Cwifi(QString interfaceName, QWidget* parent = nullptr);
    ~Cwifi() override;

    // Both the software and the hardware switch of the first PHY are on.
    bool IsRadioOn();
    // Index of the connected network in the network list, -1 when none.
    int CurrentConnectedIndex();
    // Signal quality of network `index`, 0 when there is none.
    int GetSignal(int index);
    // Whether notifications may start a refresh.
    void SetNotifyEnabled(bool on);

    // Asks the service for a scan: false when the radio is off, the client
    // is not open or the service refused.
    bool Scan();
    // Switches the radio's software switch; true also where the radio
    // cannot be switched.
    bool SetRadio(bool on);
    int NetworkCount();
    // The network's SSID, one character a byte; empty for a bad index.
    QString NetworkSSID(int index);
    QString ConnectedSSID();
    // The network's signal bar: green up to the signal, with its percentage;
    // red when the signal is 0 or not known. Null for a bad index.
    QPixmap NetworkPixmap(int index);
    bool isOpen();
    // 0 when a visible network has this SSID, 1 otherwise.
    int IsSSIDAbsent(const DOT11_SSID* ssid);

    // Opens the client (at once true when it is open); ReopenWlan opens it
    // again after a failed open, when the radio is on.
    bool OpenWlan();
    void ReopenWlan();

signals:
    void WifiEndScan();
    void WifiConnection();

private slots:
    // Rebuilds the snapshot; runs on every WifiEndScan.
    void update();

private:
    friend class CwifiPrivate;
    std::unique_ptr<CwifiPrivate> d;
};

#endif
