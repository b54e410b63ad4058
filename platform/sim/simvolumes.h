// The simulated tablet's volumes: a fixed system volume at "/" and the disks
// a test or scenario plugs in, each with a fresh folder under the tablet's
// temporary folder as its root. Subscribers hear of a change at once.
#ifndef VANTEL_PLATFORM_SIMVOLUMES_H
#define VANTEL_PLATFORM_SIMVOLUMES_H


#include "volumes.h"

namespace vantel::platform {

class SimVolumes : public Volumes
{
public:
    SimVolumes();
    ~SimVolumes() override;

    std::vector<Volume> volumes() override;
    unsigned driveType(const std::string& rootPath) override;

    // The root of the new volume (ending with "/"), or of the one already
    // plugged under that label; empty when its folder cannot be made.
    std::string plug(const std::string& label, bool removableMedia);
    // Removes the volume and its folder; false when no volume has that label.
    bool pull(const std::string& label);

private:
    struct Disk {
        std::string label;
        std::string root;
        bool removableMedia;
    };

    std::string baseDir;
    std::vector<Disk> disks;
};

} // namespace vantel::platform

#endif
