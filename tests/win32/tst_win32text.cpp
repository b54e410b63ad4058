// Guards the conversion between the interfaces' UTF-8 and Windows' UTF-16:
// letters beyond the basic plane, and bad input turned into U+FFFD rather
// than dropped.
#include <gtest/gtest.h>

#include "win32text.h"

using namespace vantel::platform;

TEST(Win32Text, convertsBothWays)
{
    // A real tablet adds nothing: the conversion is the system's own on both.
    const struct {
        std::string utf8;
        std::wstring utf16;
    } pairs[] = {
        {"", L""},
        {"E:\\", L"E:\\"},
        {"Porco mondo si \xc3\xa8 scollegato ", L"Porco mondo si \u00e8 scollegato "},
        {"Wi-Fi \xf0\x9f\x93\xb6", L"Wi-Fi \U0001F4F6"},
    };
    for (const auto& pair : pairs) {
        EXPECT_EQ(toWide(pair.utf8), pair.utf16) << pair.utf8;
        EXPECT_EQ(toUtf8(pair.utf16), pair.utf8) << pair.utf8;
    }
    EXPECT_EQ(toWide("a\xff" "b"), L"a\uFFFDb");
    EXPECT_EQ(toUtf8(std::wstring(L"a") + wchar_t(0xd800) + L"b"), "a\xef\xbf\xbd" "b");
}
