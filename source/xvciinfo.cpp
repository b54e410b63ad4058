#include "xvciinfo.h"

#include "iconcatalogue.h"
#include "statusreport.h"
#include "xinfodata.h"

XVciInfo::XVciInfo(QObject* parent)
    : QObject(parent)
    , status(0)
    , iconPath(vantel_iconPath(ICON_NULL))
{
}

XVciInfo::~XVciInfo() = default;

int XVciInfo::xvciinf_getStatus(QString& value, QString& icon)
{
    VANTEL_TRACE_HEADER("XVciInfo::xvciinf_getStatus");
    value = QStringLiteral("VCI");
    icon = iconPath;
    const int ret = HARDWARE_OFF;
    VANTEL_TRACE(TRC_MASK_NORMAL, vantel_statusReport(QString::number(status), valueText, icon, ret));
    return ret;
}
