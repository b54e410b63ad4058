#include "providers/ethernetsnapshot.h"

#include <QHostAddress>
#include <QNetworkAddressEntry>
#include <QNetworkInterface>

#include "indicator/iconcatalogue.h"

void vantel_ethernetSnapshot(const QString& interfaceName, XEthernet::_XETHDATA& data)
{
    const QNetworkInterface iface = QNetworkInterface::interfaceFromName(interfaceName);
    if (!iface.isValid() || !(iface.flags() & QNetworkInterface::IsUp)) {
        data.status = 1;
        data.ip.clear();
        data.name.clear();
        return;
    }
    data.name = iface.name();
    if (!(iface.flags() & QNetworkInterface::IsRunning)) {
        data.ip.clear();
        data.status = 2;
        return;
    }
    // The first address written with a dot is the IPv4 one; with none, the
    // previous address stays.
    const QList<QNetworkAddressEntry> entries = iface.addressEntries();
    for (const QNetworkAddressEntry& entry : entries) {
        const QString text = entry.ip().toString();
        if (text.contains(QLatin1Char('.'))) {
            data.ip = text;
            break;
        }
    }
    data.status = 3;
}

void vantel_ethernetReport(const XEthernet::_XETHDATA& data, _XINFODATA& info)
{
    switch (data.status) {
    case 2:
        info.icon = vantel_iconPath(ICON_ETHERNET_ON);
        info.value = data.name;
        break;
    case 3:
        info.icon = vantel_iconPath(ICON_ETHERNET_CONNECTED);
        info.value = data.ip;
        break;
    default:
        info.icon = vantel_iconPath(ICON_NULL);
        info.value = QString();
        break;
    }
}
