#ifndef PANORDATA_H
#define PANORDATA_H

/// @file
/// PanorData, the title bar's interface sizes.

#include <QSize>

#include "panor_export.h"

/// Interface sizes of the title bar, in logical pixels. They are designed for a
/// 96-DPI screen and follow the primary screen's logical DPI in quarter steps
/// (never below the design size), so a high-DPI tablet gets full-size
/// indicators; on screens with a device pixel ratio the sizes stay logical and
/// the pictures are rendered at the ratio.
///
/// Thread: any; the scale follows the primary screen, read in the GUI thread
/// when it changes. Without a screen (or before a QGuiApplication) the sizes
/// are the design sizes.
class PANOR_EXPORT PanorData
{
public:
    /// The interface elements whose size panord_getInterfaceSize() tells.
    enum PANORD_INTERFACESIZE {
        PANORD_SIGNALBAR = 1, ///< a signal-strength bar picture (96 x 32)
        PANORD_TITLEBAR = 2,  ///< the height of the title bar (0 x 34: as wide as its window)
        PANORD_TITLEFONT = 3, ///< the pixel size of the title text (0 x 15)
        PANORD_SPACING = 4,   ///< gap between controls and bar margin (4 x 4)
        PANORD_INDICATOR = 12 ///< an indicator's cell (30 x 30); the button is 2 less
    };

    /// A null size (0 x 0) for a selector not in the enumeration.
    QSize panord_getInterfaceSize(PANORD_INTERFACESIZE selector) const;
    /// The factor the design sizes are multiplied by: 1, 1.25, 1.5, ...
    qreal panord_getScale() const;
};

/// Always valid: the library holds one instance from load to unload, usable
/// even before a QGuiApplication exists (then at the design size).
extern PANOR_EXPORT PanorData* panor_guiData;

#endif
