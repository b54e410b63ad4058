// Volumes as Windows enumerates them (FindFirstVolumeW, the hot-plug query of
// each volume's device, its mount paths and drive type) and the drive letters
// Windows itself hands out (GetLogicalDrives).
//
// Subscribers hear of a change when the system broadcasts a volume's arrival
// or removal: the first subscriber's thread gets a hidden window for it
// (Win32DeviceChanges), so that thread must run a message loop, as a Qt GUI
// thread does. A host may instead handle WM_DEVICECHANGE itself (README).
#ifndef VANTEL_PLATFORM_WIN32VOLUMES_H
#define VANTEL_PLATFORM_WIN32VOLUMES_H

#include <memory>

#include "volumes.h"

namespace vantel::platform {

class Win32DeviceChanges;

class Win32Volumes : public Volumes
{
public:
    Win32Volumes();
    ~Win32Volumes() override;

    // A volume whose device cannot be opened or does not answer the hot-plug
    // query is not hot-pluggable; one without a mount path has no drive type
    // (DRIVE_NO_ROOT_DIR).
    std::vector<Volume> volumes() override;
    unsigned driveType(const std::string& rootPath) override;

    // The letters of hot-pluggable volumes, from GetLogicalDrives.
    std::vector<Drive> drives() override;
    // "X:\" for letters A: to Z:, present or not: on Windows the drive mask
    // names the root by itself.
    std::string driveRoot(int index) override;

protected:
    void follow(bool on) override;

private:
    std::unique_ptr<Win32DeviceChanges> changes;
};

} // namespace vantel::platform

#endif
