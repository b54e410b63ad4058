/* Tracel: a debug-log library for programs that run for months.
 *
 * One log file per name, <dir>/<name>.log, where <dir> is TRACEL_LOG_DIR when
 * set, else $XDG_STATE_HOME/tracel (default ~/.local/state/tracel). Lines carry
 * the local time to the millisecond, the level mask, the thread and the text.
 * Files rotate by size; TRACEL_MASK filters levels. Every call is safe from
 * several threads and none of them throws or aborts: a log that cannot be
 * opened yields handle 0, and printing to handle 0 does nothing.
 */
#ifndef TRACEL_H
#define TRACEL_H

#include <stdint.h>
#ifndef __cplusplus
#include <uchar.h>
#endif

#include "tracel_export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A pointer-sized handle; 0 means no log. */
typedef uintptr_t TRACEL_HANDLE;

/* Opens (or creates) the log named by the zero-terminated UTF-16 string. */
TRACEL_EXPORT TRACEL_HANDLE TRACEL_OpenDebugLog(const char16_t* name);

/* Writes one line when mask passes the level filter. The format is a
 * zero-terminated UTF-16 printf-style string: %s takes a UTF-16 string
 * (const char16_t*), %d and %i an int, %u an unsigned int, %x an unsigned int
 * in hexadecimal, %% a percent sign. */
TRACEL_EXPORT void TRACEL_PrintDebugLog(TRACEL_HANDLE handle, int mask, const char16_t* format, ...);

/* Closes the handle; unknown handles and 0 are ignored. */
TRACEL_EXPORT void TRACEL_CloseDebugLog(TRACEL_HANDLE handle);

#ifdef __cplusplus
}
#endif

#endif
