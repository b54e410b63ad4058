// The simulated tablet's debugger output: kept, so a test can read it.
#ifndef VANTEL_PLATFORM_SIMDEBUGOUTPUT_H
#define VANTEL_PLATFORM_SIMDEBUGOUTPUT_H

#include <vector>

#include "debugoutput.h"

namespace vantel::platform {

class SimDebugOutput : public DebugOutput
{
public:
    void outputDebugString(const std::string& text) override { texts.push_back(text); }

    const std::vector<std::string>& lines() const { return texts; }

private:
    std::vector<std::string> texts;
};

} // namespace vantel::platform

#endif
