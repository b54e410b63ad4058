#include "win32desktopwindows.h"

#include "win32text.h"

#include <windows.h>

namespace vantel::platform {

WindowHandle Win32DesktopWindows::findWindow(const std::string& className)
{
    if (className.empty())
        return 0;
    return reinterpret_cast<WindowHandle>(FindWindowW(toWide(className).c_str(), nullptr));
}

bool Win32DesktopWindows::closeWindow(WindowHandle handle)
{
    const HWND window = reinterpret_cast<HWND>(handle);
    if (!handle || !IsWindow(window))
        return false;
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, timeLimitMs, &result) != 0;
}

std::unique_ptr<DesktopWindows> createNativeDesktopWindows()
{
    return std::make_unique<Win32DesktopWindows>();
}

} // namespace vantel::platform
