#ifndef XINDICATOR_H
#define XINDICATOR_H

/// @file
/// XIndicator, the button of a status indicator.

#include <QIcon>
#include <QSize>
#include <QString>
#include <memory>

#include "panor_export.h"
#include "xcontrol.h"
#include "xperimeter.h"

class XIndicatorPrivate;

/// A status indicator of the title bar: a square control that shows an icon,
/// a text or both, as its tool-button style says. Its text also becomes its
/// tooltip and accessible name.
///
/// Thread: the GUI thread only, as for every widget. It reads no device.
class PANOR_EXPORT XIndicator : public XControl
{
    Q_OBJECT

public:
    /// Style bits for xind_setStyle; other bits are reserved and ignored.
    enum eINDICATOR_STYLE {
        XIND_STYLE_PANEL = 0x00, ///< a filled panel at rest
        XIND_STYLE_FLAT = 0x01,  ///< nothing drawn at rest: the bar shows through
        XIND_STYLE_HOVER = 0x08  ///< lit while hovered, darker while pressed
    };

    /// An indicator with no text and no picture, in the panel style.
    explicit XIndicator(QWidget* parent = nullptr);
    ~XIndicator() override;

    /// Sets the text, which is also the tooltip and the accessible name.
    void xind_setText(const QString& text);
    /// The picture of an image file (SVG, PNG, ...) drawn at `size` logical
    /// pixels, rendered afresh for the screen's pixel ratio. An SVG that cannot
    /// be drawn (Qt's SVG image plugin missing) is drawn from the PNG of the
    /// same name beside it; a file that cannot be read at all leaves the
    /// indicator without a picture.
    void xind_setIcon(const QString& path, const QSize& size);
    /// Shows `icon`; the icon path becomes empty.
    void xind_setIcon(const QIcon& icon);
    /// Sets the eINDICATOR_STYLE bits.
    void xind_setStyle(int style);
    /// Sets the frame.
    void xind_setPerimeter(const xPerimeter& perimeter);

    /// The text.
    QString xind_getText() const;
    /// The image file last set; empty for an icon set directly.
    QString xind_getIconPath() const;
    /// The style bits.
    int xind_getStyle() const;
    /// The frame.
    xPerimeter xind_getPerimeter() const;

    /// A square of PanorData's indicator cell less 2 pixels; wider for the
    /// text in the text display styles.
    QSize sizeHint() const override;
    /// A square of PanorData's indicator cell less 2 pixels.
    QSize minimumSizeHint() const override;

protected:
    /// Draws the frame, the picture and the text by the style.
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<XIndicatorPrivate> d;
};

#endif
