// Trace lines go to the debug log only while it is open; the line is not even
// built when it is closed, so a closed log costs one pointer test.
#ifndef VANTELTRACE_H
#define VANTELTRACE_H

#include "library/tracelwrapper.h"
#include "library/vantelglobals.h"

// Level masks of the debug log.
enum {
    TRC_MASK_CRITICAL = 256,
    TRC_MASK_WARNING = 512,
    TRC_MASK_DEBUG = 1024,
    TRC_MASK_NORMAL = 4096
};

#define VANTEL_TRACE(mask, text)                              \
    do {                                                      \
        if (vantel_log && vantel_log->trc_isOpen())           \
            vantel_log->trc_print((mask), (text), true);      \
    } while (0)

#endif
