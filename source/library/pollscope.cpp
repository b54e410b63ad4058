#include "library/pollscope.h"

#include "library/librarycontext.h"
#include "platform.h"

namespace {

// The round of the query running now, 0 for none. A scope lasts one query,
// within one call of a host or one poll, so it needs no context.
unsigned current = 0;

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
    if (LibraryContext* context = LibraryContext::current())
        return context->powerStatus(current, status);
    return vantel::platform::powerStatus().getSystemPowerStatus(status);
}
