#include "win32text.h"

#include <climits>

#include <windows.h>

namespace vantel::platform {

std::wstring toWide(const std::string& utf8)
{
    if (utf8.empty() || utf8.size() > INT_MAX)
        return std::wstring();
    const int size = int(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(std::size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string toUtf8(const std::wstring& utf16)
{
    if (utf16.empty() || utf16.size() > INT_MAX)
        return std::string();
    const int size = int(utf16.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string narrow(std::size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

} // namespace vantel::platform
