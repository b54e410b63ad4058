#include "capture/diskfollower.h"

#include <QCoreApplication>

#include "indicator/iconcatalogue.h"
#include "xinfodata.h"

DiskFollower::DiskFollower(QObject* parent)
    : QObject(parent)
{
    // By name: the host's application class is not known here. Without the
    // signals Qt says so on its debug stream and the path found at start stays.
    if (QCoreApplication* application = QCoreApplication::instance()) {
        connect(application, SIGNAL(AddUsbDisk(int)), this, SLOT(AddUsbDisk(int)));
        connect(application, SIGNAL(RemoveUsbDisk(int)), this, SLOT(RemoveUsbDisk(int)));
    }
}

void DiskFollower::message(int val)
{
    if (val == XINFO_MSG_CLICKED)
        clicked = true;
}

bool DiskFollower::takeClick()
{
    const bool was = clicked;
    clicked = false;
    return was;
}

int DiskFollower::step(int& state, bool available, const DiskActionIcons& icons, QString& icon,
                       const std::function<ActionOutcome()>& start, const std::function<ActionOutcome()>& resume)
{
    if (!available) {
        state = STATE_NO_DISK;
        icon = vantel_iconPath(ICON_NULL);
        return HARDWARE_OFF;
    }
    if (state == STATE_NEW || state == STATE_NO_DISK) {
        clicked = false; // a click while the provider could not act is dropped
        state = STATE_READY;
    }
    switch (state) {
    case STATE_READY:
        if (takeClick()) {
            state = STATE_REQUESTED;
            icon = vantel_iconPath(icons.working);
        } else {
            icon = vantel_iconPath(icons.ready);
        }
        break;
    case STATE_REQUESTED:
        clicked = false;
        // Working while the action runs: a query it lets in meanwhile does not start it again.
        state = STATE_WORKING;
        settle(start(), state, icons, icon);
        break;
    case STATE_WORKING:
        clicked = false;
        settle(resume(), state, icons, icon);
        break;
    case STATE_DONE:
        clicked = false; // the outcome stays on show for this query
        state = STATE_READY;
        break;
    default:
        break;
    }
    return XINFORET_OK;
}

void DiskFollower::settle(ActionOutcome outcome, int& state, const DiskActionIcons& icons, QString& icon)
{
    clicked = false;
    if (outcome == ActionOutcome::Pending) {
        state = STATE_WORKING;
        icon = vantel_iconPath(icons.working);
    } else {
        state = STATE_DONE;
        icon = vantel_iconPath(outcome == ActionOutcome::Succeeded ? icons.succeeded : icons.failed);
    }
}
