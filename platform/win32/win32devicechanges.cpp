#include "win32devicechanges.h"

#include <windows.h>
#include <dbt.h>

namespace vantel::platform {

namespace {

const wchar_t windowClass[] = L"VantelDeviceChanges";

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM event, LPARAM data)
{
    if (message != WM_DEVICECHANGE)
        return DefWindowProcW(window, message, event, data);
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    auto* changed = reinterpret_cast<std::function<void()>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if ((event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE) && header
        && header->dbch_devicetype == DBT_DEVTYP_VOLUME && changed)
        (*changed)();
    return TRUE;
}

// The module this code is in: the library's own, not the host's executable.
HINSTANCE thisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&windowProc), &module);
    return module;
}

} // namespace

Win32DeviceChanges::Win32DeviceChanges(std::function<void()> onChange) : changed(std::move(onChange))
{
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = windowProc;
    type.hInstance = thisModule();
    type.lpszClassName = windowClass;
    if (!RegisterClassExW(&type) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return;
    HWND made = CreateWindowExW(WS_EX_TOOLWINDOW, windowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                type.hInstance, nullptr);
    if (!made)
        return;
    SetWindowLongPtrW(made, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&changed));
    window = made;
}

Win32DeviceChanges::~Win32DeviceChanges()
{
    if (!window)
        return;
    DestroyWindow(static_cast<HWND>(window));
    // A class a library registered outlives the library unless unregistered;
    // this fails, harmlessly, while another backend's window still uses it.
    UnregisterClassW(windowClass, thisModule());
}

} // namespace vantel::platform
