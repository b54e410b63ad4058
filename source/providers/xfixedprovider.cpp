// The providers that read no device: one answer, and the three classes the
// host knows, each a constructor and a status query over it.
#include "xfixedprovider.h"

#include "indicator/iconcatalogue.h"
#include "providers/statusreport.h"
#include "xbluetooth.h"
#include "xdownload.h"
#include "xinfodata.h"
#include "xvciinfo.h"

XFixedProvider::XFixedProvider(qint32 reportStatus, QObject* parent)
    : QObject(parent)
    , status(reportStatus)
    , iconPath(vantel_iconPath(ICON_NULL))
{
}

XFixedProvider::~XFixedProvider() = default;

int XFixedProvider::fixedStatus(const char* query, const QString& text, int result, QString& value,
                                QString& icon)
{
    VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("[%1] ---------------").arg(QLatin1String(query)));
    // The entry of the catalogue as it is now, should the host have moved the icons.
    iconPath = vantel_iconPath(ICON_NULL);
    value = text;
    icon = iconPath;
    // The value text member stays empty: the report shows it, not `text`.
    VANTEL_TRACE(TRC_MASK_NORMAL, vantel_statusReport(QString::number(status), valueText, icon, result));
    return result;
}

XBluetooth::XBluetooth(QObject* parent)
    : XFixedProvider(-1, parent)
{
}

XBluetooth::~XBluetooth() = default;

int XBluetooth::xblu_getStatus(QString& value, QString& icon)
{
    return fixedStatus("XBluetooth::xblu_getStatus", QString(), XINFORET_IDLE, value, icon);
}

XVciInfo::XVciInfo(QObject* parent)
    : XFixedProvider(0, parent)
{
}

XVciInfo::~XVciInfo() = default;

int XVciInfo::xvciinf_getStatus(QString& value, QString& icon)
{
    return fixedStatus("XVciInfo::xvciinf_getStatus", QStringLiteral("VCI"), HARDWARE_OFF, value, icon);
}

XDownload::XDownload(QObject* parent)
    : XFixedProvider(0, parent)
{
}

XDownload::~XDownload() = default;

int XDownload::xdwn_getStatus(QString& value, QString& icon)
{
    return fixedStatus("XDownload::xdwn_getStatus", QStringLiteral("DWN"), HARDWARE_OFF, value, icon);
}
