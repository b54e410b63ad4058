#include "indicator/indicatorkind.h"

#include "library/vantelglobals.h"
#include "settings/xinisystem.h"
#include "xbattery.h"
#include "xbatteryvehicle.h"
#include "xbluetooth.h"
#include "xbrightness.h"
#include "xcamera.h"
#include "xdownload.h"
#include "xethernet.h"
#include "xinfo.h"
#include "xinternet.h"
#include "xkeyboard.h"
#include "xscreencapture.h"
#include "xvciinfo.h"
#include "xwifi.h"

int IndicatorSettings::number(int key)
{
    return vantel_settings ? vantel_settings->xinisys_number(key) : 0;
}

namespace {

template <class P>
QObject* make(XInfo* indicator)
{
    return new P(indicator);
}

// A provider that hears the indicator's clicks.
template <class P>
P* hearingClicks(XInfo* indicator)
{
    P* provider = new P(indicator);
    QObject::connect(indicator, &XInfo::sig_InternalCommunication, provider, &P::slt_InternalCommunication,
                     Qt::UniqueConnection);
    return provider;
}

template <class P>
QObject* makeClicked(XInfo* indicator)
{
    return hearingClicks<P>(indicator);
}

// A provider that hears the clicks and tells the host through the indicator.
template <class P, void (P::*Told)(int, int, int)>
QObject* makeTelling(XInfo* indicator)
{
    P* provider = hearingClicks<P>(indicator);
    QObject::connect(provider, Told, indicator, &XInfo::slt_Information, Qt::UniqueConnection);
    return provider;
}

template <class P, int (P::*Query)(QString&, QString&)>
int status(QObject* provider, QString& value, QString& icon)
{
    return (static_cast<P*>(provider)->*Query)(value, icon);
}

bool p1or3(const IndicatorSettings& s) { return s.platform == 1 || s.platform == 3; }
bool p2or3(const IndicatorSettings& s) { return s.platform == 2 || s.platform == 3; }
// The enable of a type the platform 1 lacks, on platform 3 by its setting.
bool unlessPlatform1(const IndicatorSettings& s, int key)
{
    return s.platform == 1 ? false : s.platform == 3 ? s.flag(key) : true;
}

bool keepEnable(const IndicatorSettings& s) { return s.enable; }
int keepMode(const IndicatorSettings& s) { return s.mode; }
bool never(const IndicatorSettings&) { return false; }

constexpr IndicatorKind kNone = {"null", 2999, nullptr, nullptr, false, keepEnable, keepMode};

constexpr IndicatorKind kKinds[IND_TYPE_COUNT] = {
    // IND_TYPE_BATTERY
    {"xinfo_battery", 5000, makeTelling<XBattery, &XBattery::sig_Battery>, status<XBattery, &XBattery::xbat_getStatus>,
     true, [](const IndicatorSettings& s) { return p1or3(s) ? s.flag(IND_STS_BATTERY) : true; },
     [](const IndicatorSettings& s) {
         return s.flag(IND_DEBUG_BATTERY) ? int(XINFO_MODE_TEXTICON) : s.number(IND_MODE_BATTERY);
     }},
    // IND_TYPE_BLUETOOTH
    {"xinfo_bluetooth", 5001, make<XBluetooth>, status<XBluetooth, &XBluetooth::xblu_getStatus>, false,
     [](const IndicatorSettings& s) { return p1or3(s) ? s.flag(IND_STS_BLUETOOTH) : true; },
     [](const IndicatorSettings& s) { return s.number(IND_MODE_BLUETOOTH); }},
    // IND_TYPE_WIFI
    {"xinfo_wifi", 5002, make<XWifi>, status<XWifi, &XWifi::xwifi_getStatus>, false,
     [](const IndicatorSettings& s) { return p1or3(s) ? s.flag(IND_STS_WIFI) : true; },
     [](const IndicatorSettings& s) { return s.number(IND_MODE_WIFI); }},
    // IND_TYPE_ETHERNET
    {"xinfo_ethernet", 5003, make<XEthernet>, status<XEthernet, &XEthernet::xeth_getStatus>, false,
     [](const IndicatorSettings& s) { return unlessPlatform1(s, IND_STS_ETHERNET); },
     [](const IndicatorSettings& s) { return s.number(IND_MODE_ETHERNET); }},
    // IND_TYPE_VCI
    {"xinfo_vci", 5004, make<XVciInfo>, status<XVciInfo, &XVciInfo::xvciinf_getStatus>, false,
     [](const IndicatorSettings& s) { return s.platform == 3 ? s.flag(IND_STS_VCI) : false; },
     [](const IndicatorSettings& s) { return s.number(IND_MODE_VCI); }},
    // IND_TYPE_MODEM: no provider
    kNone,
    // IND_TYPE_DOWNLOAD
    {"xinfo_download", 5006, make<XDownload>, status<XDownload, &XDownload::xdwn_getStatus>, false, never,
     [](const IndicatorSettings& s) { return s.number(IND_MODE_DOWNLOAD); }},
    // IND_TYPE_GPS: no provider, though the settings enable it
    {"null", 2999, nullptr, nullptr, false, [](const IndicatorSettings& s) { return unlessPlatform1(s, IND_STS_GPS); },
     [](const IndicatorSettings& s) { return s.number(IND_MODE_GPS); }},
    // IND_TYPE_BATTERYVEHICLE
    {"xinfo_batteryvehicle", 5009, makeTelling<XBatteryVehicle, &XBatteryVehicle::sig_BatteryVehicle>,
     status<XBatteryVehicle, &XBatteryVehicle::xbatvhe_getStatus>, true, never,
     [](const IndicatorSettings&) { return int(XINFO_MODE_TEXTICON); }},
    // IND_TYPE_SCREENCAPTURE
    {"xinfo_screencapture", 5010, makeClicked<XScreenCapture>,
     status<XScreenCapture, &XScreenCapture::xscc_getStatus>, true,
     [](const IndicatorSettings& s) { return s.platform >= 1 && s.platform <= 3; },
     [](const IndicatorSettings& s) { return s.number(IND_MODE_SCREENCAPTURE); }},
    // IND_TYPE_CAMERA
    {"xinfo_camera", 5011, makeClicked<XCamera>, status<XCamera, &XCamera::xcam_getStatus>, true, p2or3,
     [](const IndicatorSettings& s) { return s.number(IND_MODE_CAMERA); }},
    // IND_TYPE_INTERNET
    {"xinfo_internet", 5012, makeClicked<XInternet>, status<XInternet, &XInternet::xint_getStatus>, true,
     [](const IndicatorSettings& s) { return s.flag(IND_STS_INTERNET); },
     [](const IndicatorSettings&) { return int(XINFO_MODE_ICON); }},
    // IND_TYPE_BRIGHTNESS
    {"xinfo_brightness", 5013, makeClicked<XBrightness>, status<XBrightness, &XBrightness::xscc_getStatus>, true,
     [](const IndicatorSettings& s) { return p1or3(s) ? s.flag(IND_STS_BRIGHTNESS) : false; },
     [](const IndicatorSettings& s) { return s.number(IND_MODE_BRIGHTNESS); }},
    // IND_TYPE_KEYBOARD
    {"xinfo_keyboard", 5014, makeClicked<XKeyboard>, status<XKeyboard, &XKeyboard::xkb_getStatus>, true,
     [](const IndicatorSettings& s) { return p2or3(s) ? s.flag(IND_STS_KEYBOARD) : false; },
     [](const IndicatorSettings& s) { return s.number(IND_MODE_KEYBOARD); }},
};

} // namespace

const IndicatorKind& vantel_indicatorKind(int type)
{
    return type >= 0 && type < IND_TYPE_COUNT ? kKinds[type] : kNone;
}
