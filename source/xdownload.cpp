#include "xdownload.h"

#include "iconcatalogue.h"
#include "statusreport.h"
#include "xinfodata.h"

XDownload::XDownload(QObject* parent)
    : QObject(parent)
    , status(0)
    , iconPath(vantel_iconPath(ICON_NULL))
{
}

XDownload::~XDownload() = default;

int XDownload::xdwn_getStatus(QString& value, QString& icon)
{
    VANTEL_TRACE_HEADER("XDownload::xdwn_getStatus");
    value = QStringLiteral("DWN");
    icon = iconPath;
    const int ret = HARDWARE_OFF;
    VANTEL_TRACE(TRC_MASK_NORMAL, vantel_statusReport(QString::number(status), valueText, icon, ret));
    return ret;
}
