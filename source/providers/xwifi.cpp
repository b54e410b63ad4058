#include "xwifi.h"

#include "classwifi/cwifi.h"
#include "indicator/iconcatalogue.h"
#include "providers/statusreport.h"
#include "xinfodata.h"

bool lastRadioOn = false;

namespace {

// Icon of a connected network's signal; none above 100 (the icon stays).
int iconForLevel(int level)
{
    if (level <= 25)
        return ICON_WIFI_VERYLOW;
    if (level <= 50)
        return ICON_WIFI_LOW;
    if (level <= 75)
        return ICON_WIFI_HALF;
    if (level <= 100)
        return ICON_WIFI_HIGH;
    return -1;
}

} // namespace

XWifi::XWifi(QObject* parent)
    : QObject(parent)
    , iconPath(vantel_iconPath(ICON_NULL))
    , wifi(new Cwifi(QString(), nullptr))
{
    connect(this, SIGNAL(sig_wifiUpdate(bool)), this, SLOT(slt_wifiUpdate(bool)), Qt::UniqueConnection);
}

// The client closes its handle from the event loop.
XWifi::~XWifi()
{
    if (wifi) {
        wifi->deleteLater();
        wifi = nullptr;
    }
}

int XWifi::xwifi_getStatus(QString& value, QString& icon)
{
    VANTEL_TRACE_HEADER("XWifi::xwifi_getStatus");
    const bool on = wifi->IsRadioOn();
    if (on != lastRadioOn) {
        lastRadioOn = on;
        emit sig_wifiUpdate(on);
    }

    int ret = XINFORET_OK;
    if (!on) {
        level = -1;
        valueText = QString();
        iconPath = vantel_iconPath(ICON_NULL);
        VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("xwifi_getStatus hardware is off ret: HARDWARE_OFF"));
        ret = HARDWARE_OFF;
    } else {
        const int idx = wifi->CurrentConnectedIndex();
        VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("CurrentConnectedIndex() index:%1").arg(idx));
        if (idx == -1) {
            level = -1;
            valueText = QStringLiteral("ON");
            iconPath = vantel_iconPath(ICON_WIFI_ON);
            VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("xwifi_getStatus Not connected ret: OK"));
        } else {
            const int s = wifi->GetSignal(idx);
            VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("GetSignal() signal:%1 old:%2").arg(s).arg(level));
            if (s == level) {
                VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("signal no change ret:STATUS_UNCHANGED"));
                ret = STATUS_UNCHANGED;
            } else {
                level = s;
                valueText = QString::number(level);
                const int entry = iconForLevel(level);
                if (entry >= 0)
                    iconPath = vantel_iconPath(entry);
                VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("xwifi_getStatus ret: OK"));
            }
        }
    }
    value = valueText;
    icon = iconPath;
    VANTEL_TRACE(TRC_MASK_NORMAL, vantel_statusReport(QString::number(level), valueText, icon, ret));
    return ret;
}

int XWifi::xwifi_getLevel(int& signal)
{
    const bool on = wifi->IsRadioOn();
    signal = -1;
    if (!on)
        return 1;
    const int idx = wifi->CurrentConnectedIndex();
    VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("CurrentConnectedIndex() index:%1").arg(idx));
    if (idx == -1)
        return 2;
    const int s = wifi->GetSignal(idx);
    VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("GetSignal() signal:%1").arg(s));
    signal = s;
    return 3;
}

void XWifi::slt_wifiUpdate(bool Enable)
{
    if (wifi)
        wifi->SetNotifyEnabled(Enable);
}
