// Debugger output on Linux: one line "vantel: <text>" on standard error,
// which a desktop session passes on to the system journal.
#ifndef VANTEL_PLATFORM_LINUXDEBUGOUTPUT_H
#define VANTEL_PLATFORM_LINUXDEBUGOUTPUT_H

#include "debugoutput.h"

namespace vantel::platform {

class LinuxDebugOutput : public DebugOutput
{
public:
    void outputDebugString(const std::string& text) override;
};

} // namespace vantel::platform

#endif
