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
#include <QStringList>
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

// What a caller tells of a network it adds or changes, and what
// GetWiFiNetworkProperties tells back.
struct WifiNetworkProperties {
    quint32 auth = 0;   // DOT11_AUTH_ALGORITHM
    quint32 cipher = 0; // DOT11_CIPHER_ALGORITHM
    QString key;
    bool adhoc = false; // an independent BSS
    quint32 keyIndex = 0;
};

// The IPv4 configuration of the client's adapter (GetIpConfig), or the one to
// give it (SetIpConfig, which reads dhcpEnabled and, for a static
// configuration, the first address, mask and gateway and the first two DNS
// servers).
struct WifiIpConfig {
    QStringList addresses;   // dotted text
    QStringList masks;       // beside addresses
    QString adapterName;     // Windows: its GUID text; Linux: the interface name
    QString description;
    bool dhcpEnabled = false;
    QStringList dhcpServers; // the DHCP server, while DHCP is on
    QString hostName;        // the computer's name
    QString domainName;
    QStringList dnsServers;  // the computer's, in order
    QStringList gateways;    // the adapter's first default gateway
    QString macAddress;      // "00-1A-2B-3C-4D-5E\n"
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
    // Whether notifications may start a refresh. Switched on again (or
    // after a notice was held back), it refreshes at once.
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

    // Profiles and connections. The profile of a network is named after its
    // SSID, one character a byte; keys go only to the Native Wifi service.
    //
    // Stores `key` in network `index`'s record when it suits the network's
    // authentication and cipher: 1, else 0.
    int SaveNetworkKey(int index, QString key);
    int SaveWAPKeyImpl(WifiNetworkRecord* record, QString key);
    // Hands the record's profile document to the service: its error code, 0
    // on success.
    int SetProfile(WifiNetworkRecord* record);
    QString BuildProfileXml(WifiNetworkRecord* record);
    // Stores the network's profile (with `key`, when given), connects and
    // waits in a local event loop for the outcome, holding the snapshot's
    // lock: 1 connected, 0 otherwise. Make them from the thread that made
    // the client. The client may be deleted (deleteLater) or the
    // application quit during the wait: it ends then, with 0.
    int Connect(int index, QString key);
    int DirectConnect(WifiNetworkRecord* record);
    // Stores a profile for `ssid` (at most 32 characters), and connects when
    // asked: 1 stored (and connected), 0 otherwise.
    int AddNetwork(QString ssid, QString key, WifiNetworkProperties* props, bool connectNow);
    int SetWiFiNetworkProperties(int index, WifiNetworkProperties* props);
    int GetWiFiNetworkProperties(int index, WifiNetworkProperties* props);
    int AuthName(int auth, QString& name);
    int CipherName(int cipher, QString& name);
    int AuthFromName(QString name);
    int CipherFromName(QString name);
    // Disconnects the interface and deletes the network's profile: the
    // deletion's error code; 87 for a bad index.
    int DeleteNetwork(int index);

    // IP configuration of the adapter whose description is the interface's.
    // 1 when the adapters and network parameters could be read.
    int GetIpConfig(WifiIpConfig* config);
    // Applies DHCP or a static configuration to the adapter, then flushes
    // the DNS resolver's cache: 1 when the adapters could be read. A static
    // configuration whose lists lack an address, mask, gateway or one of two
    // DNS servers is refused as a whole: 0, and nothing changes.
    int SetIpConfig(WifiIpConfig* config);
    // Tells the DHCP client of an address change: 1 when it accepted.
    int NotifyDhcpChange(const char* adapterName, bool enableDhcp, quint32 ipAddress, quint32 subnetMask);
    void FlushDnsCache();

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
