// State of an XIndicator: its picture source and the pixmap rendered from it.
#ifndef PANOR_XINDICATOR_P_H
#define PANOR_XINDICATOR_P_H

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

#include "xindicator.h"
#include "xperimeter.h"

class XIndicatorPrivate
{
public:
    // Renders `iconPath` for `dpr`; a null pixmap when unreadable.
    void render(qreal dpr);

    int style = XIndicator::XIND_STYLE_PANEL;
    xPerimeter perimeter;

    // Either a file (iconPath, with its rendering in `pixmap`) or an icon.
    QString iconPath;
    QIcon icon;
    QSize iconSize;
    QPixmap pixmap;
    QString reportedFailure;  // the path whose read failure was last reported
};

#endif
