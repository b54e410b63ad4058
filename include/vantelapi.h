// Vantel's entry points. A host calls them from its GUI thread, in this order:
// VANTEL_OpenLib, VANTEL_InitLib, VANTEL_SetProgramData, VANTEL_getProgramInfo,
// VANTEL_indicatorAdd, any number of VANTEL_setIndicatorsStatus, VANTEL_CloseLib.
// The functions have C linkage, so a host may also resolve them at run time
// (QLibrary::resolve, dlsym) by these names.
#ifndef VANTELAPI_H
#define VANTELAPI_H

#include <QString>
#include <QVector>

#include "vantel_export.h"
#include "xinfodata.h"

class XBarTitle;
class XInfo;

// The host's program data. The library reads these three fields, in this order.
struct structVANTEL_PROGRAMDATA {
    QString pathImages;     // directory of the indicator icons
    QString pathImagesAlt;  // second icon directory
    QString pathIni;        // full path of the system settings file
};

// Entry-point results.
enum {
    VANTEL_RET_OK = 0,
    VANTEL_RET_BADARG = 2,
    VANTEL_RET_FAIL = 5
};

extern "C" {

// Opens the debug log and writes the version banner (once per open log).
VANTEL_EXPORT int VANTEL_OpenLib();
// Creates and starts the polling thread, which polls nothing until indicators are attached.
VANTEL_EXPORT int VANTEL_InitLib();
// Writes 1, 2, 7, 3130 and 0; 2 and nothing written when any pointer is null.
VANTEL_EXPORT int VANTEL_GetLibVer(unsigned long* major, unsigned long* minor, unsigned long* release,
                                   unsigned long* build, unsigned long* extra);
// Stops the polling thread (returns within one polling cycle) and releases the
// log, the thread, the settings and the indicators.
VANTEL_EXPORT int VANTEL_CloseLib();

// Builds the icon catalogue from data->pathImages, loads the settings file
// data->pathIni (creating it with defaults when missing) and finds the capture
// volume. 2 for a null pointer, 5 when the settings cannot be loaded. The
// library keeps the pointer: `data` must outlive it.
VANTEL_EXPORT int VANTEL_SetProgramData(structVANTEL_PROGRAMDATA* data);
// (Re)creates the fourteen indicators, index = indicator type, each queried
// once. The library owns them; the host must not delete them.
VANTEL_EXPORT int VANTEL_getProgramInfo(QVector<XInfo*>& out);
// Puts every indicator's button on `bar` at positions start + 1 ... start + 14,
// connects the enabled ones to the polling thread and starts polling; `next`
// receives the last position used. 2 for a null bar.
VANTEL_EXPORT int VANTEL_indicatorAdd(XBarTitle* bar, int start, int& next);
// INDICATORS_SLEEP hides and disconnects every indicator; INDICATORS_RUN shows
// them again (reconnect with VANTEL_indicatorAdd). The value becomes the
// polling thread's state.
VANTEL_EXPORT int VANTEL_setIndicatorsStatus(int status);

typedef int (*VANTEL_OpenLib_t)();
typedef int (*VANTEL_InitLib_t)();
typedef int (*VANTEL_GetLibVer_t)(unsigned long*, unsigned long*, unsigned long*, unsigned long*,
                                  unsigned long*);
typedef int (*VANTEL_CloseLib_t)();
typedef int (*VANTEL_SetProgramData_t)(structVANTEL_PROGRAMDATA*);
typedef int (*VANTEL_getProgramInfo_t)(QVector<XInfo*>&);
typedef int (*VANTEL_indicatorAdd_t)(XBarTitle*, int, int&);
typedef int (*VANTEL_setIndicatorsStatus_t)(int);

}

#endif
