// The drive letters of hot-pluggable volumes. Linux has no drive letters, so
// the platform keeps a map as Windows does: a volume that arrives takes the
// lowest free letter from D: on and keeps it until it leaves.
#ifndef VANTEL_PLATFORM_DRIVEMAP_H
#define VANTEL_PLATFORM_DRIVEMAP_H

#include <vector>

#include "volumes.h"

namespace vantel::platform {

class DriveMap
{
public:
    enum { FIRST_LETTER = 3, LAST_LETTER = 25 }; // D: to Z:

    // Brings the map up to date with the mounted volumes and returns it,
    // ordered by letter. Volumes beyond Z: get no letter.
    const std::vector<Drive>& update(const std::vector<Volume>& volumes);

    // The root of a letter in the map, else the root it had when its volume
    // left, else empty.
    std::string root(int index) const;

private:
    std::vector<Drive> drives;
    std::vector<Drive> departed;
};

} // namespace vantel::platform

#endif
