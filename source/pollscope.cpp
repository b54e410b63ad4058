#include "pollscope.h"

#include "platform.h"

namespace {

int depth = 0;
bool held = false;
bool heldAnswer = false;
vantel::platform::SystemPowerStatus heldStatus;

} // namespace

PollScope::PollScope()
{
    ++depth;
}

PollScope::~PollScope()
{
    if (--depth == 0)
        held = false;
}

bool PollScope::powerStatus(vantel::platform::SystemPowerStatus& status)
{
    if (!held) {
        heldAnswer = vantel::platform::powerStatus().getSystemPowerStatus(heldStatus);
        held = depth > 0;
    }
    if (heldAnswer)
        status = heldStatus;
    return heldAnswer;
}
