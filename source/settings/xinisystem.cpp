#include "settings/xinisystem.h"

#include <QtGlobal>

namespace {

struct KeyDefinition {
    const char* section;
    const char* key;
    const char* defValue;
};

// The host's short name for its environment.
const char kAppKey[] = "VANTEL";
// The reachability check's target: a site built to answer connectivity
// checks, over plain HTTP on port 80, from anywhere and without redirects.
const char kCheckAddress[] = "http://connectivitycheck.gstatic.com/generate_204";
// A public DNS resolver, answered by anycast servers worldwide.
const char kCheckIp[] = "8.8.8.8";

// Section and key names are shared with the host, letter for letter.
const KeyDefinition kKeys[] = {
    // [Device]
    {"Device", "DEV_HOST1", "0"},
    {"Device", "DEV_HOST2", "0"},
    {"Device", "DEV_WIFI", "0"},
    {"Device", "DEV_VCI", "0"},
    {"Device", "DEV_BT", "0"},
    {"Device", "DEV_DOCK", "0"},
    {"Device", "DEV_MODEM", "0"},
    {"Device", "DEV_GPS", "0"},
    // [Debug]
    {"Debug", "IND_DEBUG_BATTERY", "0"},
    {"Debug", "IND_DEBUG_BATTERYVEHICLE", "0"},
    // [Font]
    {"Font", "FONT_FAMILY_T1", "Tahoma"},
    {"Font", "FONT_FAMILY_T2", "Tahoma"},
    {"Font", "FONT_FAMILY_T3", "Tahoma"},
    {"Font", "FONT_SIZE_LARGE", ""},
    {"Font", "FONT_SIZE_NORMAL", ""},
    {"Font", "FONT_SIZE_SMALL", ""},
    {"Font", "FONT_SIZE_VERYSMALL", ""},
    // [Time]
    {"Time", "TIME_FORMAT", "24"},
    // [Battery]
    {"Battery", "IND_BATTERY_SHUT_LEVEL", "2"},
    {"Battery", "IND_BATTERY_SHUT_MESSAGE", "139782"},
    {"Battery", "IND_BATTERY_WARN1_LEVEL", "5"},
    {"Battery", "IND_BATTERY_WARN1_MESSAGE", "6594"},
    {"Battery", "IND_BATTERY_WARN2_LEVEL", "10"},
    {"Battery", "IND_BATTERY_WARN2_MESSAGE", "6593"},
    {"Battery", "IND_BATTERY_WARN3_LEVEL", "-1"},
    {"Battery", "IND_BATTERY_WARN3_MESSAGE", "-1"},
    // [Data]
    {"Data", "DATA_BRAND", ""},
    {"Data", "DATA_APPKEY", kAppKey},
    {"Data", "DATA_BRAND_DESCRIPTION", ""},
    {"Data", "DATA_BRAND_CODE", ""},
    {"Data", "DATA_NAME", ""},
    {"Data", "DATA_PLATFORM", "0"},
    {"Data", "DATA_PLAT_CODE", ""},
    {"Data", "DATA_PLAT_FILTER", "0"},
    {"Data", "DATA_PLAT_TYPE", "0"},
    {"Data", "DATA_CAMERA_APP", ""},
    {"Data", "DATA_KEYBOARD_APP", "service/t.exe"},
    // [Audio]
    {"Audio", "IMP_AUDIO_VOLUME", "0"},
    // [Docking]
    {"Docking", "DOCK_DVI", "0"},
    // [Indicator]
    {"Indicator", "IND_STS_BATTERY", "1"},
    {"Indicator", "IND_STS_BLUETOOTH", "1"},
    {"Indicator", "IND_STS_WIFI", "1"},
    {"Indicator", "IND_STS_VCI", "0"},
    {"Indicator", "IND_STS_ETHERNET", "1"},
    {"Indicator", "IND_STS_MODEM", "0"},
    {"Indicator", "IND_STS_DOWNLOAD", "0"},
    {"Indicator", "IND_STS_GPS", "1"},
    {"Indicator", "IND_STS_BATTERYVEHICLE", "0"},
    {"Indicator", "IND_STS_SCREENCAPTURE", "0"},
    {"Indicator", "IND_STS_CAMERA", "0"},
    {"Indicator", "IND_STS_INTERNET", "1"},
    {"Indicator", "IND_STS_BRIGHTNESS", "0"},
    {"Indicator", "IND_STS_KEYBOARD", "1"},
    {"Indicator", "IND_MODE_BATTERY", "0"},
    {"Indicator", "IND_MODE_BLUETOOTH", "0"},
    {"Indicator", "IND_MODE_WIFI", "0"},
    {"Indicator", "IND_MODE_VCI", "0"},
    {"Indicator", "IND_MODE_ETHERNET", "0"},
    {"Indicator", "IND_MODE_MODEM", "0"},
    {"Indicator", "IND_MODE_DOWNLOAD", "0"},
    {"Indicator", "IND_MODE_GPS", "0"},
    {"Indicator", "IND_MODE_BATTERYVEHICLE", "0"},
    {"Indicator", "IND_MODE_SCREENCAPTURE", "0"},
    {"Indicator", "IND_MODE_CAMERA", "0"},
    {"Indicator", "IND_MODE_BRIGHTNESS", "0"},
    {"Indicator", "IND_MODE_KEYBOARD", "0"},
    // [Notification]
    {"Notification", "NOTIFY_SEC_ENABLED", "1"},
    {"Notification", "NOTIFY_UPD_AVAIBLE", "0"},
    {"Notification", "NOTIFY_NEWAPP_AVAIBLE", "0"},
    // [Settaggi]
    {"Settaggi", "SETT_SERVER_ADDRESS", ""},
    {"Settaggi", "SETT_SERVER_PORT", ""},
    {"Settaggi", "SETT_CHECKCONN_ADDRESS", kCheckAddress},
    {"Settaggi", "SETT_CHECKCONN_IP", kCheckIp},
    // [Firstrun]
    {"Firstrun", "FIRSTRUN_AVAIBLE", "1"},
    {"Firstrun", "FIRSTRUN_FASE1_STATUS", "0"},
    {"Firstrun", "FIRSTRUN_FASE1_AVAIBLE", "0"},
    {"Firstrun", "FIRSTRUN_FASE1_INFO", ""},
    {"Firstrun", "FIRSTRUN_FASE2_STATUS", "0"},
    {"Firstrun", "FIRSTRUN_FASE2_AVAIBLE", "0"},
    {"Firstrun", "FIRSTRUN_FASE2_INFO", ""},
    {"Firstrun", "FIRSTRUN_FASE3_STATUS", "0"},
    {"Firstrun", "FIRSTRUN_FASE3_AVAIBLE", "0"},
    {"Firstrun", "FIRSTRUN_FASE3_INFO", ""},
    {"Firstrun", "FIRSTRUN_FASE4_STATUS", "0"},
    {"Firstrun", "FIRSTRUN_FASE4_AVAIBLE", "0"},
    {"Firstrun", "FIRSTRUN_FASE4_INFO", ""},
    {"Firstrun", "FIRSTRUN_FASE5_STATUS", "0"},
    {"Firstrun", "FIRSTRUN_FASE5_AVAIBLE", "0"},
    {"Firstrun", "FIRSTRUN_FASE5_INFO", ""},
    {"Firstrun", "FIRSTRUN_FASE6_STATUS", "0"},
    {"Firstrun", "FIRSTRUN_FASE6_AVAIBLE", "0"},
    {"Firstrun", "FIRSTRUN_FASE6_INFO", ""},
    {"Firstrun", "FIRSTRUN_FASE7_STATUS", "0"},
    {"Firstrun", "FIRSTRUN_FASE7_AVAIBLE", "0"},
    {"Firstrun", "FIRSTRUN_FASE7_INFO", ""},
    {"Firstrun", "FIRSTRUN_FASE8_STATUS", "0"},
    {"Firstrun", "FIRSTRUN_FASE8_AVAIBLE", "0"},
    {"Firstrun", "FIRSTRUN_FASE8_INFO", ""},
    // [osupdate]
    {"osupdate", "OSUPDATE_AVAIBLE", "0"},
    {"osupdate", "OSUPDATE_FASE1_AVAIBLE", "0"},
    {"osupdate", "OSUPDATE_FASE1_MESSAGE", ""},
    {"osupdate", "OSUPDATE_FASE1_APP", ""},
    {"osupdate", "OSUPDATE_FASE1_ARG", ""},
    {"osupdate", "OSUPDATE_FASE2_AVAIBLE", "0"},
    {"osupdate", "OSUPDATE_FASE2_MESSAGE", ""},
    {"osupdate", "OSUPDATE_FASE2_APP", ""},
    {"osupdate", "OSUPDATE_FASE2_ARG", ""},
    {"osupdate", "OSUPDATE_FASE3_AVAIBLE", "0"},
    {"osupdate", "OSUPDATE_FASE3_MESSAGE", ""},
    {"osupdate", "OSUPDATE_FASE3_APP", ""},
    {"osupdate", "OSUPDATE_FASE3_ARG", ""},
    // [Sysvar]
    {"Sysvar", "SYSVAR_QTPATH", "..\\QT4.8.5"},
    // [autoupdate]
    {"autoupdate", "AUTOUPDATE_AVAIBLE", ""},
    {"autoupdate", "AUTOUPDATE_USER", ""},
    // [vci]
    {"vci", "IMP_VCI_ID", ""},
    // [report]
    {"report", "REPORT_INI", "./report.ini"},
    {"report", "REPORT_IMAGE", "./report"},
    // [Version]
    {"Version", "FILE_VV", ""},
};

static_assert(sizeof(kKeys) / sizeof(kKeys[0]) == XINISYS_KEY_COUNT,
              "one table row for every key of XIniSystemKey");

} // namespace

XIniSystem::XIniSystem(QObject* parent)
    : XIni(parent)
{
}

int XIniSystem::xinisys_init(const QString& path)
{
    QString message;
    int result = xini_setFileName(path);
    if (result == XINI_OK)
        result = xinisys_defineKeys();
    if (result != XINI_OK) {
        xini_getErrorMessage(result, message);
        qWarning("%s", qUtf8Printable(message));
    }
    return result;
}

int XIniSystem::xinisys_defineKeys()
{
    const int result = xini_setSize(XINISYS_KEY_COUNT);
    if (result != XINI_OK)
        return result;
    for (int i = 0; i < XINISYS_KEY_COUNT; ++i) {
        XIniEntry& entry = entries[i];
        entry.section = QLatin1String(kKeys[i].section);
        entry.key = QLatin1String(kKeys[i].key);
        entry.defValue = QLatin1String(kKeys[i].defValue);
        entry.value = entry.defValue;
        entry.crypt = false;
    }
    return XINI_OK;
}

int XIniSystem::xinisys_number(int key) const
{
    return xini_entryValue(key).toInt(nullptr, 10);
}

bool XIniSystem::xinisys_flag(int key) const
{
    return xinisys_number(key) == 1;
}
