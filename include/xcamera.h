#ifndef XCAMERA_H
#define XCAMERA_H

/// @file
/// XCamera, the camera indicator's provider.

#include <QObject>
#include <QPointer>
#include <QString>

#include "vantel_export.h"

class DiskFollower;
class xprocess;

/// The camera indicator's provider: shown while a removable disk is known and
/// the camera application of the settings exists; a click launches that
/// application with "MODE=2", and the icon shows the request, then the
/// outcome, then rests again. It follows removable disks through the
/// application object's AddUsbDisk / RemoveUsbDisk signals.
///
/// Thread: the GUI thread only, where the library makes it as a child of its indicator.
///
/// Without a removable disk, or without the camera application (the
/// setting empty or naming no file): HARDWARE_OFF, and the indicator stays
/// hidden.
class VANTEL_EXPORT XCamera : public QObject
{
    Q_OBJECT
public:
    /// Takes the library's capture path and DATA_CAMERA_APP as they are now.
    explicit XCamera(QObject* parent);
    ~XCamera() override;

    /// One status query: HARDWARE_OFF while no disk or no camera application
    /// is there; else XINFORET_OK with the icon of the state (ready,
    /// requested, started or failed). A requested start happens here.
    int xcam_getStatus(QString& value, QString& icon);

public slots:
    /// A click (`val` XINFO_MSG_CLICKED) asks for a start at the next query.
    void slt_InternalCommunication(int val, int par, int opt);
    /// A removable disk arrived: `idVolume` is its one-bit drive mask.
    void AddUsbDisk(int idVolume);
    /// The removable disk of the one-bit mask `idVolume` left.
    void RemoveUsbDisk(int idVolume);

private:
    void launch();

    int state = -1; ///< -1 new, 0 not available, 1 ready, 2 requested, 3 launching, 4 done
    QString valueText;
    QString iconPath;
    DiskFollower* disk; ///< a child of the provider
    QString cameraApp;
    int launchResult = 0;
    /// A sibling of the provider; guarded because its parent may delete it first.
    QPointer<xprocess> runner;
    QString launchMessage;
};

#endif
