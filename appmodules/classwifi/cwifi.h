#ifndef CWIFI_H
#define CWIFI_H

/// @file
/// Cwifi, the WLAN client, and the records it reads and writes.

#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

#include "vantel_export.h"

/// A network's name as the Native Wifi service keeps it: a 32-bit length, then
/// 32 bytes.
struct DOT11_SSID {
    quint32 uSSIDLength; ///< bytes of ucSSID used, 0 to 32
    uchar ucSSID[32];    ///< the name's bytes, not terminated
};

/// One visible network, in the order of the client's network list.
struct WifiNetworkRecord {
    quint32 flags;          ///< 0x4000: from a visible network; 0x1 / 0x2: a key of WEP / passphrase length stored
    uchar bssid[6];         ///< of the network's first BSS entry; zero when none
    DOT11_SSID ssid;        ///< the network's name
    quint32 cipher;         ///< DOT11_CIPHER_ALGORITHM
    quint32 signalQuality;  ///< 0 to 100
    quint32 bssType;        ///< 1 infrastructure, 2 independent
    quint32 keyIndex;       ///< the WEP key index
    quint32 keyLength;      ///< characters in keyText
    char16_t keyText[1024]; ///< UTF-16
    quint32 auth;           ///< DOT11_AUTH_ALGORITHM
    quint32 frequency;      ///< channel centre frequency in kHz; 0 when not known
};

/// What a caller tells of a network it adds or changes, and what
/// GetWiFiNetworkProperties tells back.
struct WifiNetworkProperties {
    quint32 auth = 0;     ///< DOT11_AUTH_ALGORITHM
    quint32 cipher = 0;   ///< DOT11_CIPHER_ALGORITHM
    QString key;          ///< the key or passphrase; empty for an open network
    bool adhoc = false;   ///< an independent BSS
    quint32 keyIndex = 0; ///< the WEP key index
};

/// The IPv4 configuration of the client's adapter (GetIpConfig), or the one to
/// give it (SetIpConfig, which reads dhcpEnabled and, for a static
/// configuration, the first address, mask and gateway and the first two DNS
/// servers).
struct WifiIpConfig {
    QStringList addresses;    ///< dotted text
    QStringList masks;        ///< beside addresses
    QString adapterName;      ///< Windows: its GUID text; Linux: the interface name
    QString description;      ///< the adapter's description, as the interface's
    bool dhcpEnabled = false; ///< addresses and DNS servers come from DHCP
    QStringList dhcpServers;  ///< the DHCP server, while DHCP is on
    QString hostName;         ///< the computer's name
    QString domainName;       ///< the computer's DNS domain
    QStringList dnsServers;   ///< the computer's, in order
    QStringList gateways;     ///< the adapter's first default gateway
    QString macAddress;       ///< "00-1A-2B-3C-4D-5E\n"
};

class CwifiPrivate;

/// The WLAN client: one WLAN interface of the Native Wifi service and a
/// snapshot of it (the visible networks, the one connected, each network's
/// signal quality), rebuilt whenever the service reports a scan or a
/// connection event. The queries a poll makes (IsRadioOn,
/// CurrentConnectedIndex, GetSignal) never wait: while the snapshot is being
/// rebuilt they answer radio off, -1 and 0.
///
/// A widget only for Qt's object model and to own the signal-bar pictures;
/// it is never shown.
///
/// Thread: make it and call it in the GUI thread; the calls that wait
/// (Connect, DirectConnect, AddNetwork with connectNow) run a local event
/// loop there. Its two signals are emitted on the thread that follows
/// NetworkManager.
///
/// Without NetworkManager or a WLAN interface: the client stays closed
/// (isOpen() false), the radio reads as off, the network list is empty and
/// every change answers 0 or the service's error code; it opens by itself
/// when the service reports an interface.
class VANTEL_EXPORT Cwifi : public QWidget
{
    Q_OBJECT
public:
    /// Opens the client on the interface whose description is
    /// `interfaceName`, or on the first one when it is empty. A failed open
    /// leaves the client usable: it tries again on each notification.
    explicit Cwifi(QString interfaceName, QWidget* parent = nullptr);
    ~Cwifi() override;

    /// Both the software and the hardware switch of the first PHY are on.
    bool IsRadioOn();
    /// Index of the connected network in the network list, -1 when none.
    int CurrentConnectedIndex();
    /// Signal quality of network `index`, 0 when there is none.
    int GetSignal(int index);
    /// Whether notifications may start a refresh. Switched on again (or
    /// after a notice was held back), it refreshes at once.
    void SetNotifyEnabled(bool on);

    /// Asks the service for a scan: false when the radio is off, the client
    /// is not open or the service refused.
    bool Scan();
    /// Switches the radio's software switch; true also where the radio
    /// cannot be switched.
    bool SetRadio(bool on);
    /// Networks in the list; 0 while the client is closed.
    int NetworkCount();
    /// The network's SSID, one character a byte; empty for a bad index.
    QString NetworkSSID(int index);
    /// The SSID of the connected network; empty when none.
    QString ConnectedSSID();
    /// The network's signal bar: green up to the signal, with its percentage;
    /// red when the signal is 0 or not known. Null for a bad index.
    QPixmap NetworkPixmap(int index);
    /// Whether the client holds an open interface.
    bool isOpen();
    /// 0 when a visible network has this SSID, 1 otherwise.
    int IsSSIDAbsent(const DOT11_SSID* ssid);

    /// Opens the client (at once true when it is open); ReopenWlan opens it
    /// again after a failed open, when the radio is on.
    bool OpenWlan();
    /// Opens the client again after a failed open and rebuilds the snapshot;
    /// nothing while the radio is off.
    void ReopenWlan();

    /// Profiles and connections. The profile of a network is named after its
    /// SSID, one character a byte; keys go only to the Native Wifi service.
    ///
    /// Stores `key` in network `index`'s record when it suits the network's
    /// authentication and cipher: 1, else 0.
    int SaveNetworkKey(int index, QString key);
    /// The same check and store on a record of the caller's: 1 stored, 0
    /// for a null record or a key that does not suit it.
    int SaveWAPKeyImpl(WifiNetworkRecord* record, QString key);
    /// Hands the record's profile document to the service: its error code, 0
    /// on success.
    int SetProfile(WifiNetworkRecord* record);
    /// The profile document (WLANProfile XML) the record stands for; empty
    /// for a null record.
    QString BuildProfileXml(WifiNetworkRecord* record);
    /// Stores the network's profile (with `key`, when given), connects and
    /// waits in a local event loop for the outcome, holding the snapshot's
    /// lock: 1 connected, 0 otherwise. Make them from the thread that made
    /// the client. The client may be deleted (deleteLater) or the
    /// application quit during the wait: it ends then, with 0.
    int Connect(int index, QString key);
    /// Connects with the stored profile of the record's network and waits
    /// as Connect() does: 1 connected, 0 otherwise (also for a null record or
    /// while another wait is under way).
    int DirectConnect(WifiNetworkRecord* record);
    /// Stores a profile for `ssid` (at most 32 characters), and connects when
    /// asked: 1 stored (and connected), 0 otherwise.
    int AddNetwork(QString ssid, QString key, WifiNetworkProperties* props, bool connectNow);
    /// Copies the authentication, cipher, key index and BSS type of `props`
    /// into network `index`'s record (not its key); always 1.
    int SetWiFiNetworkProperties(int index, WifiNetworkProperties* props);
    /// Copies network `index`'s authentication, cipher, BSS type and stored
    /// key into `props`; always 0.
    int GetWiFiNetworkProperties(int index, WifiNetworkProperties* props);
    /// The profile name of a DOT11_AUTH_ALGORITHM value (empty when unknown); always 1.
    int AuthName(int auth, QString& name);
    /// The profile name of a DOT11_CIPHER_ALGORITHM value (empty when unknown); always 1.
    int CipherName(int cipher, QString& name);
    /// The DOT11_AUTH_ALGORITHM value of a profile name; 0 when unknown.
    int AuthFromName(QString name);
    /// The DOT11_CIPHER_ALGORITHM value of a profile name; 0 when unknown.
    int CipherFromName(QString name);
    /// Disconnects the interface and deletes the network's profile: the
    /// deletion's error code; 87 for a bad index.
    int DeleteNetwork(int index);

    /// IP configuration of the adapter whose description is the interface's.
    /// 1 when the adapters and network parameters could be read.
    int GetIpConfig(WifiIpConfig* config);
    /// Applies DHCP or a static configuration to the adapter, then flushes
    /// the DNS resolver's cache: 1 when the adapters could be read. A static
    /// configuration whose lists lack an address, mask, gateway or one of two
    /// DNS servers is refused as a whole: 0, and nothing changes.
    int SetIpConfig(WifiIpConfig* config);
    /// Tells the DHCP client of an address change: 1 when it accepted.
    int NotifyDhcpChange(const char* adapterName, bool enableDhcp, quint32 ipAddress, quint32 subnetMask);
    /// Flushes the DNS resolver's cache (systemd-resolved's, where it runs).
    void FlushDnsCache();

signals:
    /// After each notification of the service (a scan, a network in sight,
    /// a connection or disconnection) while notifications are enabled: the
    /// snapshot is rebuilt. Emitted on the service's notification thread, so
    /// a receiver in the GUI thread gets it queued.
    void WifiEndScan();
    /// The connection attempt the client waits for succeeded, or an attempt
    /// failed. Emitted on the service's notification thread.
    void WifiConnection();

private slots:
    /// Rebuilds the snapshot; runs on every WifiEndScan.
    void update();

private:
    friend class CwifiPrivate;
    std::unique_ptr<CwifiPrivate> d;
};

#endif
