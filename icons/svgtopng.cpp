// Build tool: renders each SVG icon into a square PNG of the given size, the
// copy of the set that hosts without Qt's SVG image plugin fall back to.
//   vantel_svgtopng <size> <output dir> <file.svg>...
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool sizeOk = false;
    const int size = args.value(1).toInt(&sizeOk);
    if (args.size() < 4 || !sizeOk || size <= 0) {
        std::fprintf(stderr, "usage: vantel_svgtopng <size> <output dir> <file.svg>...\n");
        return 2;
    }
    const QDir out(args.at(2));
    if (!out.mkpath(QStringLiteral(".")))
        return 1;

    int failures = 0;
    for (const QString& file : args.mid(3)) {
        QSvgRenderer renderer(file);
        const QString target = out.filePath(QFileInfo(file).completeBaseName() + QStringLiteral(".png"));
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        if (renderer.isValid()) {
            QPainter painter(&image);
            renderer.render(&painter);
        }
        if (!renderer.isValid() || !image.save(target)) {
            std::fprintf(stderr, "vantel_svgtopng: cannot render %s to %s\n", qPrintable(file), qPrintable(target));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
