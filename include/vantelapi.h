#ifndef VANTELAPI_H
#define VANTELAPI_H

/// @file
/// Vantel's entry points. A host calls them from its GUI thread (the thread
/// that made the QApplication), in this order: VANTEL_OpenLib, VANTEL_InitLib,
/// VANTEL_SetProgramData, VANTEL_getProgramInfo, VANTEL_indicatorAdd, any
/// number of VANTEL_setIndicatorsStatus, VANTEL_CloseLib. None of them waits
/// for a device: a machine without a battery, network, backlight or display
/// still opens the library, and the indicators of what is missing stay hidden.
/// The functions have C linkage, so a host may also resolve them at run time
/// (QLibrary::resolve, dlsym) by these names; the `_t` typedefs are their types.

#include <QString>
#include <QVector>

#include "vantel_export.h"
#include "xinfodata.h"

class XBarTitle;
class XInfo;

/// The host's program data. The library reads these three fields, in this
/// order, and keeps the pointer: the structure must outlive the library.
struct structVANTEL_PROGRAMDATA {
    QString pathImages;    ///< directory of the indicator icons
    QString pathImagesAlt; ///< second icon directory
    QString pathIni;       ///< full path of the system settings file
};

/// Entry-point results.
enum {
    VANTEL_RET_OK = 0,     ///< done
    VANTEL_RET_BADARG = 2, ///< a null pointer where one is needed
    VANTEL_RET_FAIL = 5    ///< the thread did not start, or the settings could not be loaded
};

extern "C" {

/// Opens the debug log and writes the version banner (once per open log).
/// Always VANTEL_RET_OK: a log that cannot be written is skipped. GUI thread.
VANTEL_EXPORT int VANTEL_OpenLib();
/// Creates and starts the polling thread, which polls nothing until
/// indicators are attached. VANTEL_RET_FAIL when the thread did not start.
/// GUI thread.
VANTEL_EXPORT int VANTEL_InitLib();
/// Writes 1, 2, 7, 3130 and 0; VANTEL_RET_BADARG and nothing written when any
/// pointer is null. Any thread, even before VANTEL_OpenLib.
VANTEL_EXPORT int VANTEL_GetLibVer(unsigned long* major, unsigned long* minor, unsigned long* release,
                                   unsigned long* build, unsigned long* extra);
/// Stops the polling thread (returns within one polling cycle) and releases the
/// log, the thread, the settings and the indicators (deleted later, by the
/// event loop: send the posted DeferredDelete events when it has ended).
/// Call it before the bar is destroyed. Always VANTEL_RET_OK. GUI thread.
VANTEL_EXPORT int VANTEL_CloseLib();

/// Builds the icon catalogue from data->pathImages, loads the settings file
/// data->pathIni (creating it with defaults when missing) and finds the capture
/// volume (none when no removable disk is there). VANTEL_RET_BADARG for a null
/// pointer, VANTEL_RET_FAIL when the settings cannot be loaded. The library
/// keeps the pointer: `data` must outlive it. GUI thread.
VANTEL_EXPORT int VANTEL_SetProgramData(structVANTEL_PROGRAMDATA* data);
/// (Re)creates the fourteen indicators, index = indicator type, each queried
/// once (without showing). The library owns them; the host must not delete
/// them. An indicator whose device is missing is made all the same and stays
/// hidden. Always VANTEL_RET_OK. GUI thread.
VANTEL_EXPORT int VANTEL_getProgramInfo(QVector<XInfo*>& out);
/// Puts every indicator's button on `bar` at positions start + 1 ... start + 14,
/// connects the enabled ones to the polling thread and starts polling; `next`
/// receives the last position used. VANTEL_RET_BADARG for a null bar. GUI thread.
VANTEL_EXPORT int VANTEL_indicatorAdd(XBarTitle* bar, int start, int& next);
/// INDICATORS_SLEEP hides and disconnects every indicator; INDICATORS_RUN shows
/// them again (reconnect with VANTEL_indicatorAdd). The value becomes the
/// polling thread's state. Always VANTEL_RET_OK. GUI thread.
VANTEL_EXPORT int VANTEL_setIndicatorsStatus(int status);

/// The type of VANTEL_OpenLib, for QLibrary::resolve or dlsym.
typedef int (*VANTEL_OpenLib_t)();
/// The type of VANTEL_InitLib.
typedef int (*VANTEL_InitLib_t)();
/// The type of VANTEL_GetLibVer.
typedef int (*VANTEL_GetLibVer_t)(unsigned long*, unsigned long*, unsigned long*, unsigned long*,
                                  unsigned long*);
/// The type of VANTEL_CloseLib.
typedef int (*VANTEL_CloseLib_t)();
/// The type of VANTEL_SetProgramData.
typedef int (*VANTEL_SetProgramData_t)(structVANTEL_PROGRAMDATA*);
/// The type of VANTEL_getProgramInfo.
typedef int (*VANTEL_getProgramInfo_t)(QVector<XInfo*>&);
/// The type of VANTEL_indicatorAdd.
typedef int (*VANTEL_indicatorAdd_t)(XBarTitle*, int, int&);
/// The type of VANTEL_setIndicatorsStatus.
typedef int (*VANTEL_setIndicatorsStatus_t)(int);

}

#endif
