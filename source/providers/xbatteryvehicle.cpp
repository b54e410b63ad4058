#include "xbatteryvehicle.h"

#include <QtDebug>

#include "indicator/iconcatalogue.h"
#include "providers/statusreport.h"
#include "settings/xinisystem.h"
#include "xinfodata.h"

XBatteryVehicle::XBatteryVehicle(QObject* parent)
    : QObject(parent)
    , iconPath(vantel_iconPath(ICON_NULL))
{
}

XBatteryVehicle::~XBatteryVehicle() = default;

int XBatteryVehicle::xbatvhe_setParameter(double value, bool valid)
{
    paramValue = value;
    paramValid = valid;
    return 0;
}

// Every reading is answered XINFORET_OK, an unchanged one too: the indicator
// may have been hidden meanwhile (disabled, then enabled again), and only a
// full report brings it back.
int XBatteryVehicle::xbatvhe_getStatus(QString& value, QString& icon)
{
    VANTEL_TRACE_HEADER("XBatteryVehicle::xbatvhe_getStatus");
    const int ret = XINFORET_OK;
    if (!paramValid) {
        qWarning("XBatteryVehicle::xbatvhe_getStatus failed ret:XINFORET_OK");
        valueText = QStringLiteral("---");
        textFormat = 0;
    } else if (vantel_settings && vantel_settings->xinisys_flag(IND_DEBUG_BATTERYVEHICLE)) {
        VANTEL_TRACE(TRC_MASK_NORMAL,
                     QStringLiteral("XBatteryVehicle::xbatvhe_getStatus [mV] status:%1 old:%2")
                         .arg(QString::number(paramValue, 'g', 6), QString::number(lastValue, 'g', 6)));
        lastValue = paramValue;
        formatValue(lastValue, 'g', 3, QLatin1String("mV"));
    } else {
        lastValue = paramValue;
        if (lastValue > 0)
            lastValue /= 1000.0;
        VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("XBatteryVehicle::xbatvhe_getStatus [V] status:%1")
                                          .arg(QString::number(lastValue, 'g', 6)));
        formatValue(lastValue, 'f', 1, QLatin1String("V"));
    }
    iconPath = vantel_iconPath(ICON_BATTVEHICON);
    value = valueText;
    icon = iconPath;
    VANTEL_TRACE(TRC_MASK_DEBUG, vantel_statusReport(QString::number(lastValue, 'g', 6), valueText, icon, ret));
    return ret;
}

// A poll mostly reports the reading of the poll before: the text formatted
// for it is kept instead of formatting the same number again.
void XBatteryVehicle::formatValue(double shown, char format, int precision, QLatin1String unit)
{
    if (format == textFormat && shown == textValue)
        return;
    valueText = QString::number(shown, format, precision) + unit;
    textValue = shown;
    textFormat = format;
}

void XBatteryVehicle::slt_InternalCommunication(int, int, int)
{
    // A click on the vehicle battery changes nothing in its report.
}
