#include "xinfo.h"

#include "indicator/indicatorkind.h"
#include "library/pollscope.h"
#include "library/vantelglobals.h"
#include "library/vantelthread.h"
#include "panor.h"
#include "panordata.h"
#include "settings/xinisystem.h"
#include "xindicator.h"
#include "xperimeter.h"

bool forceRefresh = false;

namespace {

int interfaceHeight()
{
    return panor_guiData->panord_getInterfaceSize(PanorData::PANORD_INDICATOR).height();
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
    const IndicatorKind& kind = vantel_indicatorKind(type);
    provider = kind.make ? kind.make(this) : nullptr;
    if (widget)
        PANOR_cltSet(widget, QLatin1String(kind.name), 1, kind.id, -1);
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
    xinfo_setType(value);

    if (modeValue == -1) {
        const IndicatorSettings settings{IndicatorSettings::number(DATA_PLATFORM), enable, mode};
        const IndicatorKind& kind = vantel_indicatorKind(type);
        enable = kind.enabled(settings);
        modeValue = kind.mode(settings);
    }

    xinfo_setMode(modeValue);
    xinfo_getStatus(true);
}

int XInfo::queryProvider()
{
    const IndicatorKind& kind = vantel_indicatorKind(type);
    return provider && kind.status ? kind.status(provider, info.value, info.icon) : XINFORET_FAIL;
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
    if (vantel_indicatorKind(type).clickToProvider)
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
