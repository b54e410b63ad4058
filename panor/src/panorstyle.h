// The look shared by the bar and its controls: a dark palette that controls
// inherit once they sit in the bar, and the few colours a palette lacks.
#ifndef PANOR_PANORSTYLE_H
#define PANOR_PANORSTYLE_H

#include <QColor>
#include <QPalette>

QPalette panor_barPalette();

// Flags a control in the alert status, whatever the palette.
QColor panor_alertColor();

// A tint of the palette's text colour, for hover, press and borders: it
// lightens a dark bar and darkens a light one.
QColor panor_tint(const QPalette& palette, int alpha);

#endif
