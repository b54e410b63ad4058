// Drawing of an indicator: its panel by style, status and perimeter, then its
// picture and text laid out by tool-button style inside a small square.
#ifndef PANOR_INDICATORPAINTER_H
#define PANOR_INDICATORPAINTER_H

#include <QPixmap>

class XIndicator;
class xPerimeter;

// The inner margin of an indicator of height `side`.
int indicator_padding(int side);

// `picture` greyed out as the widget's style greys disabled icons.
QPixmap indicator_disabledPixmap(const XIndicator* indicator, const QPixmap& picture);

void indicator_paint(XIndicator* indicator, int style, const xPerimeter& perimeter,
                     const QPixmap& picture);

#endif
