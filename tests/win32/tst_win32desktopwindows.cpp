// Guards the desktop windows on Windows: a top-level window found by its
// class, closed by the WM_CLOSE its own window procedure receives, nothing
// found or closed once it is gone; and the keyboard each version opens.
#include <gtest/gtest.h>

#include "win32backend.h"

#include <windows.h>

using namespace vantel::platform;

namespace {

int closeRequests = 0;

LRESULT CALLBACK keyboardWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        ++closeRequests;
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

TEST(Win32DesktopWindows, findsAndClosesByClass)
{
    // A real tablet's keyboard window is another program's; the message reaches it the same way.
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = keyboardWindow;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VantelTestKeyboard";
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    const HWND window = CreateWindowExW(0, L"VantelTestKeyboard", L"keyboard", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                        100, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);

    Win32DesktopWindows windows;
    EXPECT_EQ(windows.findWindow("VantelTestKeyboard"), reinterpret_cast<WindowHandle>(window));
    EXPECT_EQ(windows.findWindow("VantelNoSuchClass"), 0u);
    EXPECT_EQ(windows.findWindow(""), 0u);
    EXPECT_TRUE(windows.closeWindow(reinterpret_cast<WindowHandle>(window)));
    EXPECT_EQ(closeRequests, 1);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(windows.findWindow("VantelTestKeyboard"), 0u);
    EXPECT_FALSE(windows.closeWindow(reinterpret_cast<WindowHandle>(window)));
    EXPECT_FALSE(windows.closeWindow(0));
    EXPECT_EQ(closeRequests, 1);
}

TEST(Win32DesktopWindows, keyboardOfEachVersion)
{
    // A real tablet has these programs; the backend only names them.
    Win32Backend backend;
    const KeyboardProgram seven = backend.keyboardProgram(WV_WINDOWS7);
    EXPECT_EQ(seven.program, "C:\\Windows\\System32\\osk.exe");
    EXPECT_EQ(seven.windowClass, "OSKMainClass");
    EXPECT_EQ(seven.shell, "explorer.exe");
    EXPECT_EQ(backend.keyboardProgram(WV_VISTA).windowClass, "OSKMainClass");
    const KeyboardProgram ten = backend.keyboardProgram(WV_WINDOWS10);
    EXPECT_EQ(ten.program, "C:\\Program Files\\Common Files\\microsoft shared\\ink\\TabTip.exe");
    EXPECT_EQ(ten.windowClass, "IPTip_Main_Window");
    EXPECT_EQ(ten.shell, "explorer.exe");
    EXPECT_EQ(backend.keyboardProgram(WV_WINDOWS8).windowClass, "IPTip_Main_Window");
}
