#ifndef XSCREENCAPTURE_H
#define XSCREENCAPTURE_H

/// @file
/// XScreenCapture, the screen-capture indicator's provider.

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>

#include "vantel_export.h"

class DiskFollower;
class QScreen;

/// The screen-capture indicator's provider. The indicator shows while a
/// removable disk is known and its folder is there; a click saves a PNG of the
/// whole desktop in the disk's "Screenshot" folder, and the icon shows the
/// request, then the outcome, then rests again.
///
/// Thread: the GUI thread only, where the library makes it as a child of its indicator. The picture is taken and encoded in the GUI thread
/// (the encoder's own threads help), so the GUI thread waits for it.
///
/// Without a removable disk: HARDWARE_OFF, and the indicator stays hidden.
/// On a Wayland session the compositor's screencopy takes the picture, else
/// the desktop portal, whose answer comes through the GUI thread's event
/// loop: the working icon stays on until it comes (at most 30 s). With
/// neither every capture fails and the indicator shows its error icon.
class VANTEL_EXPORT XScreenCapture : public QObject
{
    Q_OBJECT
public:
    /// Follows the AddUsbDisk(int) / RemoveUsbDisk(int) signals of the
    /// application object, which a host declares and emits.
    explicit XScreenCapture(QObject* parent);
    ~XScreenCapture() override;

    /// One status query: HARDWARE_OFF while no disk is there; else
    /// XINFORET_OK with the icon of the state (ready, working, saved or
    /// failed). A requested capture happens here.
    int xscc_getStatus(QString& value, QString& icon);

public slots:
    /// A click (`val` XINFO_MSG_CLICKED) asks for a capture at the next query.
    void slt_InternalCommunication(int val, int par, int opt);
    /// Captures at once, whatever the state; the outcome icon shows at the
    /// next poll. The library never calls it: it is the host's, for a key or a menu.
    void slt_capture();
    /// A removable disk arrived: `idVolume` is its one-bit drive mask.
    void AddUsbDisk(int idVolume);
    /// The removable disk of the one-bit mask `idVolume` left.
    void RemoveUsbDisk(int idVolume);

private:
    bool xscc_captureproc();
    void dropPendingGrab();

    qint32 state = -1;
    QString valueText;
    QString iconPath;
    QPixmap picture;
    DiskFollower* disk; ///< a child of the provider
    QPointer<QScreen> desktop; ///< the application's; not owned
    bool grabPending = false; ///< the platform answers at a later poll
};

#endif
