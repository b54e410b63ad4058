#include "iconloader.h"

#include <QImage>
#include <QImageReader>
#include <QtGlobal>
#include <atomic>

namespace {

// SVG icons need Qt's SVG image plugin, a separate package. Say so once,
// when the first SVG icon is asked for, rather than failing silently.
void warnIfSvgUnsupported(const QString& path)
{
    static std::atomic<bool> checked{false};
    if (!path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive) || checked.exchange(true))
        return;
    if (!QImageReader::supportedImageFormats().contains("svg"))
        qWarning("Panor: the Qt SVG image plugin is missing (install libqt%dsvg%d); "
                 "SVG icons are not drawn",
                 QT_VERSION_MAJOR, QT_VERSION_MAJOR);
}

} // namespace

QPixmap panor_loadIcon(const QString& path, const QSize& size, qreal dpr, QString* error)
{
    warnIfSvgUnsupported(path);
    if (path.isEmpty() || size.isEmpty()) {
        *error = QStringLiteral("no file or an empty size");
        return QPixmap();
    }
    QImageReader reader(path);
    const QSize target = size * dpr;
    const QSize natural = reader.size();
    reader.setScaledSize(natural.isValid() ? natural.scaled(target, Qt::KeepAspectRatio) : target);
    QImage image = reader.read();
    if (image.isNull()) {
        *error = reader.errorString();
        return QPixmap();
    }
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

QPixmap panor_iconPixmap(const QIcon& icon, const QSize& size, qreal dpr, QIcon::Mode mode)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return icon.pixmap(size, dpr, mode);
#else
    // Qt 5 picks the ratio itself, from the application's highest one.
    Q_UNUSED(dpr)
    return icon.pixmap(size, mode);
#endif
}
