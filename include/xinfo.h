// One status indicator of the title bar: a Panor button, the provider that
// answers its status queries, and the rules that show, hide and redraw the
// button by the provider's answer and the display mode.
#ifndef XINFO_H
#define XINFO_H

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

#include "vantel_export.h"
#include "xinfodata.h"

class XIndicator;
class XBattery;
class XWifi;
class XBluetooth;
class XEthernet;
class XVciInfo;
class XBrightness;
class XDownload;
class XBatteryVehicle;
class XScreenCapture;
class XCamera;
class XInternet;
class XKeyboard;

class VANTEL_EXPORT XInfo : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool xinfo_enable READ xinfo_getEnable WRITE xinfo_setEnable)
    Q_PROPERTY(int xinfo_mode READ xinfo_getMode WRITE xinfo_setMode)
    Q_PROPERTY(int xinfo_type READ xinfo_getType WRITE xinfo_setType)
    Q_PROPERTY(bool xinfo_sleep READ xinfo_getSleep WRITE xinfo_setSleep)
    Q_PROPERTY(QString xinfo_value READ xinfo_getDesc WRITE xinfo_setDesc)
    Q_PROPERTY(QIcon xinfo_icon READ xinfo_getIcon)
    Q_PROPERTY(sImage xinfo_image READ xinfo_getImage WRITE xinfo_setImage)

public:
    explicit XInfo(QObject* parent = nullptr);
    ~XInfo() override;

    void xinfo_init(int type, int mode);
    void xinfo_setType(int type);
    void xinfo_setMode(int mode);
    void xinfo_setEnable(bool enable);
    void xinfo_setSleep(bool sleep);
    void xinfo_setDesc(QString text);
    void xinfo_setImage(sLAYOUT_IMAGE img);
    void xinfo_setIcon(QString path, QSize size);
    void xinfo_setIcon(QIcon icon);

    bool xinfo_getEnable() const;
    int xinfo_getMode() const;
    int xinfo_getType() const;
    bool xinfo_getSleep() const;
    QString xinfo_getDesc() const;
    QIcon xinfo_getIcon() const;
    sLAYOUT_IMAGE xinfo_getImage() const;

    // The indicator's button; the host or VANTEL_indicatorAdd places it on a bar.
    XIndicator* xinfo_getWidget() const;

signals:
    void sig_Information(int val, int par, int opt);
    void sig_InternalCommunication(int val, int par, int opt);

public slots:
    void slt_clicked();
    void slt_Information(int val, int par, int opt);
    void xinfo_getStatus(bool preinit);
    void xinfo_getStatus();

private:
    void reset();
    int queryProvider();

    // Guarded: a host may destroy its bar, and the buttons on it, before the library.
    QPointer<XIndicator> widget;
    XBattery* battery = nullptr;
    XWifi* wifi = nullptr;
    XBluetooth* bluetooth = nullptr;
    XEthernet* ethernet = nullptr;
    XVciInfo* vci = nullptr;
    XBrightness* brightness = nullptr;
    XDownload* download = nullptr;
    XBatteryVehicle* batteryVehicle = nullptr;
    XScreenCapture* screenCapture = nullptr;
    XCamera* camera = nullptr;
    XInternet* internet = nullptr;
    XKeyboard* keyboard = nullptr;
    bool enable = false;
    int type = -1;
    int mode = -1;
    bool sleep = false;
    bool shown = false;
    _XINFODATA info;
    QString desc;
    QIcon icon;
    sLAYOUT_IMAGE image;
    QString iconFile;
    QSize iconFileSize;
};

#endif
