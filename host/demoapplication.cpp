#include "demoapplication.h"

#include "vantelvolumewatcher.h"

DemoApplication::DemoApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

// The watcher goes while the application is still whole: its platform
// notifiers need the event dispatcher.
DemoApplication::~DemoApplication()
{
    delete watcher;
}

QString DemoApplication::driveRoot(int idVolume) const
{
    return watcher ? watcher->driveRoot(idVolume) : QString();
}

QStringList DemoApplication::driveRoots() const
{
    return watcher ? watcher->driveRoots() : QStringList();
}

void DemoApplication::watchVolumes()
{
    if (watcher)
        return;
    watcher = new VantelVolumeWatcher();
    connect(watcher, &VantelVolumeWatcher::AddUsbDisk, this, &DemoApplication::AddUsbDisk);
    connect(watcher, &VantelVolumeWatcher::RemoveUsbDisk, this, &DemoApplication::RemoveUsbDisk);
}
