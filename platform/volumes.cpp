#include "volumes.h"

#include "drivemap.h"

namespace vantel::platform {

Volumes::Volumes() : driveMap(std::make_unique<DriveMap>()) {}

Volumes::~Volumes() = default;

std::vector<Drive> Volumes::drives()
{
    return driveMap->update(volumes());
}

std::string Volumes::driveRoot(int index)
{
    driveMap->update(volumes());
    return driveMap->root(index);
}

} // namespace vantel::platform
