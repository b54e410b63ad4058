// Rasterises icon pictures at the exact pixel size a screen needs, so that
// SVG icons stay sharp at any scale and PNG icons are scaled down smoothly.
#ifndef PANOR_ICONLOADER_H
#define PANOR_ICONLOADER_H

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The picture of the file at `path`, fitted into `size` logical pixels with
// its aspect ratio kept, for a device pixel ratio of `dpr`. An SVG that cannot
// be drawn is replaced by the PNG of the same name beside it, when there is
// one. A null pixmap when nothing could be read; `error` then tells why.
QPixmap panor_loadIcon(const QString& path, const QSize& size, qreal dpr, QString* error);

// panor_loadIcon through a process-wide cache keyed by path, size and device
// pixel ratio: a picture rendered once is never read from its file again, so
// an indicator that goes back and forth between a few icons costs no file
// access. Failures are not kept. GUI thread only.
QPixmap panor_cachedIcon(const QString& path, const QSize& size, qreal dpr, QString* error);

// The pixmap of `icon` at `size` logical pixels for `dpr`, in `mode`.
QPixmap panor_iconPixmap(const QIcon& icon, const QSize& size, qreal dpr, QIcon::Mode mode);

#endif
