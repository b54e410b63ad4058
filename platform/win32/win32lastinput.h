// Last input and tick count: GetLastInputInfo and GetTickCount themselves.
#ifndef VANTEL_PLATFORM_WIN32LASTINPUT_H
#define VANTEL_PLATFORM_WIN32LASTINPUT_H

#include "lastinput.h"

namespace vantel::platform {

class Win32LastInput : public LastInput
{
public:
    bool getLastInputInfo(std::uint32_t& tickOfLastInput) override;
    std::uint32_t getTickCount() override;
};

} // namespace vantel::platform

#endif
