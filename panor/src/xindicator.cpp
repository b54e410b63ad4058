#include "xindicator.h"

#include <QFileInfo>

#include "indicatorpainter.h"
#include "panordata.h"
#include "iconloader.h"
#include "xindicator_p.h"

void XIndicatorPrivate::render(qreal dpr)
{
    QString error;
    pixmap = panor_cachedIcon(iconPath, iconSize, dpr, &error);
    if (!pixmap.isNull()) {
        reportedFailure.clear();
        return;
    }
    // Indicators refresh every few seconds: report a bad file once, not each time.
    if (reportedFailure != iconPath) {
        reportedFailure = iconPath;
        qWarning("Panor: no picture from icon %s: %s", qUtf8Printable(iconPath),
                 qUtf8Printable(error));
    }
}

XIndicator::XIndicator(QWidget* parent)
    : XControl(parent), d(new XIndicatorPrivate)
{
    const int side = panor_guiData->panord_getInterfaceSize(PanorData::PANORD_INDICATOR).height();
    setIconSize(QSize(side, side) - QSize(side / 5, side / 5));
}

XIndicator::~XIndicator() = default;

// The text names the indicator for tooltips and screen readers; an indicator
// that shows only a picture is named after its icon file.
static void describe(XIndicator* indicator, const QString& text, const QString& iconPath)
{
    indicator->setToolTip(text);
    QString name = text;
    if (name.isEmpty())
        name = QFileInfo(iconPath).completeBaseName().replace(QLatin1Char('_'), QLatin1Char(' '));
    indicator->setAccessibleName(name);
}

void XIndicator::xind_setText(const QString& text)
{
    if (text == this->text() && toolTip() == text)
        return;
    setText(text);
    describe(this, text, d->iconPath);
}

void XIndicator::xind_setIcon(const QString& path, const QSize& size)
{
    // Status polls hand the same file again and again: the same request
    // changes nothing and does not even look at the file.
    if (path == d->iconPath && size == d->iconSize && (!d->pixmap.isNull() || d->reportedFailure == path))
        return;
    d->icon = QIcon();
    d->iconPath = path;
    d->iconSize = size;
    setIconSize(size);
    d->render(devicePixelRatioF());
    describe(this, text(), path);
    updateGeometry();
    update();
}

void XIndicator::xind_setIcon(const QIcon& icon)
{
    d->iconPath.clear();
    d->pixmap = QPixmap();
    d->icon = icon;
    describe(this, text(), QString());
    update();
}

void XIndicator::xind_setStyle(int style)
{
    d->style = style;
    update();
}

void XIndicator::xind_setPerimeter(const xPerimeter& perimeter)
{
    d->perimeter = perimeter;
    update();
}

QString XIndicator::xind_getText() const { return text(); }
QString XIndicator::xind_getIconPath() const { return d->iconPath; }
int XIndicator::xind_getStyle() const { return d->style; }
xPerimeter XIndicator::xind_getPerimeter() const { return d->perimeter; }

QSize XIndicator::sizeHint() const
{
    const int cell = panor_guiData->panord_getInterfaceSize(PanorData::PANORD_INDICATOR).height();
    const int side = qMax(cell - 2, iconSize().height());
    const Qt::ToolButtonStyle mode = toolButtonStyle();
    if (text().isEmpty() || mode == Qt::ToolButtonIconOnly || mode == Qt::ToolButtonFollowStyle
        || mode == Qt::ToolButtonTextUnderIcon)
        return QSize(side, side);
    int width = fontMetrics().horizontalAdvance(text()) + 2 * indicator_padding(side);
    if (mode == Qt::ToolButtonTextBesideIcon)
        width += iconSize().width() + indicator_padding(side);
    return QSize(qMax(width, side), side);
}

QSize XIndicator::minimumSizeHint() const
{
    const int side = panor_guiData->panord_getInterfaceSize(PanorData::PANORD_INDICATOR).height() - 2;
    return QSize(side, side);
}

void XIndicator::paintEvent(QPaintEvent*)
{
    // A move to a screen of another pixel ratio re-renders the file sharp.
    const qreal dpr = devicePixelRatioF();
    if (!d->iconPath.isEmpty() && !d->pixmap.isNull() && !qFuzzyCompare(d->pixmap.devicePixelRatio(), dpr))
        d->render(dpr);

    QPixmap picture = d->pixmap;
    if (picture.isNull() && !d->icon.isNull())
        picture = panor_iconPixmap(d->icon, iconSize(), dpr, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    else if (!picture.isNull() && !isEnabled())
        picture = indicator_disabledPixmap(this, picture);

    indicator_paint(this, d->style, d->perimeter, picture);
}
