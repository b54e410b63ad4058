// Volume service: the mounted volumes with their hot-plug flag, mount paths
// and drive types (FindFirstVolumeW and friends on Windows), the drive map
// that gives removable volumes their letters, and change notification.
#ifndef VANTEL_PLATFORM_VOLUMES_H
#define VANTEL_PLATFORM_VOLUMES_H

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vantel::platform {

// GetDriveTypeW results.
enum : unsigned {
    DRIVE_UNKNOWN = 0,
    DRIVE_NO_ROOT_DIR = 1,
    DRIVE_REMOVABLE = 2,
    DRIVE_FIXED = 3,
    DRIVE_REMOTE = 4,
    DRIVE_CDROM = 5,
    DRIVE_RAMDISK = 6
};

struct Volume {
    // The device that holds it: "/dev/sdb1" on Linux, the volume's GUID path
    // without its final backslash on Windows.
    std::string name;
    bool hotplug = false;                // its disk can be plugged in and pulled out
    std::vector<std::string> mountPaths; // each ends with a separator; may be empty
    // driveType() of the first mount path, found with the same look at the
    // volumes, so that a search through them reads the mount table once.
    unsigned driveType = DRIVE_NO_ROOT_DIR;
};

// A letter of the drive map: index 0 is A:, 3 is D:.
struct Drive {
    int index = 0;
    std::string volume;
    std::string root;
};

class DriveMap;

class Volumes
{
public:
    Volumes();
    virtual ~Volumes();

    // Every mounted volume, in enumeration order (the order of arrival).
    virtual std::vector<Volume> volumes() = 0;

    // The drive type of a volume root such as "/media/tech/STICK/";
    // DRIVE_NO_ROOT_DIR when no volume is mounted exactly there.
    virtual unsigned driveType(const std::string& rootPath) = 0;

    // The drive map as it stands after a fresh look at the volumes. Each
    // hot-pluggable volume keeps the letter it got on arrival, the lowest
    // free one from D: on, until it leaves. Windows has its own letters.
    virtual std::vector<Drive> drives();

    // The root of drive `index` (0 = A:); for a letter whose volume has left,
    // the root it had, so that a departure can still be named; empty for a
    // letter never handed out.
    virtual std::string driveRoot(int index);

    // Calls `changed`, in the subscribing thread, after the mounted volumes
    // may have changed: a native backend from that thread's event loop
    // within about a second, the simulated tablet at once. Returns a handle
    // for unsubscribe().
    int subscribe(std::function<void()> changed);
    void unsubscribe(int handle);

protected:
    // Calls every subscriber; one may unsubscribe from its own call.
    void notify();
    // The first subscriber came (true) or the last one left (false): a
    // backend starts or stops following the volumes.
    virtual void follow(bool on);

private:
    std::unique_ptr<DriveMap> driveMap;
    std::map<int, std::function<void()>> subscribers;
    int nextHandle = 1;
};

} // namespace vantel::platform

#endif
