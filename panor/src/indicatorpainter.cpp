#include "indicatorpainter.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "panorstyle.h"
#include "xindicator.h"

namespace {

// Below this pixel size text is no longer readable on a tablet; it is elided instead.
constexpr int kMinTextPixels = 8;

// The largest font, at most the widget's own, in which `text` fits `width`.
QFont fittedFont(const QWidget* widget, const QString& text, int width, int maxPixels)
{
    QFont font = widget->font();
    int pixels = qMin(QFontInfo(font).pixelSize(), maxPixels);
    for (; pixels > kMinTextPixels; --pixels) {
        font.setPixelSize(pixels);
        // Measured as eliding measures it, which is stricter than the advance.
        if (QFontMetrics(font).elidedText(text, Qt::ElideRight, width) == text)
            return font;
    }
    font.setPixelSize(kMinTextPixels);
    return font;
}

void drawText(QPainter& painter, const QWidget* widget, const QString& text, const QRect& area)
{
    if (text.isEmpty() || area.isEmpty())
        return;
    const QFont font = fittedFont(widget, text, area.width(), area.height());
    painter.setFont(font);
    const QPalette::ColorGroup group = widget->isEnabled() ? QPalette::Active : QPalette::Disabled;
    painter.setPen(widget->palette().color(group, QPalette::ButtonText));
    const QString shown = QFontMetrics(font).elidedText(text, Qt::ElideRight, area.width());
    painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, shown);
}

void drawPicture(QPainter& painter, const QPixmap& picture, const QRect& area)
{
    if (picture.isNull() || area.isEmpty())
        return;
    const QSize logical = (QSizeF(picture.size()) / picture.devicePixelRatio()).toSize();
    QRect target(QPoint(), logical.scaled(area.size(), Qt::KeepAspectRatio).boundedTo(logical));
    target.moveCenter(area.center());
    painter.drawPixmap(target, picture);
}

void drawPanel(QPainter& painter, const XIndicator* indicator, int style, const xPerimeter& perimeter)
{
    const QPalette& palette = indicator->palette();
    QColor fill;
    if (indicator->xctl_getStatus() == XControl::XCTL_STATUS_ALERT)
        fill = panor_alertColor();
    else if ((style & XIndicator::XIND_STYLE_HOVER) && indicator->isDown())
        fill = panor_tint(palette, 64);
    else if ((style & XIndicator::XIND_STYLE_HOVER) && indicator->underMouse() && indicator->isEnabled()
             && indicator->xctl_getStatus() != XControl::XCTL_STATUS_PASSIVE)
        fill = panor_tint(palette, 32);
    else if (!(style & XIndicator::XIND_STYLE_FLAT))
        fill = palette.color(QPalette::Button);

    const bool border = perimeter.xper_getBorder();
    if (!fill.isValid() && !border)
        return;
    const QRectF frame = QRectF(indicator->rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = perimeter.xper_getAngle() ? perimeter.xper_getRadius() : 0.0;
    painter.setRenderHint(QPainter::Antialiasing, radius > 0);
    painter.setPen(border ? QPen(panor_tint(palette, 96), 1.0) : QPen(Qt::NoPen));
    painter.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    painter.drawRoundedRect(frame, radius, radius);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

} // namespace

int indicator_padding(int side)
{
    return qMax(1, side / 14);
}

QPixmap indicator_disabledPixmap(const XIndicator* indicator, const QPixmap& picture)
{
    QStyleOption option;
    option.initFrom(indicator);
    return indicator->style()->generatedIconPixmap(QIcon::Disabled, picture, &option);
}

void indicator_paint(XIndicator* indicator, int style, const xPerimeter& perimeter,
                     const QPixmap& picture)
{
    QPainter painter(indicator);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    drawPanel(painter, indicator, style, perimeter);

    const QRect inner = indicator->rect().adjusted(1, 1, -1, -1);
    const int gap = indicator_padding(inner.height());
    const QString text = indicator->text();
    const Qt::ToolButtonStyle mode = indicator->toolButtonStyle();
    const bool withPicture = mode != Qt::ToolButtonTextOnly && !picture.isNull();
    const bool withText = mode != Qt::ToolButtonIconOnly && mode != Qt::ToolButtonFollowStyle
                          && !text.isEmpty();
    if (!withPicture || !withText) {
        if (withPicture)
            drawPicture(painter, picture, inner);
        if (withText)
            drawText(painter, indicator, text, inner.adjusted(gap, 0, -gap, 0));
        return;
    }

    // Text beside the picture when it has room at a readable size; otherwise
    // (and for text under icon) a caption below a smaller picture.
    const QSize iconSize = indicator->iconSize().boundedTo(inner.size());
    const QRect rest = inner.adjusted(iconSize.width() + 2 * gap, 0, -gap, 0);
    QFont smallest = indicator->font();
    smallest.setPixelSize(kMinTextPixels);
    if (mode == Qt::ToolButtonTextBesideIcon
        && QFontMetrics(smallest).elidedText(text, Qt::ElideRight, rest.width()) == text) {
        drawPicture(painter, picture, QRect(inner.left() + gap, inner.top(), iconSize.width(), inner.height()));
        drawText(painter, indicator, text, rest);
        return;
    }
    const int caption = qMax(kMinTextPixels + 2, inner.height() * 2 / 5);
    drawPicture(painter, picture, inner.adjusted(0, 0, 0, -caption));
    drawText(painter, indicator, text, inner.adjusted(0, inner.height() - caption, 0, 0));
}
