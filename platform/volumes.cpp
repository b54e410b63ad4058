#include "volumes.h"

namespace vantel::platform {

std::string Volumes::driveRoot(int index)
{
    for (const Drive& drive : drives()) {
        if (drive.index == index)
            return drive.root;
    }
    return std::string();
}

} // namespace vantel::platform
