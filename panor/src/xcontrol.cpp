#include "xcontrol.h"

#include <QStyleOptionToolButton>
#include <QStylePainter>

#include "panorstyle.h"

XControl::XControl(QWidget* parent)
    : QToolButton(parent)
{
    setAutoRaise(true);
    // Touch and mouse only: a title bar should not take the keyboard focus
    // away from the host's window content.
    setFocusPolicy(Qt::NoFocus);
}

XControl::~XControl() = default;

void XControl::xctl_setStatus(eCONTROL_STATUS value)
{
    switch (value) {
    case XCTL_STATUS_DISABLED:
    case XCTL_STATUS_PASSIVE:
    case XCTL_STATUS_ACTIVE:
    case XCTL_STATUS_ALERT:
        break;
    default:
        return;
    }
    status = value;
    setEnabled(status != XCTL_STATUS_DISABLED);
    update();
}

bool XControl::hitButton(const QPoint& pos) const
{
    return status != XCTL_STATUS_PASSIVE && QToolButton::hitButton(pos);
}

void XControl::paintEvent(QPaintEvent* event)
{
    if (status != XCTL_STATUS_ALERT) {
        QToolButton::paintEvent(event);
        return;
    }
    // The alert panel replaces the style's own, which would cover it on hover;
    // the style still draws the label on top.
    QStylePainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(panor_alertColor());
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_ToolButtonLabel, option);
}
