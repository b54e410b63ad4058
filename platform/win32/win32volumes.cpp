#include "win32volumes.h"

#include "win32devicechanges.h"
#include "win32text.h"

#include <cwchar>

#include <windows.h>
#include <winioctl.h>

namespace vantel::platform {

namespace {

// `device` is a volume's GUID path without its final backslash: with it, the
// path names the root folder rather than the volume.
bool hotplug(const std::wstring& device)
{
    HANDLE handle = CreateFileW(device.c_str(), 0, 0, nullptr, OPEN_EXISTING, FILE_FLAG_NO_BUFFERING, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    STORAGE_HOTPLUG_INFO info{};
    DWORD size = 0;
    const BOOL answered = DeviceIoControl(handle, IOCTL_STORAGE_GET_HOTPLUG_INFO, nullptr, 0, &info,
                                          sizeof info, &size, nullptr);
    CloseHandle(handle);
    return answered && info.DeviceHotplug;
}

std::vector<std::string> mountPaths(const std::wstring& volumeName)
{
    std::wstring buffer(MAX_PATH, L'\0');
    DWORD needed = 0;
    while (!GetVolumePathNamesForVolumeNameW(volumeName.c_str(), buffer.data(), DWORD(buffer.size()), &needed)) {
        if (GetLastError() != ERROR_MORE_DATA || needed <= buffer.size())
            return {};
        buffer.assign(needed, L'\0');
    }
    std::vector<std::string> paths;
    for (const wchar_t* path = buffer.c_str(); *path; path += wcslen(path) + 1)
        paths.push_back(toUtf8(path));
    return paths;
}

std::wstring withoutFinalBackslash(std::wstring name)
{
    if (!name.empty() && name.back() == L'\\')
        name.pop_back();
    return name;
}

std::string letterRoot(int index)
{
    return {char('A' + index), ':', '\\'};
}

} // namespace

Win32Volumes::Win32Volumes() = default;

Win32Volumes::~Win32Volumes() = default;

std::vector<Volume> Win32Volumes::volumes()
{
    std::vector<Volume> found;
    wchar_t name[MAX_PATH];
    HANDLE search = FindFirstVolumeW(name, MAX_PATH);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do {
        const std::wstring device = withoutFinalBackslash(name);
        Volume volume{toUtf8(device), hotplug(device), mountPaths(name), DRIVE_NO_ROOT_DIR};
        if (!volume.mountPaths.empty())
            volume.driveType = driveType(volume.mountPaths.front());
        found.push_back(std::move(volume));
    } while (FindNextVolumeW(search, name, MAX_PATH));
    FindVolumeClose(search);
    return found;
}

unsigned Win32Volumes::driveType(const std::string& rootPath)
{
    // An empty path would ask about the current folder's drive.
    return rootPath.empty() ? DRIVE_NO_ROOT_DIR : GetDriveTypeW(toWide(rootPath).c_str());
}

std::vector<Drive> Win32Volumes::drives()
{
    std::vector<Drive> map;
    const DWORD letters = GetLogicalDrives();
    for (int index = 0; index < 26; ++index) {
        if (!(letters & (DWORD(1) << index)))
            continue;
        const std::string root = letterRoot(index);
        wchar_t name[MAX_PATH];
        if (!GetVolumeNameForVolumeMountPointW(toWide(root).c_str(), name, MAX_PATH))
            continue; // a network drive or a substitute has no volume
        const std::wstring device = withoutFinalBackslash(name);
        if (hotplug(device))
            map.push_back(Drive{index, toUtf8(device), root});
    }
    return map;
}

std::string Win32Volumes::driveRoot(int index)
{
    return index >= 0 && index < 26 ? letterRoot(index) : std::string();
}

void Win32Volumes::follow(bool on)
{
    if (on)
        changes = std::make_unique<Win32DeviceChanges>([this] { notify(); });
    else
        changes.reset();
}

} // namespace vantel::platform
