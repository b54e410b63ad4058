#include "iconloader.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPixmapCache>
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
                 "SVG icons are drawn from their PNG copies where there are any",
                 QT_VERSION_MAJOR, QT_VERSION_MAJOR);
}

// `error` (when given) tells why nothing was read.
QImage readScaled(const QString& path, const QSize& target, QString* error)
{
    QImageReader reader(path);
    const QSize natural = reader.size();
    reader.setScaledSize(natural.isValid() ? natural.scaled(target, Qt::KeepAspectRatio) : target);
    const QImage image = reader.read();
    if (image.isNull() && error)
        *error = reader.errorString();
    return image;
}

} // namespace

QPixmap panor_loadIcon(const QString& path, const QSize& size, qreal dpr, QString* error)
{
    warnIfSvgUnsupported(path);
    if (path.isEmpty() || size.isEmpty()) {
        *error = QStringLiteral("no file or an empty size");
        return QPixmap();
    }
    const QSize target = size * dpr;
    QImage image = readScaled(path, target, error);
    // An SVG that cannot be drawn (no SVG plugin, a broken file) falls back
    // to the PNG copy beside it, as icon sets ship one.
    const QFileInfo file(path);
    if (image.isNull() && file.suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0) {
        const QString copy = file.dir().filePath(file.completeBaseName() + QLatin1String(".png"));
        if (QFileInfo::exists(copy))
            image = readScaled(copy, target, nullptr);
    }
    if (image.isNull())
        return QPixmap();
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

QPixmap panor_cachedIcon(const QString& path, const QSize& size, qreal dpr, QString* error)
{
    // One pass of arg(): a path with a '%' in it must not take the others.
    const QString key = QStringLiteral("panor:%1:%2x%3@%4")
                            .arg(path, QString::number(size.width()), QString::number(size.height()),
                                 QString::number(dpr));
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = panor_loadIcon(path, size, dpr, error);
    if (!pixmap.isNull())
        QPixmapCache::insert(key, pixmap);
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
