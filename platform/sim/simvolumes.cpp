#include "simvolumes.h"

#include <algorithm>
#include <filesystem>
#include <random>

namespace vantel::platform {

namespace {

const char* const systemRoot = "/";

// A new folder of our own under the temporary folder (mkdtemp is not on Windows).
std::string makeBaseDir()
{
    std::error_code error;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    std::random_device random;
    for (int attempt = 0; attempt < 100 && !error; ++attempt) {
        const std::filesystem::path dir = temp / ("vantel-sim-" + std::to_string(random()));
        if (std::filesystem::create_directory(dir, error))
            return dir.string();
    }
    return std::string();
}

} // namespace

SimVolumes::SimVolumes() = default;

SimVolumes::~SimVolumes()
{
    if (!baseDir.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(baseDir, ignored);
    }
}

std::vector<Volume> SimVolumes::volumes()
{
    std::vector<Volume> all{Volume{"/dev/sim-system", false, {systemRoot}, DRIVE_FIXED}};
    for (const Disk& disk : disks)
        all.push_back(Volume{"/dev/sim-" + disk.label, true, {disk.root},
                             disk.removableMedia ? DRIVE_REMOVABLE : DRIVE_FIXED});
    return all;
}

unsigned SimVolumes::driveType(const std::string& rootPath)
{
    if (rootPath == systemRoot)
        return DRIVE_FIXED;
    for (const Disk& disk : disks) {
        if (disk.root == rootPath)
            return disk.removableMedia ? DRIVE_REMOVABLE : DRIVE_FIXED;
    }
    return DRIVE_NO_ROOT_DIR;
}

std::string SimVolumes::plug(const std::string& label, bool removableMedia)
{
    auto known = std::find_if(disks.begin(), disks.end(),
                              [&](const Disk& disk) { return disk.label == label; });
    if (known != disks.end())
        return known->root;
    if (label.empty() || label.find_first_of("/\\:") != std::string::npos || label == "." || label == "..")
        return std::string();
    if (baseDir.empty()) {
        baseDir = makeBaseDir();
        if (baseDir.empty())
            return std::string();
    }
    std::string root = baseDir + "/" + label;
    std::error_code error;
    std::filesystem::create_directory(root, error);
    if (error)
        return std::string();
    root += "/";
    disks.push_back(Disk{label, root, removableMedia});
    notify();
    return root;
}

bool SimVolumes::pull(const std::string& label)
{
    auto disk = std::find_if(disks.begin(), disks.end(),
                             [&](const Disk& d) { return d.label == label; });
    if (disk == disks.end())
        return false;
    std::error_code ignored;
    std::filesystem::remove_all(disk->root, ignored);
    disks.erase(disk);
    notify();
    return true;
}

} // namespace vantel::platform
