// What the providers that act on a removable disk share (screen capture,
// camera): the capture path that the host application's AddUsbDisk /
// RemoveUsbDisk signals move, followed here, and the click that asks for the
// provider's action at its next status query.
#ifndef DISKFOLLOWER_H
#define DISKFOLLOWER_H

#include <QObject>

#include <functional>

#include "capture/capturepath.h"

// The states of a provider that acts on the disk, as its trace line numbers
// them: no disk (for the camera: or no camera application), ready, the action
// asked for by a click, under way, done (its outcome on show for one poll).
enum DiskActionState { STATE_NEW = -1, STATE_NO_DISK = 0, STATE_READY = 1, STATE_REQUESTED = 2, STATE_WORKING = 3,
                       STATE_DONE = 4 };

// The icons of the catalogue a provider shows in each state.
struct DiskActionIcons {
    int ready;
    int working;
    int succeeded;
    int failed;
};

// What an action a click started has come to.
enum class ActionOutcome { Pending, Succeeded, Failed };

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

    // One status query of the provider: moves `state` (a DiskActionState)
    // and sets `icon` as the click, the action and its outcome go. `start`
    // runs the action a click asked for, at the query after the one that
    // showed the request; `resume` looks again at one still pending. Returns
    // HARDWARE_OFF while the provider is not `available`, else XINFORET_OK.
    int step(int& state, bool available, const DiskActionIcons& icons, QString& icon,
             const std::function<ActionOutcome()>& start, const std::function<ActionOutcome()>& resume);
    // The state and icon of an action that has come to `outcome`.
    void settle(ActionOutcome outcome, int& state, const DiskActionIcons& icons, QString& icon);

public slots:
    // The host's notifications, by the names its application class gives them.
    void AddUsbDisk(int idVolume) { capturePath.addUsbDisk(idVolume); }
    void RemoveUsbDisk(int idVolume) { capturePath.removeUsbDisk(idVolume); }

private:
    CapturePath capturePath;
    bool clicked = false;
};

#endif
