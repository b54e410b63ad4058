// Guards the volumes as Windows enumerates them, the drive letters and the
// change notices subscribers get. VANTEL_TEST_REMOVABLE_DRIVE names a
// removable drive of the machine: scripts/test-windows.sh gives Wine one on
// a temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "win32volumes.h"

#include <windows.h>
#include <dbt.h>

using namespace vantel::platform;

namespace {

std::string removableDrive()
{
    const char* root = std::getenv("VANTEL_TEST_REMOVABLE_DRIVE");
    return root ? root : "";
}

const Volume* mountedAt(const std::vector<Volume>& volumes, const std::string& root)
{
    for (const Volume& volume : volumes) {
        if (std::find(volume.mountPaths.begin(), volume.mountPaths.end(), root) != volume.mountPaths.end())
            return &volume;
    }
    return nullptr;
}

// Sends WM_DEVICECHANGE to every top-level window from another thread, as the
// system does, while this thread runs its message loop until it is handled.
void broadcast(WPARAM event, DWORD deviceType)
{
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = deviceType;
    volume.dbcv_unitmask = 1 << 4;
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread system([&] {
        SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume),
                            SMTO_ABORTIFHUNG, 5000, nullptr);
        SetEvent(done);
    });
    while (MsgWaitForMultipleObjects(1, &done, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    system.join();
    CloseHandle(done);
}

} // namespace

TEST(Win32Volumes, enumeratesTheMountedVolumes)
{
    // A real tablet adds hot-plug answers: its USB stick is hot-pluggable and its letter is in the drive map. Wine 8 answers the hot-plug query with 50 (not supported): no volume is, and the map stays empty.
    const std::string removable = removableDrive();
    ASSERT_FALSE(removable.empty()) << "VANTEL_TEST_REMOVABLE_DRIVE must name a removable drive, as \"E:\\\"";
    Win32Volumes volumes;
    const std::vector<Volume> all = volumes.volumes();
    const Volume* stick = mountedAt(all, removable);
    ASSERT_NE(stick, nullptr);
    EXPECT_EQ(stick->driveType, unsigned(DRIVE_REMOVABLE));
    const Volume* system = mountedAt(all, "C:\\");
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->driveType, unsigned(DRIVE_FIXED));
    EXPECT_FALSE(system->hotplug);
    for (const Volume& volume : all) {
        EXPECT_EQ(volume.name.rfind("\\\\?\\Volume{", 0), 0u) << volume.name;
        EXPECT_EQ(volume.name.back(), '}') << volume.name;
        for (const std::string& path : volume.mountPaths)
            EXPECT_EQ(path.back(), '\\') << path;
    }

    // The drive map, read through GetLogicalDrives, agrees with the enumeration.
    std::vector<int> expected;
    for (const Volume& volume : all) {
        for (const std::string& path : volume.mountPaths) {
            if (volume.hotplug && path.size() == 3)
                expected.push_back(path[0] - 'A');
        }
    }
    std::sort(expected.begin(), expected.end());
    std::vector<int> letters;
    for (const Drive& drive : volumes.drives()) {
        letters.push_back(drive.index);
        EXPECT_EQ(drive.root, volumes.driveRoot(drive.index));
    }
    EXPECT_EQ(letters, expected);
}

TEST(Win32Volumes, driveTypesAndRoots)
{
    // A real tablet adds its own letters (a card reader's empty slot, a network drive) and answers 1 for a folder that is no root, where Wine 8 answers its drive's type.
    Win32Volumes volumes;
    const DWORD used = GetLogicalDrives();
    int free = 25;
    while (free > 3 && (used & (DWORD(1) << free)))
        --free;
    const std::string unused{char('A' + free), ':', '\\'};
    const struct {
        std::string root;
        unsigned type;
    } roots[] = {
        {removableDrive(), DRIVE_REMOVABLE},
        {"C:\\", DRIVE_FIXED},
        {unused, DRIVE_NO_ROOT_DIR},
        {"", DRIVE_NO_ROOT_DIR},
        {"\xff:\\", DRIVE_NO_ROOT_DIR},
    };
    for (const auto& root : roots)
        EXPECT_EQ(volumes.driveType(root.root), root.type) << root.root;

    EXPECT_EQ(volumes.driveRoot(0), "A:\\");
    EXPECT_EQ(volumes.driveRoot(4), "E:\\");
    EXPECT_EQ(volumes.driveRoot(25), "Z:\\");
    EXPECT_EQ(volumes.driveRoot(26), "");
    EXPECT_EQ(volumes.driveRoot(-1), "");
}

TEST(Win32Volumes, subscribersHearVolumeBroadcastsInTheirThread)
{
    // A real tablet broadcasts these itself when a stick goes in or out; Wine 8 sends none when its drives change.
    Win32Volumes volumes;
    int calls = 0;
    DWORD thread = 0;
    const int handle = volumes.subscribe([&] {
        ++calls;
        thread = GetCurrentThreadId();
    });
    ASSERT_NE(FindWindowW(L"VantelDeviceChanges", nullptr), nullptr);

    broadcast(DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(thread, GetCurrentThreadId());
    broadcast(DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT);
    broadcast(DBT_DEVICEQUERYREMOVE, DBT_DEVTYP_VOLUME);
    EXPECT_EQ(calls, 1);
    broadcast(DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME);
    EXPECT_EQ(calls, 2);

    volumes.unsubscribe(handle);
    EXPECT_EQ(FindWindowW(L"VantelDeviceChanges", nullptr), nullptr);
    broadcast(DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME);
    EXPECT_EQ(calls, 2);
}
