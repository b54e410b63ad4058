#include "xinfo.h"

#include "library/pollscope.h"
#include "library/vantelglobals.h"
#include "library/vantelthread.h"
#include "panor.h"
#include "panordata.h"
#include "settings/xinisystem.h"
#include "xbattery.h"
#include "xbatteryvehicle.h"
#include "xbluetooth.h"
#include "xbrightness.h"
#include "xcamera.h"
#include "xdownload.h"
#include "xethernet.h"
#include "xindicator.h"
#include "xinternet.h"
#include "xkeyboard.h"
#include "xperimeter.h"
#include "xscreencapture.h"
#include "xvciinfo.h"
#include "xwifi.h"

bool forceRefresh = false;

namespace {

struct ControlName {
    const char* name;
    int id;
};

// Panor registration by type; types without a provider register as "null".
const ControlName kControlNames[IND_TYPE_COUNT] = {
    {"xinfo_battery", 5000},       {"xinfo_bluetooth", 5001}, {"xinfo_wifi", 5002},
    {"xinfo_ethernet", 5003},      {"xinfo_vci", 5004},       {"null", 2999},
    {"xinfo_download", 5006},      {"null", 2999},            {"xinfo_batteryvehicle", 5009},
    {"xinfo_screencapture", 5010}, {"xinfo_camera", 5011},    {"xinfo_internet", 5012},
    {"xinfo_brightness", 5013},    {"xinfo_keyboard", 5014},
};

int interfaceHeight()
{
    return panor_guiData->panord_getInterfaceSize(PanorData::PANORD_INDICATOR).height();
}

int setting(int key)
{
    return vantel_settings ? vantel_settings->xinisys_number(key) : 0;
}

bool flag(int key)
{
    return setting(key) == 1;
}

} // namespace

XInfo::XInfo(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<sLAYOUT_IMAGE>("sImage");
    reset();
}

XInfo::~XInfo()
{
    if (widget)
        widget->deleteLater();
}

void XInfo::reset()
{
    enable = false;
    type = -1;
    mode = -1;
    sleep = false;
    shown = false;
    info.value = QString();
    info.icon = vantel_iconPath(ICON_NULL);

    widget = new XIndicator(nullptr);
    connect(widget, &XIndicator::clicked, this, &XInfo::slt_clicked, Qt::UniqueConnection);

    xPerimeter perimeter;
    perimeter.xper_setAngle(false);
    perimeter.xper_setBorder(false);

    const int side = interfaceHeight() - 2;
    widget->setFixedHeight(side);
    widget->setFixedWidth(side);

    widget->xind_setPerimeter(perimeter);
    widget->xind_setStyle(XIndicator::XIND_STYLE_FLAT | XIndicator::XIND_STYLE_HOVER);
    widget->xctl_setStatus(XControl::XCTL_STATUS_ACTIVE);
}

void XInfo::xinfo_setType(int value)
{
    type = value;
    switch (type) {
    case IND_TYPE_BATTERY:
        battery = new XBattery(this);
        connect(battery, &XBattery::sig_Battery, this, &XInfo::slt_Information, Qt::UniqueConnection);
        connect(this, &XInfo::sig_InternalCommunication, battery, &XBattery::slt_InternalCommunication,
                Qt::UniqueConnection);
        break;
    case IND_TYPE_BATTERYVEHICLE:
        batteryVehicle = new XBatteryVehicle(this);
        connect(batteryVehicle, &XBatteryVehicle::sig_BatteryVehicle, this, &XInfo::slt_Information,
                Qt::UniqueConnection);
        connect(this, &XInfo::sig_InternalCommunication, batteryVehicle,
                &XBatteryVehicle::slt_InternalCommunication, Qt::UniqueConnection);
        break;
    case IND_TYPE_WIFI:
        wifi = new XWifi(this);
        break;
    case IND_TYPE_BLUETOOTH:
        bluetooth = new XBluetooth(this);
        break;
    case IND_TYPE_ETHERNET:
        ethernet = new XEthernet(this);
        break;
    case IND_TYPE_VCI:
        vci = new XVciInfo(this);
        break;
    case IND_TYPE_DOWNLOAD:
        download = new XDownload(this);
        break;
    case IND_TYPE_BRIGHTNESS:
        brightness = new XBrightness(this);
        connect(this, &XInfo::sig_InternalCommunication, brightness, &XBrightness::slt_InternalCommunication,
                Qt::UniqueConnection);
        break;
    case IND_TYPE_KEYBOARD:
        keyboard = new XKeyboard(this);
        connect(this, &XInfo::sig_InternalCommunication, keyboard, &XKeyboard::slt_InternalCommunication,
                Qt::UniqueConnection);
        break;
    case IND_TYPE_CAMERA:
        camera = new XCamera(this);
        connect(this, &XInfo::sig_InternalCommunication, camera, &XCamera::slt_InternalCommunication,
                Qt::UniqueConnection);
        break;
    case IND_TYPE_INTERNET:
        internet = new XInternet(this);
        connect(this, &XInfo::sig_InternalCommunication, internet, &XInternet::slt_InternalCommunication,
                Qt::UniqueConnection);
        break;
    case IND_TYPE_SCREENCAPTURE:
        screenCapture = new XScreenCapture(this);
        connect(this, &XInfo::sig_InternalCommunication, screenCapture,
                &XScreenCapture::slt_InternalCommunication, Qt::UniqueConnection);
        break;
    default:
        break;
    }

    const bool known = type >= 0 && type < IND_TYPE_COUNT;
    const QString name = QLatin1String(known ? kControlNames[type].name : "null");
    const int id = known ? kControlNames[type].id : 2999;
    if (widget)
        PANOR_cltSet(widget, name, 1, id, -1);
}

void XInfo::xinfo_setMode(int value)
{
    mode = value;
    if (!widget)
        return;
    switch (mode) {
    case XINFO_MODE_ICON:
        widget->setToolButtonStyle(Qt::ToolButtonIconOnly);
        break;
    case XINFO_MODE_TEXTICON:
        widget->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        break;
    default:
        widget->setToolButtonStyle(Qt::ToolButtonTextOnly);
        break;
    }
}

void XInfo::xinfo_init(int value, int modeValue)
{
    const int platform = setting(DATA_PLATFORM);
    const bool p1or3 = platform == 1 || platform == 3;
    const bool p2or3 = platform == 2 || platform == 3;

    xinfo_setType(value);

    if (modeValue == -1) {
        switch (type) {
        case IND_TYPE_BATTERY:
            enable = p1or3 ? flag(IND_STS_BATTERY) : true;
            modeValue = flag(IND_DEBUG_BATTERY) ? XINFO_MODE_TEXTICON : setting(IND_MODE_BATTERY);
            break;
        case IND_TYPE_BLUETOOTH:
            enable = p1or3 ? flag(IND_STS_BLUETOOTH) : true;
            modeValue = setting(IND_MODE_BLUETOOTH);
            break;
        case IND_TYPE_WIFI:
            enable = p1or3 ? flag(IND_STS_WIFI) : true;
            modeValue = setting(IND_MODE_WIFI);
            break;
        case IND_TYPE_ETHERNET:
            enable = platform == 1 ? false : platform == 3 ? flag(IND_STS_ETHERNET) : true;
            modeValue = setting(IND_MODE_ETHERNET);
            break;
        case IND_TYPE_VCI:
            enable = platform == 3 ? flag(IND_STS_VCI) : false;
            modeValue = setting(IND_MODE_VCI);
            break;
        case IND_TYPE_MODEM:
            modeValue = mode;
            break;
        case IND_TYPE_DOWNLOAD:
            enable = false;
            modeValue = setting(IND_MODE_DOWNLOAD);
            break;
        case IND_TYPE_GPS:
            enable = platform == 1 ? false : platform == 3 ? flag(IND_STS_GPS) : true;
            modeValue = setting(IND_MODE_GPS);
            break;
        case IND_TYPE_BATTERYVEHICLE:
            enable = false;
            modeValue = XINFO_MODE_TEXTICON;
            break;
        case IND_TYPE_SCREENCAPTURE:
            enable = platform >= 1 && platform <= 3;
            modeValue = setting(IND_MODE_SCREENCAPTURE);
            break;
        case IND_TYPE_CAMERA:
            enable = p2or3;
            modeValue = setting(IND_MODE_CAMERA);
            break;
        case IND_TYPE_INTERNET:
            enable = flag(IND_STS_INTERNET);
            modeValue = XINFO_MODE_ICON;
            break;
        case IND_TYPE_BRIGHTNESS:
            enable = p1or3 ? flag(IND_STS_BRIGHTNESS) : false;
            modeValue = setting(IND_MODE_BRIGHTNESS);
            break;
        case IND_TYPE_KEYBOARD:
            enable = p2or3 ? flag(IND_STS_KEYBOARD) : false;
            modeValue = setting(IND_MODE_KEYBOARD);
            break;
        default:
            modeValue = mode;
            break;
        }
    }

    xinfo_setMode(modeValue);
    xinfo_getStatus(true);
}

int XInfo::queryProvider()
{
    switch (type) {
    case IND_TYPE_BATTERY:
        return battery ? battery->xbat_getStatus(info.value, info.icon) : XINFORET_FAIL;
    case IND_TYPE_WIFI:
        return wifi ? wifi->xwifi_getStatus(info.value, info.icon) : XINFORET_FAIL;
    case IND_TYPE_BLUETOOTH:
        return bluetooth ? bluetooth->xblu_getStatus(info.value, info.icon) : XINFORET_FAIL;
    case IND_TYPE_ETHERNET:
        return ethernet ? ethernet->xeth_getStatus(info.value, info.icon) : XINFORET_FAIL;
    case IND_TYPE_VCI:
        return vci ? vci->xvciinf_getStatus(info.value, info.icon) : XINFORET_FAIL;
    case IND_TYPE_DOWNLOAD:
        return download ? download->xdwn_getStatus(info.value, info.icon) : XINFORET_FAIL;
    case IND_TYPE_CAMERA:
        return camera ? camera->xcam_getStatus(info.value, info.icon) : XINFORET_FAIL;
    case IND_TYPE_INTERNET:
        return internet ? internet->xint_getStatus(info.value, info.icon) : XINFORET_FAIL;
    case IND_TYPE_BATTERYVEHICLE:
        return batteryVehicle ? batteryVehicle->xbatvhe_getStatus(info.value, info.icon)
                              : XINFORET_FAIL;
    case IND_TYPE_BRIGHTNESS:
        return brightness ? brightness->xscc_getStatus(info.value, info.icon) : XINFORET_FAIL;
    case IND_TYPE_SCREENCAPTURE:
        return screenCapture ? screenCapture->xscc_getStatus(info.value, info.icon) : XINFORET_FAIL;
    case IND_TYPE_KEYBOARD:
        return keyboard ? keyboard->xkb_getStatus(info.value, info.icon) : XINFORET_FAIL;
    default:
        return XINFORET_FAIL;
    }
}

void XInfo::xinfo_getStatus(bool preinit)
{
    if (!widget)
        return;
    // The indicators that one poll's signal reaches share what they read.
    const PollScope scope(vantel_thread && sender() == vantel_thread ? VantelThread::round() : 0);
    const int ret = enable ? queryProvider() : XINFORET_FAIL;

    if (ret == XINFORET_OK || forceRefresh) {
        const int h = interfaceHeight();
        const int s = h - (2 * h) / 10;
        sLAYOUT_IMAGE img;
        img.path = info.icon;
        img.size = QSize(s, s);
        switch (mode) {
        case XINFO_MODE_ICON:
            xinfo_setImage(img);
            break;
        case XINFO_MODE_TEXT:
            xinfo_setDesc(info.value);
            break;
        case XINFO_MODE_TEXTICON:
            xinfo_setDesc(info.value);
            xinfo_setImage(img);
            break;
        default:
            break;
        }
        if (ret == XINFORET_OK)
            shown = true;
        if (!preinit) {
            if (!widget->isVisible())
                widget->setVisible(true);
            forceRefresh = false;
        } else {
            forceRefresh = true;
        }
    } else if (ret == HARDWARE_OFF || ret == XINFORET_FAIL) {
        shown = false;
        widget->setVisible(false);
    } else if (ret == STATUS_UNCHANGED && shown) {
        if (!widget->isVisible())
            widget->setVisible(true);
    }
}

void XInfo::xinfo_getStatus()
{
    xinfo_getStatus(false);
}

void XInfo::xinfo_setSleep(bool value)
{
    if (!shown || !widget)
        return;
    if (value) {
        widget->setVisible(false);
        sleep = true;
    } else {
        sleep = false;
        widget->setVisible(true);
    }
}

void XInfo::slt_clicked()
{
    if (type == IND_TYPE_BATTERY || (type >= IND_TYPE_BATTERYVEHICLE && type <= IND_TYPE_KEYBOARD))
        emit sig_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
    else
        emit sig_Information(XINFO_MSG_CLICKED, type, -1);
}

void XInfo::slt_Information(int val, int par, int opt)
{
    emit sig_Information(val, par, opt);
}

void XInfo::xinfo_setEnable(bool value)
{
    enable = value;
}

void XInfo::xinfo_setDesc(QString text)
{
    desc = text;
    if (widget)
        widget->xind_setText(desc);
}

void XInfo::xinfo_setImage(sLAYOUT_IMAGE img)
{
    image = img;
    xinfo_setIcon(image.path, image.size);
}

void XInfo::xinfo_setIcon(QString path, QSize size)
{
    // Adding an SVG file to a QIcon parses the whole file; a poll that
    // reports the same picture reuses the icon built for it.
    if (iconNull || path != iconFile || size != iconFileSize) {
        QIcon built;
        built.addFile(path, size, QIcon::Normal, QIcon::Off);
        built.addFile(path, size, QIcon::Disabled, QIcon::Off);
        icon = built;
        iconNull = icon.isNull();
        iconFile = path;
        iconFileSize = size;
    }
    if (widget)
        widget->xind_setIcon(path, size);
}

void XInfo::xinfo_setIcon(QIcon value)
{
    icon = value;
    iconNull = icon.isNull();
    iconFile.clear();
    if (widget)
        widget->xind_setIcon(icon);
}

bool XInfo::xinfo_getEnable() const { return enable; }
int XInfo::xinfo_getMode() const { return mode; }
int XInfo::xinfo_getType() const { return type; }
bool XInfo::xinfo_getSleep() const { return sleep; }
QString XInfo::xinfo_getDesc() const { return desc; }
QIcon XInfo::xinfo_getIcon() const { return icon; }
sLAYOUT_IMAGE XInfo::xinfo_getImage() const { return image; }
XIndicator* XInfo::xinfo_getWidget() const { return widget; }
