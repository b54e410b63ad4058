#include "vantelvolumewatcher.h"

#include <algorithm>

#include "platform.h"

using vantel::platform::Drive;

struct VantelVolumeWatcher::Private {
    std::shared_ptr<vantel::platform::Backend> backend;
    std::vector<Drive> known;
    int subscription = 0;
};

namespace {

bool contains(const std::vector<Drive>& drives, const Drive& drive)
{
    return std::any_of(drives.begin(), drives.end(), [&](const Drive& d) {
        return d.index == drive.index && d.volume == drive.volume && d.root == drive.root;
    });
}

} // namespace

VantelVolumeWatcher::VantelVolumeWatcher(QObject* parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    d->backend = vantel::platform::currentBackend();
    d->known = d->backend->volumes().drives();
    d->subscription = d->backend->volumes().subscribe([this] { refresh(); });
}

VantelVolumeWatcher::~VantelVolumeWatcher()
{
    d->backend->volumes().unsubscribe(d->subscription);
}

QString VantelVolumeWatcher::driveRoot(int idVolume) const
{
    for (int index = 0; index < 32; ++index) {
        if (quint32(idVolume) == quint32(1) << index)
            return QString::fromStdString(d->backend->volumes().driveRoot(index));
    }
    return QString();
}

QStringList VantelVolumeWatcher::driveRoots() const
{
    QStringList roots;
    for (const Drive& drive : d->known)
        roots << QString::fromStdString(drive.root);
    return roots;
}

void VantelVolumeWatcher::refresh()
{
    std::vector<Drive> now = d->backend->volumes().drives();
    std::vector<Drive> before;
    before.swap(d->known);
    d->known = now;
    // Departures first, so that a letter handed on is never told twice in a row as arrived.
    for (const Drive& drive : before) {
        if (!contains(now, drive))
            emit RemoveUsbDisk(1 << drive.index);
    }
    for (const Drive& drive : now) {
        if (!contains(before, drive))
            emit AddUsbDisk(1 << drive.index);
    }
}
