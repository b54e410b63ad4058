// Debugger output through OutputDebugStringW: a debugger attached to the
// host, or a viewer of the system's debug stream, shows each text.
#ifndef VANTEL_PLATFORM_WIN32DEBUGOUTPUT_H
#define VANTEL_PLATFORM_WIN32DEBUGOUTPUT_H

#include "debugoutput.h"

namespace vantel::platform {

class Win32DebugOutput : public DebugOutput
{
public:
    void outputDebugString(const std::string& text) override;
};

} // namespace vantel::platform

#endif
