#ifndef XINFO_H
#define XINFO_H

/// @file
/// XInfo, one indicator of the title bar.

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

#include "vantel_export.h"
#include "xinfodata.h"

class XIndicator;

/// One status indicator of the title bar: a Panor button, the provider that
/// answers its status queries, and the rules that show, hide and redraw the
/// button by the provider's answer and the display mode.
///
/// The library makes the fourteen of them (VANTEL_getProgramInfo) and owns
/// them; a host reads them, enables or disables them before
/// VANTEL_indicatorAdd, and listens to sig_Information.
///
/// Thread: the GUI thread only, like the button it owns; a poll of the
/// polling thread reaches xinfo_getStatus() there, as one queued call a poll.
///
/// Without the device: the provider answers HARDWARE_OFF (or XINFORET_FAIL)
/// and the indicator hides its button; it shows it again by itself once a
/// later query finds the device.
class VANTEL_EXPORT XInfo : public QObject
{
    Q_OBJECT
    /// Whether status queries reach the provider (xinfo_setEnable()).
    Q_PROPERTY(bool xinfo_enable READ xinfo_getEnable WRITE xinfo_setEnable)
    /// The display mode, an XINFO_MODE_* value (xinfo_setMode()).
    Q_PROPERTY(int xinfo_mode READ xinfo_getMode WRITE xinfo_setMode)
    /// The indicator type, an IND_TYPE_* value (xinfo_setType()).
    Q_PROPERTY(int xinfo_type READ xinfo_getType WRITE xinfo_setType)
    /// Whether the indicator is suspended (xinfo_setSleep()).
    Q_PROPERTY(bool xinfo_sleep READ xinfo_getSleep WRITE xinfo_setSleep)
    /// The text shown on the button (xinfo_setDesc()).
    Q_PROPERTY(QString xinfo_value READ xinfo_getDesc WRITE xinfo_setDesc)
    /// The icon last shown on the button.
    Q_PROPERTY(QIcon xinfo_icon READ xinfo_getIcon)
    /// The image record last shown on the button (xinfo_setImage()).
    Q_PROPERTY(sImage xinfo_image READ xinfo_getImage WRITE xinfo_setImage)

public:
    /// An indicator of no type yet, with its button made but on no bar and
    /// disabled; xinfo_init() gives it its type.
    explicit XInfo(QObject* parent = nullptr);
    /// Deletes the button later, when it still exists, and the provider.
    ~XInfo() override;

    /// Gives the indicator `type` (an IND_TYPE_* value) and its provider;
    /// with `mode` -1, the enabled state and display mode come from the
    /// settings, else the mode is `mode`. Ends with a first status query that
    /// draws the button without showing it.
    void xinfo_init(int type, int mode);
    /// Makes the provider of `type` and registers the button under the
    /// indicator's Panor name; an unknown type gets no provider.
    void xinfo_setType(int type);
    /// Sets the display mode (XINFO_MODE_ICON, XINFO_MODE_TEXT or
    /// XINFO_MODE_TEXTICON; any other value shows text only).
    void xinfo_setMode(int mode);
    /// Lets status queries reach the provider (true) or not. VANTEL_indicatorAdd
    /// connects only the indicators enabled at that moment.
    void xinfo_setEnable(bool enable);
    /// Hides the button (true) or shows it again (false); does nothing while
    /// the indicator has not been shown since its last query.
    void xinfo_setSleep(bool sleep);
    /// Sets the button's text (also its tooltip).
    void xinfo_setDesc(QString text);
    /// Draws the picture of `img.path` at `img.size` on the button.
    void xinfo_setImage(sLAYOUT_IMAGE img);
    /// Draws the picture of the file `path` at `size` on the button.
    void xinfo_setIcon(QString path, QSize size);
    /// Puts `icon` on the button.
    void xinfo_setIcon(QIcon icon);

    /// Whether status queries reach the provider.
    bool xinfo_getEnable() const;
    /// The display mode; -1 before xinfo_init().
    int xinfo_getMode() const;
    /// The indicator type; -1 before xinfo_init().
    int xinfo_getType() const;
    /// Whether xinfo_setSleep(true) hid the button.
    bool xinfo_getSleep() const;
    /// The button's text.
    QString xinfo_getDesc() const;
    /// The icon last put on the button.
    QIcon xinfo_getIcon() const;
    /// The image record last shown.
    sLAYOUT_IMAGE xinfo_getImage() const;

    /// The indicator's button; the host or VANTEL_indicatorAdd places it on a
    /// bar. Null once the button was destroyed with the host's bar.
    XIndicator* xinfo_getWidget() const;

signals:
    /// What the indicator tells the host: `val` XINFO_MSG_CLICKED (804) with
    /// `par` the indicator type for a click on an indicator whose provider
    /// takes no clicks, or its provider's information, such as a battery
    /// warning (XBAT_MSG_WARNING, 801: `par` the message number, `opt` the
    /// charge). Emitted in the GUI thread.
    void sig_Information(int val, int par, int opt);
    /// To the indicator's own provider: a click (`val` XINFO_MSG_CLICKED,
    /// `par` and `opt` -1). Not meant for the host.
    void sig_InternalCommunication(int val, int par, int opt);

public slots:
    /// The button's click: passed to the provider, or to the host through
    /// sig_Information for indicators whose provider takes no clicks.
    void slt_clicked();
    /// Forwards a provider's information to sig_Information.
    void slt_Information(int val, int par, int opt);
    /// One status query: asks the provider (when enabled) and shows, redraws
    /// or hides the button by its answer; with `preinit`, draws without
    /// showing. A disabled indicator hides its button.
    void xinfo_getStatus(bool preinit);
    /// One status query that shows the button when the provider reports
    /// something; the polling thread's signal reaches this slot.
    void xinfo_getStatus();

private:
    void reset();
    int queryProvider();

    /// Guarded: a host may destroy its bar, and the buttons on it, before the library.
    QPointer<XIndicator> widget;
    QObject* provider = nullptr; ///< of the type, a child; its kind says how to ask it
    bool enable = false;
    int type = -1;
    int mode = -1;
    bool sleep = false;
    bool shown = false;
    _XINFODATA info;
    QString desc;
    QIcon icon;
    bool iconNull = true; ///< icon.isNull() as last set: asking the icon wakes its engine
    sLAYOUT_IMAGE image;
    QString iconFile;
    QSize iconFileSize;
};

#endif
