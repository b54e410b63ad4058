#ifndef XCONTROL_H
#define XCONTROL_H

/// @file
/// XControl, a control of the title bar.

#include <QToolButton>

#include "panor_export.h"

/// A Panor control: a tool button of the title bar with a control status that
/// decides whether it is greyed out, display-only, clickable, or flagged.
///
/// Thread: the GUI thread only, as for every widget. It reads no device.
class PANOR_EXPORT XControl : public QToolButton
{
    Q_OBJECT

public:
    /// How the control looks and whether it takes clicks.
    enum eCONTROL_STATUS {
        XCTL_STATUS_DISABLED = 0, ///< greyed out, takes no input
        XCTL_STATUS_PASSIVE = 1,  ///< drawn normally, but a press does not click
        XCTL_STATUS_ACTIVE = 2,   ///< hover feedback and clicks
        XCTL_STATUS_ALERT = 3     ///< as active, drawn in the alert colour
    };
    Q_ENUM(eCONTROL_STATUS)

    /// An active control.
    explicit XControl(QWidget* parent = nullptr);
    ~XControl() override;

    /// A value outside the enumeration is ignored and the status kept.
    void xctl_setStatus(eCONTROL_STATUS status);
    /// The control status.
    eCONTROL_STATUS xctl_getStatus() const { return status; }

protected:
    /// A passive control is never hit, so a press does not click it.
    bool hitButton(const QPoint& pos) const override;
    /// Draws the button; an alert control on the alert colour.
    void paintEvent(QPaintEvent* event) override;

private:
    eCONTROL_STATUS status = XCTL_STATUS_ACTIVE;
};

#endif
