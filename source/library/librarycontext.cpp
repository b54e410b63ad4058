#include "library/librarycontext.h"

#include "library/vantelglobals.h"
#include "platform.h"

namespace {

LibraryContext* theContext = nullptr;

} // namespace

LibraryContext* LibraryContext::current()
{
    return theContext;
}

void LibraryContext::open()
{
    if (!theContext)
        theContext = new LibraryContext;
}

void LibraryContext::close()
{
    delete theContext;
    theContext = nullptr;
}

void LibraryContext::restoreLoadState()
{
    if (theContext)
        *theContext = LibraryContext();
    forceRefresh = false;
    lastRadioOn = false;
    vantel_cameraAppFound = false;
    vantel_keyboardAppFound = false;
    vantel_capturePath.clear();
}

bool LibraryContext::powerStatus(unsigned round, vantel::platform::SystemPowerStatus& status)
{
    if (round == 0 || round != heldRound) {
        heldAnswer = vantel::platform::powerStatus().getSystemPowerStatus(heldStatus);
        heldRound = round;
    }
    if (heldAnswer)
        status = heldStatus;
    return heldAnswer;
}
