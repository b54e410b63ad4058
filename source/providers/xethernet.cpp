#include "xethernet.h"

#include "indicator/iconcatalogue.h"
#include "providers/ethernetsnapshot.h"
#include "providers/statusreport.h"

namespace {
// The tablet's wired port.
const char* const kInterfaceName = "FEC1";
}

XEthernet::XEthernet(QObject* parent)
    : QObject(parent)
    , iconName(vantel_iconPath(ICON_NULL))
{
}

XEthernet::~XEthernet() = default;

// The wired port is not shown on this device: the report is fixed and hides
// the indicator, whatever the interface's state.
int XEthernet::xeth_getStatus(QString& value, QString& icon)
{
    VANTEL_TRACE_HEADER("XEthernet::xeth_getStatus");
    value = QStringLiteral("ETH");
    icon = vantel_iconPath(ICON_NULL);
    const int ret = HARDWARE_OFF;
    VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("getStatus report ip:[%1] value:[%2] icon:[%3] ret:[%4]")
                                      .arg(snapshot.ip, valueText, icon, QString::number(ret)));
    return ret;
}

void XEthernet::xeth_rapidInfo(_XETHDATA& data)
{
    vantel_ethernetSnapshot(QLatin1String(kInterfaceName), data);
}

void XEthernet::xeth_statusToInfo(_XETHDATA& data, _XINFODATA& info)
{
    vantel_ethernetReport(data, info);
}

bool XEthernet::xeth_infoEqual(_XINFODATA& a, _XINFODATA& b)
{
    return a.icon == b.icon && a.value == b.value;
}
