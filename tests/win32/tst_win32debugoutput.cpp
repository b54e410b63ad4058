// Guards the debugger output: the text a debugger receives, converted from
// UTF-8. The test stands in for the debugger: OutputDebugStringW hands its
// text over by raising an exception, which a vectored handler catches.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

#include "win32debugoutput.h"

#include <windows.h>

using namespace vantel::platform;

namespace {

std::wstring wideSeen;
std::string narrowSeen;
bool wideRaised = false;

LONG CALLBACK debugger(EXCEPTION_POINTERS* exception)
{
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    if (record.ExceptionCode == DBG_PRINTEXCEPTION_WIDE_C && record.NumberParameters >= 2) {
        wideRaised = true;
        wideSeen = reinterpret_cast<const wchar_t*>(record.ExceptionInformation[1]);
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    if (record.ExceptionCode == DBG_PRINTEXCEPTION_C && record.NumberParameters >= 2) {
        narrowSeen = reinterpret_cast<const char*>(record.ExceptionInformation[1]);
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

std::string inCodePage(const std::wstring& text)
{
    char converted[256] = {};
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, converted, sizeof converted, nullptr, nullptr);
    return converted;
}

} // namespace

TEST(Win32DebugOutput, debuggerReceivesTheText)
{
    // A real Windows 10 tablet raises the UTF-16 form, compared here letter for letter; Wine 8 raises only the 8-bit one in the system code page.
    const struct {
        const char* utf8;
        const wchar_t* expected;
    } texts[] = {
        {"RefreshWiFiInterface failed\r\n", L"RefreshWiFiInterface failed\r\n"},
        {"XBrightness Err allocazione XBacklight", L"XBrightness Err allocazione XBacklight"},
        {"si \xc3\xa8 aggiunto", L"si \u00e8 aggiunto"},
        {"bad \xff byte", L"bad \uFFFD byte"},
        {"", L""},
    };
    PVOID handler = AddVectoredExceptionHandler(1, debugger);
    ASSERT_NE(handler, nullptr);
    Win32DebugOutput output;
    for (const auto& text : texts) {
        wideSeen = L"(none)";
        narrowSeen = "(none)";
        output.outputDebugString(text.utf8);
        if (wideRaised)
            EXPECT_EQ(wideSeen, text.expected) << text.utf8;
        else
            EXPECT_EQ(narrowSeen, inCodePage(text.expected)) << text.utf8;
    }
    RemoveVectoredExceptionHandler(handler);
}
