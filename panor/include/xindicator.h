// A status indicator of the title bar: a square control that shows an icon,
// a text or both, as its tool-button style says. Its text also becomes its
// tooltip and accessible name.
#ifndef XINDICATOR_H
#define XINDICATOR_H

#include <QIcon>
#include <QSize>
#include <QString>
#include <memory>

#include "panor_export.h"
#include "xcontrol.h"
#include "xperimeter.h"

class XIndicatorPrivate;

class PANOR_EXPORT XIndicator : public XControl
{
    Q_OBJECT

public:
    // Style bits for xind_setStyle; other bits are reserved and ignored.
    enum eINDICATOR_STYLE {
        XIND_STYLE_PANEL = 0x00,  // a filled panel at rest
        XIND_STYLE_FLAT = 0x01,   // nothing drawn at rest: the bar shows through
        XIND_STYLE_HOVER = 0x08   // lit while hovered, darker while pressed
    };

    explicit XIndicator(QWidget* parent = nullptr);
    ~XIndicator() override;

    void xind_setText(const QString& text);
    // The picture of an image file (SVG, PNG, ...) drawn at `size` logical
    // pixels, rendered afresh for the screen's pixel ratio. An SVG that cannot
    // be drawn (Qt's SVG image plugin missing) is drawn from the PNG of the
    // same name beside it; a file that cannot be read at all leaves the
    // indicator without a picture.
    void xind_setIcon(const QString& path, const QSize& size);
    void xind_setIcon(const QIcon& icon);
    void xind_setStyle(int style);
    void xind_setPerimeter(const xPerimeter& perimeter);

    QString xind_getText() const;
    QString xind_getIconPath() const;
    int xind_getStyle() const;
    xPerimeter xind_getPerimeter() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<XIndicatorPrivate> d;
};

#endif
