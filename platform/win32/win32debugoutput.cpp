#include "win32debugoutput.h"

#include "win32text.h"

#include <windows.h>

namespace vantel::platform {

void Win32DebugOutput::outputDebugString(const std::string& text)
{
    OutputDebugStringW(toWide(text).c_str());
}

} // namespace vantel::platform
