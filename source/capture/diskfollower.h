// What the providers that act on a removable disk share (screen capture,
// camera): the capture path that the host application's AddUsbDisk /
// RemoveUsbDisk signals move, followed here, and the click that asks for the
// provider's action at its next status query.
#ifndef DISKFOLLOWER_H
#define DISKFOLLOWER_H

#include <QObject>

#include "capture/capturepath.h"

// The states of a provider that acts on the disk, as its trace line numbers
// them: no disk (for the camera: or no camera application), ready, the action
// asked for by a click, under way, done (its outcome on show for one poll).
enum DiskActionState { STATE_NEW = -1, STATE_NO_DISK = 0, STATE_READY = 1, STATE_REQUESTED = 2, STATE_WORKING = 3,
                       STATE_DONE = 4 };

class DiskFollower : public QObject
{
    Q_OBJECT
public:
    // Takes the library's capture path as it is now and follows the signals
    // of the application object from then on.
    explicit DiskFollower(QObject* parent);

    const QString& path() const { return capturePath.path(); }
    bool reachable() { return capturePath.reachable(); }

    // A message from the indicator: XINFO_MSG_CLICKED asks for the action.
    void message(int val);
    // Whether a click asked for the action since the last look; the click is
    // used up either way.
    bool takeClick();
    // Forgets a click: one made while the provider could not act on it.
    void dropClick() { clicked = false; }

public slots:
    // The host's notifications, by the names its application class gives them.
    void AddUsbDisk(int idVolume) { capturePath.addUsbDisk(idVolume); }
    void RemoveUsbDisk(int idVolume) { capturePath.removeUsbDisk(idVolume); }

private:
    CapturePath capturePath;
    bool clicked = false;
};

#endif
