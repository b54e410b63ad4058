#include "panorstyle.h"

QPalette panor_barPalette()
{
    const QColor bar(0x1c, 0x20, 0x26);
    const QColor ink(0xe8, 0xea, 0xed);
    const QColor dimInk(0x7c, 0x84, 0x8e);

    QPalette palette(bar);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, bar);
        palette.setColor(group, QPalette::WindowText, ink);
        palette.setColor(group, QPalette::Button, QColor(0x2b, 0x31, 0x39));
        palette.setColor(group, QPalette::ButtonText, ink);
        palette.setColor(group, QPalette::Text, ink);
        palette.setColor(group, QPalette::Mid, QColor(0x33, 0x39, 0x42));
        palette.setColor(group, QPalette::Highlight, QColor(0x3d, 0x8b, 0xe0));
    }
    palette.setColor(QPalette::Disabled, QPalette::Window, bar);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, dimInk);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, dimInk);
    palette.setColor(QPalette::Disabled, QPalette::Text, dimInk);
    return palette;
}

QColor panor_alertColor()
{
    return QColor(0xd9, 0x3f, 0x3f);
}

QColor panor_tint(const QPalette& palette, int alpha)
{
    QColor tint = palette.color(QPalette::ButtonText);
    tint.setAlpha(alpha);
    return tint;
}
