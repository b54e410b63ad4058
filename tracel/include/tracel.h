/** @file
 * Tracel: a debug-log library for programs that run for months.
 *
 * One log file per name, `<dir>/<name>.log`, where `<dir>` is TRACEL_LOG_DIR when
 * set, else $XDG_STATE_HOME/tracel (default ~/.local/state/tracel); missing
 * directories are created (mode 0700, files 0600: logs may hold device and
 * network details). A line reads
 *
 *     2024-05-01 14:03:07.042 +0200 [1024] [4711] text
 *
 * local time to the millisecond with its UTC offset, the level mask, the
 * kernel thread id, and the text in UTF-8. Line breaks and other control
 * characters in the text are written as `\n`, `\r` or `\xNN`, so one call is always
 * one line. Every line reaches the kernel before the call returns: a crash of
 * the program loses no line (a power cut may lose what the disk has not yet
 * stored).
 *
 * Read from the environment when a log file is first opened:
 *   TRACEL_LOG_DIR    the directory, see above.
 *   TRACEL_MAX_SIZE   bytes one file may reach before it rotates; decimal or
 *                     0x hexadecimal; default 4194304 (4 MiB), minimum 4096.
 *   TRACEL_MAX_FILES  files kept per log, the current one included:
 *                     `<name>.log`, `<name>.log.1` (newest old one), ...; default 5,
 *                     at most 1000. A log thus never takes more than
 *                     TRACEL_MAX_SIZE * TRACEL_MAX_FILES bytes of disk.
 *   TRACEL_MASK       level filter; a line is written when its mask shares a
 *                     bit with it (so mask 0 is never written). Decimal or 0x
 *                     hexadecimal; default, and for any value that is not a
 *                     number, every level.
 * Unset, empty, 0 or unreadable size and count values take their defaults.
 *
 * Every call is safe from several threads: lines never interleave. Opening a
 * name that is already open in this process gives a new handle on the same
 * file, so one writer rotates it; the file is closed with its last handle.
 * A log file that is deleted or moved away is opened again within a second,
 * so two processes may share a log name; each then counts only its own bytes,
 * so a file may pass the size limit by what the other wrote, and a few lines
 * may land in the file just rotated.
 *
 * No call throws, aborts or reports an error: a log that cannot be opened
 * yields handle 0, printing to handle 0 or to a closed handle does nothing,
 * and a line that cannot be written (disk full, directory gone) is dropped;
 * the file is opened again at most once a second until that works.
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

/** A pointer-sized handle; 0 means no log. Handles are never reused. */
typedef uintptr_t TRACEL_HANDLE;

/** Opens (or creates) the log named by the zero-terminated UTF-16 string.
 * Gives 0 for a null or empty name, a name holding '/' or control
 * characters, "." and "..", and when the directory or file cannot be
 * created or written. */
TRACEL_EXPORT TRACEL_HANDLE TRACEL_OpenDebugLog(const char16_t* name);

/** Writes one line when mask passes the level filter. The format is a
 * zero-terminated UTF-16 printf-style string: %s takes a UTF-16 string
 * (const char16_t*, null prints "(null)"), %d and %i an int, %u an unsigned
 * int, %x an unsigned int in hexadecimal, %% a percent sign; any other %
 * sequence is written as it stands and takes no argument. A line longer than
 * the file size limit is cut short. */
TRACEL_EXPORT void TRACEL_PrintDebugLog(TRACEL_HANDLE handle, int mask, const char16_t* format, ...);

/** Closes the handle; unknown handles, closed handles and 0 are ignored. */
TRACEL_EXPORT void TRACEL_CloseDebugLog(TRACEL_HANDLE handle);

#ifdef __cplusplus
}
#endif

#endif
