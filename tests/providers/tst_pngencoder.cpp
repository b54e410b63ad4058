// Guards the capture's PNG encoder: every chunk's CRC and the zlib stream
// (joined from strips) checked independently of Qt's reader, the pixels read
// back by Qt equal to the picture's for the formats a grab or a host may
// hand in and for any number of strips, and a file about the size Qt's own
// writer makes at its default quality.
#include <QBuffer>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>

#include <zlib.h>

#include "capture/pngencoder.h"

namespace {

// Smooth gradients with grain, as a screen with photographs shows.
QImage photoLike(int width, int height, QImage::Format format)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    QRandomGenerator noise(11);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int grain = int(noise.bounded(20));
            picture.setPixel(x, y, qRgba((x + grain) % 256, (y / 2 + grain) % 256, (x + y) % 256, (x * 7 + y) % 256));
        }
    return picture.convertToFormat(format);
}

// The chunks in order, each CRC checked, and the IDAT stream inflated by
// zlib itself (which checks the Adler-32) to exactly height filtered rows.
QString checkStructure(const QByteArray& png, int bytesPerPixel)
{
    if (!png.startsWith("\x89PNG\r\n\x1a\n"))
        return QStringLiteral("no signature");
    QStringList types;
    QByteArray stream;
    quint32 width = 0;
    quint32 height = 0;
    for (qsizetype at = 8; at < png.size();) {
        if (png.size() - at < 12)
            return QStringLiteral("truncated chunk");
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        if (length > png.size() - at - 12)
            return QStringLiteral("chunk longer than the file");
        const QByteArray typeAndData = png.mid(at + 4, length + 4);
        const quint32 crc = qFromBigEndian<quint32>(png.constData() + at + 8 + length);
        if (crc32(0, reinterpret_cast<const Bytef*>(typeAndData.constData()), uInt(typeAndData.size())) != crc)
            return QStringLiteral("bad CRC in ") + QString::fromLatin1(typeAndData.left(4));
        const QByteArray type = typeAndData.left(4);
        if (types.isEmpty() || types.last() != QLatin1String(type))
            types << QString::fromLatin1(type);
        if (type == "IHDR") {
            width = qFromBigEndian<quint32>(typeAndData.constData() + 4);
            height = qFromBigEndian<quint32>(typeAndData.constData() + 8);
        } else if (type == "IDAT") {
            stream += typeAndData.mid(4);
        }
        at += 12 + length;
    }
    if (types != QStringList{"IHDR", "IDAT", "IEND"})
        return QStringLiteral("chunks: ") + types.join(' ');
    uLongf expected = uLongf(height) * (uLongf(width) * uLongf(bytesPerPixel) + 1);
    QByteArray rows(qsizetype(expected) + 1, '\0');
    uLongf inflated = uLongf(rows.size());
    const int rc = uncompress(reinterpret_cast<Bytef*>(rows.data()), &inflated,
                              reinterpret_cast<const Bytef*>(stream.constData()), uLong(stream.size()));
    if (rc != Z_OK)
        return QStringLiteral("zlib stream: %1").arg(rc);
    if (inflated != expected)
        return QStringLiteral("%1 bytes of rows, not %2").arg(inflated).arg(expected);
    for (quint32 y = 0; y < height; ++y)
        if (uchar(rows.at(qsizetype(y * (expected / height)))) > 4)
            return QStringLiteral("row %1: no such filter").arg(y);
    return QString();
}

// Flat panels, a gradient and text, as a diagnostic screen shows: rows
// where every filter, Paeth's ties included, gets its turn.
QImage desktopLike(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0, QColor(30, 60, 110));
    sky.setColorAt(1, QColor(200, 210, 230));
    painter.fillRect(picture.rect(), sky);
    painter.fillRect(width / 8, height / 8, width / 2, height / 2, QColor(250, 250, 245));
    for (int line = 0; line < height / 16; ++line)
        painter.drawText(width / 8 + 4, height / 8 + 14 * line, QStringLiteral("P0420 catalyst %1 rpm").arg(line * 37));
    return picture;
}

// A window of text on a desktop whose gradient runs down the screen, as a
// diagnostic host shows.
QImage windowOfText(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(30, 60, 110));
    sky.setColorAt(1, QColor(200, 210, 230));
    painter.fillRect(picture.rect(), sky);
    painter.fillRect(width / 10, height / 10, width * 6 / 10, height * 8 / 10, Qt::white);
    for (int line = 0; line < height * 7 / 200; ++line)
        painter.drawText(width / 10 + 10, height / 10 + 20 * (line + 1),
                         QStringLiteral("%1  Lettura errori centralina, valori reali %2").arg(line).arg(line * 37 % 101));
    return picture;
}

} // namespace

class TestPngEncoder : public QObject
{
    Q_OBJECT

private slots:
    void picturesReadBack_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<int>("threads");
        QTest::newRow("one pixel") << photoLike(1, 1, QImage::Format_RGB32) << 2;
        QTest::newRow("desktop") << desktopLike(400, 300) << 2;
        QTest::newRow("screen grab, one strip") << photoLike(640, 200, QImage::Format_RGB32) << 1;
        QTest::newRow("screen grab, two strips") << photoLike(640, 200, QImage::Format_RGB32) << 2;
        // Uneven strips; each starts within the window of the one before.
        QTest::newRow("seven strips") << photoLike(101, 700, QImage::Format_RGB32) << 7;
        QTest::newRow("fewer rows than a strip needs") << photoLike(50, 70, QImage::Format_RGB32) << 8;
        QTest::newRow("alpha") << photoLike(333, 300, QImage::Format_ARGB32) << 3;
        QTest::newRow("premultiplied alpha") << photoLike(64, 130, QImage::Format_ARGB32_Premultiplied) << 2;
        // Rows padded to four bytes.
        QTest::newRow("RGB888, odd width") << photoLike(5, 129, QImage::Format_RGB888) << 2;
        QTest::newRow("RGB16") << photoLike(77, 140, QImage::Format_RGB16) << 2;
        QTest::newRow("greyscale") << photoLike(90, 200, QImage::Format_Grayscale8) << 2;
        QTest::newRow("colour table") << photoLike(90, 200, QImage::Format_Indexed8) << 2;
        QTest::newRow("one bit") << photoLike(90, 200, QImage::Format_Mono) << 2;
    }

    void picturesReadBack()
    {
        QFETCH(QImage, picture);
        QFETCH(int, threads);
        const QByteArray png = PngEncoder(threads).encode(picture);
        QCOMPARE(checkStructure(png, picture.hasAlphaChannel() ? 4 : 3), QString());
        const QImage decoded = QImage::fromData(png, "PNG");
        QCOMPARE(decoded.size(), picture.size());
        QCOMPARE(decoded.hasAlphaChannel(), picture.hasAlphaChannel());
        const QImage::Format common = picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        QCOMPARE(decoded.convertToFormat(common), picture.convertToFormat(common));
    }

    // Files about the size Qt's own writer makes at its default quality, for
    // any number of strips: a level too fast or a strip's lost dictionary
    // shows. A gradient across the whole screen repeats over distances only
    // level 6's long searches reach: the price of the fast level, bounded.
    void noLargerThanQtsOwnWriter_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<double>("most");
        QTest::newRow("window of text") << windowOfText(1200, 800) << 1.03;
        QTest::newRow("photograph") << photoLike(1200, 800, QImage::Format_RGB32) << 1.01;
        QTest::newRow("diagonal gradient") << desktopLike(1200, 800) << 1.25;
    }

    void noLargerThanQtsOwnWriter()
    {
        QFETCH(QImage, picture);
        QFETCH(double, most);
        QByteArray reference;
        QBuffer buffer(&reference);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "png", -1));
        for (int threads : {1, 2, 8}) {
            const double ratio = double(PngEncoder(threads).encode(picture).size()) / double(reference.size());
            QVERIFY2(ratio <= most, qPrintable(QStringLiteral("%1 threads: %2 of Qt's size").arg(threads).arg(ratio)));
        }
    }

    void nullPictureGivesNothing()
    {
        QVERIFY(PngEncoder().encode(QImage()).isEmpty());
    }
};

QTEST_MAIN(TestPngEncoder)
#include "tst_pngencoder.moc"
