#include "drivemap.h"

#include <algorithm>

namespace vantel::platform {

namespace {

bool sameVolume(const Drive& drive, const Volume& volume)
{
    return drive.volume == volume.name && drive.root == volume.mountPaths.front();
}

bool mapped(const Volume& volume)
{
    return volume.hotplug && !volume.mountPaths.empty();
}

void forget(std::vector<Drive>& list, int index)
{
    list.erase(std::remove_if(list.begin(), list.end(), [&](const Drive& d) { return d.index == index; }),
               list.end());
}

const Drive* find(const std::vector<Drive>& list, int index)
{
    for (const Drive& drive : list) {
        if (drive.index == index)
            return &drive;
    }
    return nullptr;
}

} // namespace

const std::vector<Drive>& DriveMap::update(const std::vector<Volume>& volumes)
{
    // A volume remounted elsewhere counts as one that left and one that arrived.
    auto gone = std::stable_partition(drives.begin(), drives.end(), [&](const Drive& drive) {
        return std::any_of(volumes.begin(), volumes.end(), [&](const Volume& volume) {
            return mapped(volume) && sameVolume(drive, volume);
        });
    });
    for (auto drive = gone; drive != drives.end(); ++drive) {
        forget(departed, drive->index);
        departed.push_back(*drive);
    }
    drives.erase(gone, drives.end());

    for (const Volume& volume : volumes) {
        if (!mapped(volume))
            continue;
        if (std::any_of(drives.begin(), drives.end(),
                        [&](const Drive& drive) { return sameVolume(drive, volume); }))
            continue;
        int letter = FIRST_LETTER;
        for (const Drive& drive : drives) { // sorted by letter
            if (drive.index != letter)
                break;
            ++letter;
        }
        if (letter > LAST_LETTER)
            continue;
        forget(departed, letter);
        Drive added{letter, volume.name, volume.mountPaths.front()};
        drives.insert(std::lower_bound(drives.begin(), drives.end(), added,
                                       [](const Drive& a, const Drive& b) { return a.index < b.index; }),
                      added);
    }
    return drives;
}

std::string DriveMap::root(int index) const
{
    const Drive* drive = find(drives, index);
    if (!drive)
        drive = find(departed, index);
    return drive ? drive->root : std::string();
}

} // namespace vantel::platform
