#include "xbattery.h"

#include "indicator/iconcatalogue.h"
#include "library/pollscope.h"
#include "platform.h"
#include "providers/statusreport.h"
#include "settings/xinisystem.h"
#include "xinfodata.h"

namespace {

// Icon of a level; -1 (mains) included. Above 100 there is none: the
// previous icon stays.
int iconForLevel(int level)
{
    if (level == -1)
        return ICON_BATTERY_CHARGE;
    if (level < 0 || level > 100)
        return -1;
    if (level <= 15)
        return ICON_BATTERY_VERYLOW;
    if (level <= 25)
        return ICON_BATTERY_LOW;
    if (level <= 50)
        return ICON_BATTERY_HALF;
    if (level <= 75)
        return ICON_BATTERY_HIGH;
    return ICON_BATTERY_FULL;
}

} // namespace

XBattery::XBattery(QObject* parent)
    : QObject(parent)
    , iconPath(vantel_iconPath(ICON_NULL))
{
    // Shut-down, warning 1, 2, 3: table order decides, not the thresholds.
    static const int keys[4][2] = {
        {IND_BATTERY_SHUT_LEVEL, IND_BATTERY_SHUT_MESSAGE},
        {IND_BATTERY_WARN1_LEVEL, IND_BATTERY_WARN1_MESSAGE},
        {IND_BATTERY_WARN2_LEVEL, IND_BATTERY_WARN2_MESSAGE},
        {IND_BATTERY_WARN3_LEVEL, IND_BATTERY_WARN3_MESSAGE},
    };
    warnings.resize(4);
    if (!vantel_settings)
        return; // no settings: every row stays disabled
    for (int row = 0; row < 4; ++row) {
        warnings[row].threshold = vantel_settings->xinisys_number(keys[row][0]);
        warnings[row].message = vantel_settings->xinisys_number(keys[row][1]);
    }
}

XBattery::~XBattery() = default;

int XBattery::getBatteryLevel(bool& onMains)
{
    vantel::platform::SystemPowerStatus status;
    if (!PollScope::powerStatus(status)) {
        onMains = false;
        return -1;
    }
    onMains = status.acLineStatus == vantel::platform::AC_LINE_ONLINE;
    return status.batteryLifePercent;
}

int XBattery::xbat_getStatus(QString& value, QString& icon)
{
    VANTEL_TRACE_HEADER("XBattery::xbat_getStatus");
    int ret = XINFORET_FAIL;
    bool onMains = false;
    const int percent = getBatteryLevel(onMains);
    if (percent < 0) {
        VANTEL_TRACE(TRC_MASK_NORMAL,
                     QStringLiteral("GetSystemPowerStatusEx2() failed with code:[%1] ret:XINFORET_FAIL").arg(0));
    } else {
        const int newLevel = onMains ? -1 : percent;
        VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("GetStatus() status:%1 old:%2").arg(newLevel).arg(level));
        level = newLevel;
        if (percent != textPercent) {
            valueText = QString::number(percent) + QLatin1Char('%');
            textPercent = percent;
        }
        const int index = iconForLevel(level);
        if (index >= 0)
            iconPath = vantel_iconPath(index);
        if (xbat_criticalStatus(level)) {
            iconPath = vantel_iconPath(ICON_BATTERY_EMPTY);
            xbat_warningStatus(level);
        } else {
            xbat_warningReset();
        }
        value = valueText;
        icon = iconPath;
        VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("GetSignal() ok status:[%1] ret:OK").arg(level));
        ret = XINFORET_OK;
    }
    VANTEL_TRACE(TRC_MASK_DEBUG, vantel_statusReport(QString::number(level), valueText, icon, ret));
    return ret;
}

bool XBattery::xbat_criticalStatus()
{
    for (const XBatteryWarning& row : warnings) {
        if (row.active)
            return true;
    }
    return false;
}

bool XBattery::xbat_criticalStatus(int atLevel)
{
    if (atLevel == -1)
        return false;
    bool critical = false;
    for (const XBatteryWarning& row : warnings) {
        if (row.threshold != -1)
            critical = atLevel <= row.threshold; // the last enabled row decides
    }
    return critical;
}

void XBattery::xbat_warningStatus(int atLevel)
{
    if (atLevel == -1) {
        xbat_warningReset();
        return;
    }
    for (int row = 0; row < warnings.size(); ++row) {
        XBatteryWarning& warning = warnings[row];
        if (warning.threshold == -1)
            continue;
        if (atLevel <= warning.threshold) {
            if (!warning.active)
                xbat_warningEnable(row);
            return;
        }
        warning.active = false;
    }
}

void XBattery::xbat_warningEnable(int row)
{
    if (row < 0 || row >= warnings.size())
        return;
    for (int other = 0; other < warnings.size(); ++other) {
        if (other != row)
            warnings[other].active = false;
    }
    if (warnings[row].active)
        return;
    warnings[row].active = true;
    emit sig_Battery(XBAT_MSG_WARNING, warnings[row].message, level);
}

void XBattery::xbat_warningReset()
{
    for (XBatteryWarning& row : warnings)
        row.active = false;
}

void XBattery::slt_InternalCommunication(int, int, int)
{
    // A click on the battery indicator changes nothing.
}
