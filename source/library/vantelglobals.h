// Library-wide state that the host's interface names, each as it is named
// there. Written by the entry points in the host's GUI thread; the polling
// thread reads vantel_log only. The rest of the library's state is its
// context (librarycontext.h), which also knows these values at load.
#ifndef VANTELGLOBALS_H
#define VANTELGLOBALS_H

#include <QString>
#include <QVector>

#include "indicator/iconcatalogue.h"

class Tracel;
class VantelThread;
class XIniSystem;
class XInfo;
struct structVANTEL_PROGRAMDATA;

extern Tracel* vantel_log;
extern VantelThread* vantel_thread;
extern structVANTEL_PROGRAMDATA* vantel_programData;
extern XIniSystem* vantel_settings;
extern QVector<IconEntry> vantel_icons;
extern QString vantel_capturePath;
extern QVector<XInfo*> vantel_indicators;

// Set by every initial status query, cleared by the next poll: one flag for
// all indicators, so the first poll after set-up redraws each of them.
extern bool forceRefresh;

// The radio state the last Wi-Fi status query of any provider found; off
// when the library is loaded.
extern bool lastRadioOn;

// Set once a camera provider has found the camera application; from then on
// no provider looks for the file again.
extern bool vantel_cameraAppFound;

// Set by the first keyboard provider that finds the keyboard program; the
// file is not looked for again.
extern bool vantel_keyboardAppFound;

#endif
