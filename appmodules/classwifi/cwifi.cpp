#include "classwifi/cwifi.h"

#include <QDebug>
#include <QPainter>

#include <cstring>

#include "classwifi/cwifi_p.h"
#include "panordata.h"

namespace {

enum : quint32 { BSS_TYPE_FLAGS_SET = 0x8000, MASK_WPA = 0x100, MASK_RSNA = 0x200 };

// Selector of Panor's signal-bar size.
const int kInterfaceSignalBar = 1;

static_assert(sizeof(DOT11_SSID) == 36, "DOT11_SSID has the layout Native Wifi publishes");

// The length and the bytes it covers; a caller's bytes beyond do not count.
bool sameSsidBytes(const DOT11_SSID& a, const DOT11_SSID& b)
{
    return a.uSSIDLength == b.uSSIDLength && a.uSSIDLength <= sizeof(a.ucSSID)
        && std::memcmp(a.ucSSID, b.ucSSID, a.uSSIDLength) == 0;
}

DOT11_SSID recordSsid(const nw::DOT11_SSID& ssid)
{
    DOT11_SSID copy;
    copy.uSSIDLength = ssid.uSSIDLength;
    std::memcpy(copy.ucSSID, ssid.ucSSID.data(), sizeof(copy.ucSSID));
    return copy;
}

} // namespace

Cwifi::Cwifi(QString interfaceName, QWidget* parent)
    : QWidget(parent), d(std::make_unique<CwifiPrivate>(this))
{
    connect(this, SIGNAL(WifiEndScan()), this, SLOT(update()));
    d->notifyEnabled = 1;
    d->interfaceName = interfaceName;
    d->pixmapCount = 0;
    d->fillNameTables();
    OpenWlan();
}

Cwifi::~Cwifi()
{
    d->CloseWlan();
}

bool Cwifi::OpenWlan()
{
    if (d->isOpen)
        return true;
    quint32 result = nw::NW_SUCCESS;
    // A retry keeps the handle it has: a second one would double every notification.
    if (!d->clientHandle) {
        quint32 negotiated = 0;
        result = d->service().openHandle(nw::NW_CLIENT_VERSION, negotiated, d->clientHandle);
        if (result == nw::NW_SUCCESS && negotiated > nw::NW_CLIENT_VERSION)
            result = nw::NW_ERROR_NOT_SUPPORTED;
    }
    if (result == nw::NW_SUCCESS) {
        {
            QMutexLocker locker(&d->lock);
            d->networkList = std::make_unique<nw::WLAN_AVAILABLE_NETWORK_LIST>();
            d->networkList->Network.reserve(1);
            d->connectedIndex = -1;
        }
        result = d->SelectInterface();
        if (result == nw::NW_SUCCESS) {
            result = d->RefreshWiFiInterface();
            if (result == nw::NW_SUCCESS)
                d->isOpen = 1;
        }
    }
    d->service().registerNotification(d->clientHandle, nw::NW_SOURCE_ACM, &CwifiPrivate::onWlanNotification, d.get());
    return result == nw::NW_SUCCESS;
}

quint32 CwifiPrivate::SelectInterface()
{
    std::vector<nw::WLAN_INTERFACE_INFO> interfaces;
    const quint32 result = service().enumInterfaces(clientHandle, interfaces);
    if (result != nw::NW_SUCCESS)
        return result;
    for (const nw::WLAN_INTERFACE_INFO& candidate : interfaces) {
        const QString description = QString::fromStdString(candidate.strInterfaceDescription);
        if (interfaceName.isEmpty())
            interfaceName = description;
        else if (description != interfaceName)
            continue;
        interfaceGuid = candidate.InterfaceGuid;
        return nw::NW_SUCCESS;
    }
    return nw::NW_ERROR_NOT_FOUND;
}

bool Cwifi::IsRadioOn()
{
    if (!d->lock.tryLock())
        return false;
    nw::WLAN_INTERFACE_DATA radio;
    bool on = false;
    if (d->service().queryInterface(d->clientHandle, d->interfaceGuid, nw::wlan_intf_opcode_radio_state, radio)
            == nw::NW_SUCCESS
        && !radio.radioState.PhyRadioState.empty()) {
        const nw::WLAN_PHY_RADIO_STATE& phy = radio.radioState.PhyRadioState.front();
        on = phy.dot11SoftwareRadioState == nw::dot11_radio_state_on
             && phy.dot11HardwareRadioState == nw::dot11_radio_state_on;
    }
    d->lock.unlock();
    return on;
}

// Called with `lock` held.
quint32 CwifiPrivate::RefreshNetworkList()
{
    networkList.reset();
    bssList.reset();
    currentConnection.reset();

    nw::WLAN_INTERFACE_DATA data;
    quint32 result = service().queryInterface(clientHandle, interfaceGuid, nw::wlan_intf_opcode_interface_state, data);
    if (result != nw::NW_SUCCESS)
        return result;
    if (data.interfaceState == nw::wlan_interface_state_not_ready)
        return nw::NW_SUCCESS;

    result = service().queryInterface(clientHandle, interfaceGuid, nw::wlan_intf_opcode_current_connection, data);
    if (result == nw::NW_SUCCESS)
        currentConnection = std::make_unique<nw::WLAN_CONNECTION_ATTRIBUTES>(data.connection);
    else if (result != nw::NW_ERROR_INVALID_STATE)
        return result;

    nw::WLAN_AVAILABLE_NETWORK_LIST available;
    result = service().getAvailableNetworkList(clientHandle, interfaceGuid, available);
    if (result != nw::NW_SUCCESS)
        return result;
    std::size_t n = available.Network.size();

    auto everyBss = std::make_unique<nw::WLAN_BSS_LIST>();
    result = service().getNetworkBssList(clientHandle, interfaceGuid, nullptr, nw::dot11_BSS_type_any, false, *everyBss);
    if (result == nw::NW_SUCCESS) {
        n += everyBss->wlanBssEntries.size();
        bssList = std::move(everyBss);
    } else if (result != nw::NW_ERROR_NOT_SUPPORTED) {
        return result;
    }

    auto list = std::make_unique<nw::WLAN_AVAILABLE_NETWORK_LIST>();
    list->dwIndex = 0;
    list->Network.reserve(n + 1);
    const bool connected = currentConnection && currentConnection->isState == nw::wlan_interface_state_connected;
    nw::WLAN_BSS_LIST perNetwork;
    for (const nw::WLAN_AVAILABLE_NETWORK& network : available.Network) {
        // The service lists a network with a profile a second time without one.
        if (network.dwFlags & nw::NW_NETWORK_HAS_PROFILE)
            continue;
        result = service().getNetworkBssList(clientHandle, interfaceGuid, &network.dot11Ssid, network.dot11BssType,
                                             network.bSecurityEnabled, perNetwork);
        if (result == nw::NW_ERROR_NOT_SUPPORTED) {
            list->Network.push_back(network);
            if (connected)
                list->Network.back().dwFlags = nw::NW_NETWORK_CONNECTED;
        } else if (result == nw::NW_SUCCESS && !perNetwork.wlanBssEntries.empty()) {
            // Only the first BSS entry counts.
            const nw::WLAN_BSS_ENTRY& first = perNetwork.wlanBssEntries.front();
            list->Network.push_back(network);
            list->Network.back().wlanSignalQuality = first.uLinkQuality;
            if (connected && currentConnection->wlanAssociationAttributes.dot11Bssid == first.dot11Bssid)
                list->Network.back().dwFlags = nw::NW_NETWORK_CONNECTED;
        }
        // No BSS entry, or another error: the network is left out.
    }
    networkList = std::move(list);
    connectedIndex = -1;
    for (std::size_t i = 0; i < networkList->Network.size(); ++i) {
        if (networkList->Network[i].dwFlags & nw::NW_NETWORK_CONNECTED) {
            connectedIndex = int(i);
            break;
        }
    }

    // Slots are never removed, but a painted picture beyond the networks
    // listed now goes back to the one red bar that fresh slots share, so
    // that a list that was long once does not keep a picture per network.
    QPixmap bar;
    const auto redBar = [&bar] {
        if (bar.isNull()) {
            const int h = panor_guiData->panord_getInterfaceSize(
                                  static_cast<PanorData::PANORD_INTERFACESIZE>(kInterfaceSignalBar))
                              .height()
                          / 2;
            bar = QPixmap(3 * h, h);
            bar.fill(Qt::red);
        }
        return bar;
    };
    for (int i = int(networkList->Network.size()); i < pixmapCount; ++i) {
        if (paintedSignals.at(i) != -1) {
            signalPixmaps[i] = redBar();
            paintedSignals[i] = -1;
        }
    }
    while (pixmapCount < int(n)) {
        signalPixmaps.insert(pixmapCount, redBar());
        paintedSignals.insert(pixmapCount++, -1);
    }
    return nw::NW_SUCCESS;
}

quint32 CwifiPrivate::RefreshWiFiInterface()
{
    if (!q->IsRadioOn())
        return nw::NW_SUCCESS;
    QMutexLocker locker(&lock);
    quint32 result = RefreshNetworkList();
    if (result == nw::NW_SUCCESS && networkList) {
        nw::WLAN_INTERFACE_DATA data;
        result = service().queryInterface(clientHandle, interfaceGuid, nw::wlan_intf_opcode_bss_type, data);
        if (result == nw::NW_SUCCESS) {
            const quint32 bssType = data.bssType;
            bssTypeFlags = bssType | BSS_TYPE_FLAGS_SET;
            infraPairs.reset();
            adhocPairs.reset();
            capabilityMask = 0;
            const struct {
                quint32 bit;
                quint32 opcode;
                std::unique_ptr<nw::WLAN_AUTH_CIPHER_PAIR_LIST>& pairs;
            } kinds[] = {{nw::dot11_BSS_type_infrastructure, nw::wlan_intf_opcode_supported_infrastructure_auth_cipher_pairs,
                          infraPairs},
                         {nw::dot11_BSS_type_independent, nw::wlan_intf_opcode_supported_adhoc_auth_cipher_pairs,
                          adhocPairs}};
            for (const auto& kind : kinds) {
                if (result != nw::NW_SUCCESS || !(bssType & kind.bit))
                    continue;
                const quint32 pairResult = service().queryInterface(clientHandle, interfaceGuid, kind.opcode, data);
                if (pairResult == nw::NW_SUCCESS) {
                    kind.pairs = std::make_unique<nw::WLAN_AUTH_CIPHER_PAIR_LIST>(data.authCipherPairs);
                    capabilityMask |= AuthCipherMask(kind.pairs.get());
                } else if (pairResult != nw::NW_ERROR_NOT_SUPPORTED) {
                    result = pairResult;
                }
            }
        }
        if (result == nw::NW_SUCCESS && !networkList->Network.empty()) {
            auto block = std::make_unique<RecordBlock>();
            block->items.resize(networkList->Network.size());
            for (std::size_t i = 0; i < networkList->Network.size(); ++i) {
                const nw::WLAN_AVAILABLE_NETWORK& network = networkList->Network[i];
                const nw::WLAN_BSS_ENTRY* match = nullptr;
                if (bssList) {
                    for (const nw::WLAN_BSS_ENTRY& entry : bssList->wlanBssEntries) {
                        if (entry.dot11Ssid == network.dot11Ssid && entry.uLinkQuality == network.wlanSignalQuality) {
                            match = &entry;
                            break;
                        }
                    }
                }
                BuildNetworkRecord(network, match, block->items[i]);
            }
            block->count = quint32(block->items.size());
            block->index = 0;
            records = std::move(block);
        }
    }
    if (result != nw::NW_SUCCESS)
        backend->debugOutput().outputDebugString("RefreshWiFiInterface failed\r\n");
    return result;
}

void CwifiPrivate::BuildNetworkRecord(const nw::WLAN_AVAILABLE_NETWORK& network, const nw::WLAN_BSS_ENTRY* bss,
                                      WifiNetworkRecord& record)
{
    record = WifiNetworkRecord();
    if (!network.strProfileName.empty())
        return;
    record.ssid = recordSsid(network.dot11Ssid);
    record.auth = network.dot11DefaultAuthAlgorithm;
    record.bssType = network.dot11BssType;
    record.cipher = network.dot11DefaultCipherAlgorithm;
    record.flags |= RECORD_FROM_VISIBLE_NETWORK;
    if (bss) {
        std::memcpy(record.bssid, bss->dot11Bssid.data(), sizeof(record.bssid));
        record.frequency = bss->ulChCenterFrequency;
        record.signalQuality = bss->uLinkQuality;
    } else {
        record.signalQuality = network.wlanSignalQuality;
        record.frequency = 0;
    }
}

quint32 CwifiPrivate::AuthCipherMask(const nw::WLAN_AUTH_CIPHER_PAIR_LIST* pairs)
{
    if (!pairs)
        return 0;
    quint32 mask = 0;
    for (const nw::DOT11_AUTH_CIPHER_PAIR& pair : pairs->pAuthCipherPairList) {
        if (pair.AuthAlgoId == nw::DOT11_AUTH_ALGO_WPA || pair.AuthAlgoId == nw::DOT11_AUTH_ALGO_WPA_PSK)
            mask |= MASK_WPA;
        else if (pair.AuthAlgoId == nw::DOT11_AUTH_ALGO_RSNA || pair.AuthAlgoId == nw::DOT11_AUTH_ALGO_RSNA_PSK)
            mask |= MASK_RSNA;
        mask |= pair.CipherAlgoId & 0xff;
    }
    return mask;
}

void Cwifi::ReopenWlan()
{
    if (!IsRadioOn())
        return;
    if (!d->isOpen)
        OpenWlan();
    {
        QMutexLocker locker(&d->lock);
        if (d->networkList && !d->networkList->Network.empty())
            d->records.reset();
    }
    if (d->RefreshWiFiInterface() == nw::NW_SUCCESS)
        d->isOpen = 1;
}

void Cwifi::update()
{
    d->refreshQueued = 0;
    // A client that found no interface when it opened (the service was not
    // there yet) looks again, or it could never read the radio.
    if (!d->isOpen && nw::isNullGuid(d->interfaceGuid) && d->SelectInterface() != nw::NW_SUCCESS)
        return;
    if (!IsRadioOn())
        return;
    if (!d->isOpen) {
        ReopenWlan();
        return;
    }
    d->RefreshWiFiInterface();
    const int n = NetworkCount();
    for (int i = 0; i < n && i < d->signalPixmaps.size(); ++i)
        d->repaint(i);
}

void CwifiPrivate::repaint(int index)
{
    const int s = q->GetSignal(index);
    if (paintedSignals.at(index) == s)
        return;
    paintedSignals[index] = s;
    QPixmap& pixmap = signalPixmaps[index];
    const QRect full = pixmap.rect();
    QPainter painter(&pixmap);
    if (s == 0 || s > 100) {
        painter.fillRect(full, Qt::red);
        painter.drawRect(full);
        return;
    }
    QRect bar = full;
    bar.setWidth(full.width() * s / 100);
    painter.eraseRect(full);
    painter.fillRect(bar, Qt::green);
    painter.drawText(full, Qt::AlignHCenter | Qt::AlignVCenter, QString::number(s) + QStringLiteral(" %"));
    painter.drawRect(full);
    painter.drawRect(full);
}

int Cwifi::CurrentConnectedIndex()
{
    if (!d->lock.tryLock())
        return -1;
    const int index = d->networkList ? d->connectedIndex : -1;
    d->lock.unlock();
    return index;
}

int Cwifi::GetSignal(int index)
{
    if (!d->lock.tryLock())
        return 0;
    int signal = 0;
    if (d->records && index >= 0 && quint32(index) < d->records->count)
        signal = int(d->records->items[std::size_t(index)].signalQuality);
    d->lock.unlock();
    return signal;
}

void Cwifi::SetNotifyEnabled(bool on)
{
    // Switched on again, the snapshot is from before it went off.
    const int before = d->notifyEnabled.exchange(on);
    if (on && (d->noticeMissed.exchange(0) || !before))
        emit WifiEndScan();
}

bool Cwifi::Scan()
{
    if (!IsRadioOn() || !d->isOpen)
        return false;
    return d->service().scan(d->clientHandle, d->interfaceGuid) == nw::NW_SUCCESS;
}

bool Cwifi::SetRadio(bool on)
{
    if (d->backend->windowsVersion().version().major < 6)
        return true;
    nw::WLAN_INTERFACE_CAPABILITY capability;
    if (d->service().getInterfaceCapability(d->clientHandle, d->interfaceGuid, capability)
        == nw::NW_ERROR_NOT_SUPPORTED)
        return true;
    const quint32 state = on ? nw::dot11_radio_state_on : nw::dot11_radio_state_off;
    nw::WLAN_INTERFACE_DATA radio;
    radio.radioState.PhyRadioState.assign(1, {0, state, state});
    if (d->waitingHere())
        return false;
    QMutexLocker locker(&d->lock);
    return d->service().setInterface(d->clientHandle, d->interfaceGuid, nw::wlan_intf_opcode_radio_state, radio)
           == nw::NW_SUCCESS;
}

int Cwifi::NetworkCount()
{
    if (d->waitingHere())
        return 0;
    QMutexLocker locker(&d->lock);
    return d->networkList ? int(d->networkList->Network.size()) : 0;
}

QString Cwifi::NetworkSSID(int index)
{
    if (d->waitingHere())
        return QString();
    QMutexLocker locker(&d->lock);
    if (!d->records || index < 0 || quint32(index) >= d->records->count)
        return QString();
    const DOT11_SSID& ssid = d->records->items[std::size_t(index)].ssid;
    const int length = int(qMin<quint32>(ssid.uSSIDLength, sizeof(ssid.ucSSID)));
    return QString::fromLatin1(reinterpret_cast<const char*>(ssid.ucSSID), length);
}

QString Cwifi::ConnectedSSID()
{
    return NetworkSSID(CurrentConnectedIndex());
}

QPixmap Cwifi::NetworkPixmap(int index)
{
    if (d->waitingHere())
        return QPixmap();
    QMutexLocker locker(&d->lock);
    if (!d->networkList || index < 0 || std::size_t(index) >= d->networkList->Network.size()
        || index >= d->signalPixmaps.size())
        return QPixmap();
    return d->signalPixmaps.at(index);
}

bool Cwifi::isOpen()
{
    return d->isOpen == 1;
}

int Cwifi::IsSSIDAbsent(const DOT11_SSID* ssid)
{
    if (!ssid || d->waitingHere())
        return 1;
    QMutexLocker locker(&d->lock);
    if (d->records)
        for (const WifiNetworkRecord& record : d->records->items)
            if (sameSsidBytes(record.ssid, *ssid))
                return 0;
    return 1;
}

void CwifiPrivate::CloseWlan()
{
    if (waitingHere()) {
        // Deleted from an event of Connect's wait: the wait ends, and gives
        // back the lock this thread holds for it.
        *alive = false;
        waitLoop->exit(1);
        waitingThread = nullptr;
        lock.unlock();
    }
    QObject::disconnect(q, SIGNAL(WifiEndScan()), q, SLOT(update()));
    notifyEnabled = 0;
    service().registerNotification(clientHandle, nw::NW_SOURCE_NONE, nullptr, nullptr);
    {
        QMutexLocker locker(&lock);
        records.reset();
        networkList.reset();
        bssList.reset();
        currentConnection.reset();
    }
    isOpen = 0;
    if (clientHandle)
        service().closeHandle(clientHandle);
    clientHandle = 0;
}

// On a thread of the service: only signals and the notification's own fields.
void CwifiPrivate::onWlanNotification(const nw::WLAN_NOTIFICATION_DATA* data, void* context)
{
    auto* self = static_cast<CwifiPrivate*>(context);
    if (!data || !self || data->NotificationSource != nw::NW_SOURCE_ACM)
        return;
    Cwifi* q = self->q;
    const QString profile = data->connection ? QString::fromStdString(data->connection->strProfileName) : QString();
    switch (data->NotificationCode) {
    case nw::wlan_notification_acm_power_setting_change:
        qDebug() << "Alimntazione interfaccia cambiata";
        break;
    case nw::wlan_notification_acm_scan_complete:
    case nw::wlan_notification_acm_network_available:
        qDebug() << "Scansione";
        break;
    case nw::wlan_notification_acm_connection_complete: {
        std::lock_guard<std::mutex> locker(self->pendingLock);
        // Only an attempt this client is waiting for ends here.
        if (data->connection && !self->pendingProfileName.isEmpty() && profile == self->pendingProfileName
            && data->connection->wlanReasonCode == 0) {
            qDebug() << "--------------------------------- CONNECTED " << profile;
            self->pendingProfileName.clear();
            emit q->WifiConnection();
        }
        break;
    }
    case nw::wlan_notification_acm_connection_attempt_fail: {
        qDebug() << "--------------------------------- CONNECTION FAIL " << profile;
        std::lock_guard<std::mutex> locker(self->pendingLock);
        self->connectResult = 0;
        emit q->WifiConnection();
        self->pendingProfileName.clear();
        break;
    }
    case nw::wlan_notification_acm_disconnected:
        qDebug() << "Disconnessione";
        break;
    default:
        return;
    }
    if (self->notifyEnabled) {
        if (!self->refreshQueued.exchange(1))
            emit q->WifiEndScan();
        return;
    }
    self->noticeMissed = 1;
    // Switched on meanwhile, after it looked for a missed notice.
    if (self->notifyEnabled && self->noticeMissed.exchange(0))
        emit q->WifiEndScan();
}
