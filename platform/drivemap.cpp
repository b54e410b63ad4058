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

} // namespace

const std::vector<Drive>& DriveMap::update(const std::vector<Volume>& volumes)
{
    // A volume remounted elsewhere counts as one that left and one that arrived.
    drives.erase(std::remove_if(drives.begin(), drives.end(), [&](const Drive& drive) {
        return std::none_of(volumes.begin(), volumes.end(), [&](const Volume& volume) {
            return mapped(volume) && sameVolume(drive, volume);
        });
    }), drives.end());

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
        Drive added{letter, volume.name, volume.mountPaths.front()};
        drives.insert(std::lower_bound(drives.begin(), drives.end(), added,
                                       [](const Drive& a, const Drive& b) { return a.index < b.index; }),
                      added);
    }
    return drives;
}

} // namespace vantel::platform
