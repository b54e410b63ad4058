// One poll's view of what several indicators ask for: within a poll the
// battery and the brightness both want the power status, and the supplies
// are read once for both. Outside a poll every question is asked anew.
// GUI thread only, where the indicators live.
#ifndef POLLSCOPE_H
#define POLLSCOPE_H

#include "powerstatus.h"

class PollScope
{
public:
    PollScope();
    ~PollScope();
    PollScope(const PollScope&) = delete;
    PollScope& operator=(const PollScope&) = delete;

    // The backend's power status; inside a poll, its first answer.
    static bool powerStatus(vantel::platform::SystemPowerStatus& status);
};

#endif
