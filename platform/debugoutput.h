// Debug output service: texts meant for a debugger or a system log rather
// than for the library's own debug log (OutputDebugStringW on Windows).
#ifndef VANTEL_PLATFORM_DEBUGOUTPUT_H
#define VANTEL_PLATFORM_DEBUGOUTPUT_H

#include <string>

namespace vantel::platform {

class DebugOutput
{
public:
    virtual ~DebugOutput() = default;

    // One message (UTF-8); never fails visibly.
    virtual void outputDebugString(const std::string& text) = 0;
};

} // namespace vantel::platform

#endif
