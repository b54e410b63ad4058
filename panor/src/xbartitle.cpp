#include "xbartitle.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QVector>
#include <algorithm>

#include "panordata.h"
#include "panorstyle.h"

namespace {

struct Slot {
    QPointer<QWidget> control;
    int side = XBarTitle::XBTLE_SIDE_RIGHT;
    int position = 0;
};

bool before(const Slot& a, const Slot& b)
{
    if (a.side != b.side)
        return a.side == XBarTitle::XBTLE_SIDE_LEFT;
    return a.position < b.position;
}

} // namespace

class XBarTitlePrivate
{
public:
    // Controls that were deleted or moved to another parent left the layout
    // by themselves; drop their entries too, so entries match the layout again.
    void prune()
    {
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [this](const Slot& s) { return !inBar(s); }),
                      entries.end());
    }

    bool inBar(const Slot& slot) const
    {
        return slot.control && layout->indexOf(slot.control) >= 0;
    }

    QHBoxLayout* layout = nullptr;
    QVector<Slot> entries;  // in layout order
    QString title;
    QFont titleFont;
};

XBarTitle::XBarTitle(QWidget* parent)
    : QWidget(parent), d(new XBarTitlePrivate)
{
    setPalette(panor_barPalette());
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    const int spacing = panor_guiData->panord_getInterfaceSize(PanorData::PANORD_SPACING).width();
    d->layout = new QHBoxLayout(this);
    d->layout->setContentsMargins(spacing, 0, spacing, 0);
    d->layout->setSpacing(spacing / 2);
    d->layout->addStretch(1);

    // The bar's own font stays as it is: controls inherit it for their text.
    d->titleFont = font();
    d->titleFont.setPixelSize(panor_guiData->panord_getInterfaceSize(PanorData::PANORD_TITLEFONT).height());
    d->titleFont.setWeight(QFont::DemiBold);
}

XBarTitle::~XBarTitle() = default;

bool XBarTitle::xbtle_addControl(QWidget* control, int position, int side)
{
    if (!control || control == this)
        return false;
    // Visibility stays with the control's owner: only a control its owner has
    // shown (since its last change of parent) is shown. A layout would show
    // every child not explicitly hidden, but an indicator shows only once it
    // has a status.
    if (!control->testAttribute(Qt::WA_WState_ExplicitShowHide) || control->isHidden())
        control->hide();
    d->layout->removeWidget(control);
    d->entries.erase(std::remove_if(d->entries.begin(), d->entries.end(),
                                  [control](const Slot& s) { return s.control == control; }),
                   d->entries.end());
    d->prune();

    Slot slot;
    slot.control = control;
    slot.side = side == XBTLE_SIDE_LEFT ? XBTLE_SIDE_LEFT : XBTLE_SIDE_RIGHT;
    slot.position = position;
    // upper_bound: a newcomer goes after the controls already at its position.
    const auto at = std::upper_bound(d->entries.begin(), d->entries.end(), slot, before);
    int index = int(at - d->entries.begin());
    d->entries.insert(at, slot);
    if (slot.side == XBTLE_SIDE_RIGHT)
        ++index;  // past the stretch that holds the title
    // Bounded, should a host have changed the layout behind the bar's back.
    d->layout->insertWidget(qBound(0, index, d->layout->count()), control, 0, Qt::AlignVCenter);
    update();
    return true;
}

void XBarTitle::xbtle_setTitle(const QString& title)
{
    d->title = title;
    setAccessibleName(title);
    update();
}

QString XBarTitle::xbtle_getTitle() const
{
    return d->title;
}

QList<QWidget*> XBarTitle::xbtle_getControls() const
{
    QList<QWidget*> controls;
    for (const Slot& slot : d->entries) {
        if (d->inBar(slot))
            controls.append(slot.control);
    }
    return controls;
}

QSize XBarTitle::sizeHint() const
{
    const int height = panor_guiData->panord_getInterfaceSize(PanorData::PANORD_TITLEBAR).height();
    const QSize layoutHint = d->layout->sizeHint();
    const int titleWidth = QFontMetrics(d->titleFont).horizontalAdvance(d->title);
    return QSize(layoutHint.width() + titleWidth, qMax(height, layoutHint.height()));
}

QSize XBarTitle::minimumSizeHint() const
{
    const int height = panor_guiData->panord_getInterfaceSize(PanorData::PANORD_TITLEBAR).height();
    const QSize layoutHint = d->layout->minimumSize();
    return QSize(layoutHint.width(), qMax(height, layoutHint.height()));
}

void XBarTitle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // A hairline under the bar parts it from the window content.
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);

    if (d->title.isEmpty())
        return;
    // The title fills the room between the left and the right group.
    const QMargins margins = d->layout->contentsMargins();
    int left = margins.left();
    int right = width() - margins.right();
    for (const Slot& slot : d->entries) {
        if (!d->inBar(slot) || !slot.control->isVisible())
            continue;
        const QRect geometry = slot.control->geometry();
        if (slot.side == XBTLE_SIDE_LEFT)
            left = qMax(left, geometry.right() + 1 + 2 * margins.left());
        else
            right = qMin(right, geometry.left() - 2 * margins.right());
    }
    if (right <= left)
        return;
    const QRect area(left, 0, right - left, height());
    painter.setFont(d->titleFont);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QFontMetrics(d->titleFont).elidedText(d->title, Qt::ElideRight, area.width()));
}
