#include "library/pollscope.h"

#include "platform.h"

namespace {

unsigned current = 0; // the round of the query running now, 0 for none
unsigned heldRound = 0;
bool heldAnswer = false;
vantel::platform::SystemPowerStatus heldStatus;

} // namespace

PollScope::PollScope(unsigned round)
    : outer(current)
{
    current = round;
}

PollScope::~PollScope()
{
    current = outer;
}

bool PollScope::powerStatus(vantel::platform::SystemPowerStatus& status)
{
    if (current == 0 || current != heldRound) {
        heldAnswer = vantel::platform::powerStatus().getSystemPowerStatus(heldStatus);
        heldRound = current;
    }
    if (heldAnswer)
        status = heldStatus;
    return heldAnswer;
}
