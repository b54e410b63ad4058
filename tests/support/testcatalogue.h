// The library's icon catalogue built against a test's icon folder, as
// VANTEL_SetProgramData builds it.
#ifndef TESTCATALOGUE_H
#define TESTCATALOGUE_H

#include <QString>

#include "indicator/iconcatalogue.h"
#include "library/vantelglobals.h"
#include "vantelapi.h"

inline bool installTestCatalogue(const QString& iconDir)
{
    structVANTEL_PROGRAMDATA data;
    data.pathImages = iconDir;
    return vantel_buildIcons(vantel_icons, data);
}

#endif
