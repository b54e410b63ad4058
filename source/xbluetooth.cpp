#include "xbluetooth.h"

#include "iconcatalogue.h"
#include "statusreport.h"
#include "xinfodata.h"

XBluetooth::XBluetooth(QObject* parent)
    : QObject(parent)
    , status(-1)
    , iconPath(vantel_iconPath(ICON_NULL))
{
}

XBluetooth::~XBluetooth() = default;

int XBluetooth::xblu_getStatus(QString& value, QString& icon)
{
    VANTEL_TRACE_HEADER("XBluetooth::xblu_getStatus");
    valueText = QString();
    iconPath = vantel_iconPath(ICON_NULL);
    value = valueText;
    icon = iconPath;
    const int ret = XINFORET_IDLE;
    VANTEL_TRACE(TRC_MASK_NORMAL, vantel_statusReport(QString::number(status), valueText, icon, ret));
    return ret;
}
