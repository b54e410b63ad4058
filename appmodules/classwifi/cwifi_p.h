// What a Cwifi keeps, shared by the files that implement it: the snapshot
// and its lock (cwifi.cpp), the profile and connection operations
// (cwifiprofiles.cpp) and the IP configuration (cwifiipconfig.cpp).
#ifndef CWIFI_P_H
#define CWIFI_P_H

#include <QEventLoop>
#include <QMap>
#include <QMutex>
#include <QThread>
#include <QVector>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "classwifi/cwifi.h"
#include "platform.h"

namespace nw = vantel::platform;

// A record's flags.
enum : quint32 {
    RECORD_WEP_KEY = 0x1,        // a key of a WEP-style length is stored
    RECORD_PASSPHRASE = 0x2,     // a passphrase is stored
    RECORD_FROM_VISIBLE_NETWORK = 0x4000
};

// The record header: a count and an index (always 0), then the records.
struct RecordBlock {
    quint32 count = 0;
    quint32 index = 0;
    std::vector<WifiNetworkRecord> items;
};

class CwifiPrivate
{
public:
    explicit CwifiPrivate(Cwifi* owner) : q(owner) {}

    nw::NativeWifi& service() { return backend->nativeWifi(); }

    quint32 SelectInterface();
    quint32 RefreshNetworkList();
    quint32 RefreshWiFiInterface();
    void BuildNetworkRecord(const nw::WLAN_AVAILABLE_NETWORK& network, const nw::WLAN_BSS_ENTRY* bss,
                            WifiNetworkRecord& record);
    static quint32 AuthCipherMask(const nw::WLAN_AUTH_CIPHER_PAIR_LIST* pairs);
    void CloseWlan();
    static void onWlanNotification(const nw::WLAN_NOTIFICATION_DATA* data, void* context);
    void repaint(int index);

    void fillNameTables();
    // The record of network `index`, null for a bad index; with `lock` held.
    WifiNetworkRecord* record(int index);
    // Key validation on the key's 8-bit copy; sets hexKey and, for a key
    // accepted, the record's key fields.
    bool ValidateKey(WifiNetworkRecord& record, const char* key, int length);
    // Connects with the profile named after `record`'s SSID and waits for the
    // outcome; called with `lock` held, which it releases.
    int ConnectWithProfile(const WifiNetworkRecord& record);

    Cwifi* const q;
    // The service belongs to the backend in use when the client was made.
    const std::shared_ptr<nw::Backend> backend = nw::currentBackend();

    QMap<int, QString> tagNames;
    QMap<int, QString> authNames;
    QMap<int, QString> cipherNames;
    QString interfaceName;
    int pixmapCount = 0;
    QVector<QPixmap> signalPixmaps;
    // The signal each picture was last painted for (-1: never): a refresh
    // repaints only the bars whose signal moved.
    QVector<int> paintedSignals;
    std::unique_ptr<RecordBlock> records;
    nw::HANDLE clientHandle = 0;
    nw::GUID interfaceGuid;
    quint32 bssTypeFlags = 0;
    quint32 capabilityMask = 0;
    std::unique_ptr<nw::WLAN_AVAILABLE_NETWORK_LIST> networkList;
    // The connected entry of networkList, found when the list is made: each
    // poll asks for it, and the list may hold dozens of networks.
    int connectedIndex = -1;
    std::unique_ptr<nw::WLAN_BSS_LIST> bssList;
    std::unique_ptr<nw::WLAN_CONNECTION_ATTRIBUTES> currentConnection;
    std::unique_ptr<nw::WLAN_AUTH_CIPHER_PAIR_LIST> infraPairs;
    std::unique_ptr<nw::WLAN_AUTH_CIPHER_PAIR_LIST> adhocPairs;
    int isOpen = 0;
    int hexKey = 0;
    DOT11_SSID targetSsid{};
    QMutex lock;
    // The thread that holds `lock` while it waits in Connect's loop for the
    // outcome. A host's operation on that thread (a paint reading the list)
    // answers at once as if there were no list, instead of waiting for
    // itself forever on a lock that is not recursive.
    std::atomic<QThread*> waitingThread{nullptr};
    // The wait's loop, and whether the client still exists when it ends:
    // a host may delete the client from an event the wait runs.
    QEventLoop* waitLoop = nullptr;
    const std::shared_ptr<std::atomic<bool>> alive = std::make_shared<std::atomic<bool>>(true);
    bool waitingHere() const { return waitingThread.load() == QThread::currentThread(); }
    std::atomic<int> notifyEnabled{1};
    // A notice came while notifications were off (the radio was off, the
    // service gone): the snapshot is refreshed when they are on again, or it
    // would keep what the service said before.
    std::atomic<int> noticeMissed{0};
    // A refresh is queued and has not begun: notices meanwhile add none.
    std::atomic<int> refreshQueued{0};
    // The notification thread meets a connection attempt here. A standard
    // lock, which ThreadSanitizer sees whole even when contended.
    std::mutex pendingLock;
    int connectResult = 0;
    QString pendingProfileName;
};

#endif
