// Pixel counting for the Panor tests: what a grabbed widget shows, by colour class.
#ifndef PANOR_TEST_PIXELS_H
#define PANOR_TEST_PIXELS_H

#include <QColor>
#include <QImage>
#include <QRect>
#include <cstdlib>

namespace pixels {

// The bar's background: the test's idea of it, independent of the library's.
inline bool isBar(QRgb c) { return qRed(c) < 0x30 && qGreen(c) < 0x34 && qBlue(c) < 0x3a; }
inline bool isInk(QRgb c) { return qRed(c) > 0xb0 && qGreen(c) > 0xb0 && qBlue(c) > 0xb0; }
inline bool isGreen(QRgb c) { return qGreen(c) > qRed(c) + 80 && qGreen(c) > qBlue(c) + 30; }
inline bool isRed(QRgb c) { return qRed(c) > qGreen(c) + 80 && qRed(c) > qBlue(c) + 80; }
inline bool isOpaque(QRgb c) { return qAlpha(c) > 0x80; }

template <typename Pred>
int count(const QImage& image, const QRect& area, Pred pred)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += pred(image.pixel(x, y)) ? 1 : 0;
    return n;
}

// The smallest rectangle holding every pixel that matches.
template <typename Pred>
QRect bounds(const QImage& image, Pred pred)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pred(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace pixels

#endif
