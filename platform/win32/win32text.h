// Text between the platform interfaces (UTF-8) and the Windows calls (UTF-16).
#ifndef VANTEL_PLATFORM_WIN32TEXT_H
#define VANTEL_PLATFORM_WIN32TEXT_H

#include <string>

namespace vantel::platform {

// Invalid UTF-8 sequences become U+FFFD, so a bad byte never loses the rest.
std::wstring toWide(const std::string& utf8);
// An unpaired surrogate becomes U+FFFD.
std::string toUtf8(const std::wstring& utf16);

} // namespace vantel::platform

#endif
