// One poll's view of what several indicators ask for: within a poll the
// battery and the brightness both want the power status, and the supplies
// are read once for both. A query outside a poll asks anew. GUI thread only,
// where the indicators live.
#ifndef POLLSCOPE_H
#define POLLSCOPE_H

#include "powerstatus.h"

class PollScope
{
public:
    // `round`: the poll the query belongs to (VantelThread::round()); 0 for
    // a query that no poll brought.
    explicit PollScope(unsigned round);
    ~PollScope();
    PollScope(const PollScope&) = delete;
    PollScope& operator=(const PollScope&) = delete;

    // The backend's power status; within one round, its first answer.
    static bool powerStatus(vantel::platform::SystemPowerStatus& status);

private:
    unsigned outer;
};

#endif
