// The library's own state between a host's calls, which no host sees: made
// by VANTEL_OpenLib and ended by VANTEL_CloseLib. What the host's interface
// names (vantelglobals.h) stays where it is named; this class is the rest,
// and the one place that knows what a freshly loaded library holds.
// GUI thread only, where the entry points and the indicators run.
#ifndef LIBRARYCONTEXT_H
#define LIBRARYCONTEXT_H

#include "powerstatus.h"

class LibraryContext
{
public:
    // The open library's context; null while none is open.
    static LibraryContext* current();
    // A second open keeps the context of the first.
    static void open();
    static void close();
    // Every library-wide value back to what it is when the library is
    // loaded, the named ones included; an open library's context starts
    // afresh. For a process that starts the library over many times, as a
    // test does. The objects the library owns (log, thread, settings,
    // indicators) are the entry points' to make and end.
    static void restoreLoadState();

    // Polls emitted since the open: the queries one poll brings share it.
    unsigned round() const { return rounds; }
    void nextRound() { ++rounds; }

    // The backend's power status; within one round, its first answer.
    // Round 0 is no poll: it asks anew.
    bool powerStatus(unsigned round, vantel::platform::SystemPowerStatus& status);

private:
    unsigned rounds = 0;
    unsigned heldRound = 0;
    bool heldAnswer = false;
    vantel::platform::SystemPowerStatus heldStatus;
};

#endif
