#include "panordata.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {

constexpr qreal kDesignDpi = 96.0;

PanorData instance;

} // namespace

PanorData* panor_guiData = &instance;

qreal PanorData::panord_getScale() const
{
    // Without an application there is no screen yet: design size.
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    if (!screen)
        return 1.0;
    // Quarter steps keep a screen that reports 100 or 101 DPI at the design
    // size, and round true high-DPI screens to the factors desktops use.
    const qreal steps = std::round(screen->logicalDotsPerInchY() / kDesignDpi * 4.0) / 4.0;
    return steps < 1.0 ? 1.0 : steps;
}

QSize PanorData::panord_getInterfaceSize(PANORD_INTERFACESIZE selector) const
{
    QSize design;
    switch (selector) {
    case PANORD_SIGNALBAR: design = QSize(96, 32); break;
    case PANORD_TITLEBAR: design = QSize(0, 34); break;
    case PANORD_TITLEFONT: design = QSize(0, 15); break;
    case PANORD_SPACING: design = QSize(4, 4); break;
    case PANORD_INDICATOR: design = QSize(30, 30); break;
    default: return QSize(0, 0);
    }
    const qreal scale = panord_getScale();
    return QSize(qRound(design.width() * scale), qRound(design.height() * scale));
}
