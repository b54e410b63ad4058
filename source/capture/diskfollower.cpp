#include "capture/diskfollower.h"

#include <QCoreApplication>

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
