// A Panor control: a tool button of the title bar with a control status that
// decides whether it is greyed out, display-only, clickable, or flagged.
#ifndef XCONTROL_H
#define XCONTROL_H

#include <QToolButton>

#include "panor_export.h"

class PANOR_EXPORT XControl : public QToolButton
{
    Q_OBJECT

public:
    enum eCONTROL_STATUS {
        XCTL_STATUS_DISABLED = 0,  // greyed out, takes no input
        XCTL_STATUS_PASSIVE = 1,   // drawn normally, but a press does not click
        XCTL_STATUS_ACTIVE = 2,    // hover feedback and clicks
        XCTL_STATUS_ALERT = 3      // as active, drawn in the alert colour
    };
    Q_ENUM(eCONTROL_STATUS)

    explicit XControl(QWidget* parent = nullptr);
    ~XControl() override;

    // A value outside the enumeration is ignored and the status kept.
    void xctl_setStatus(eCONTROL_STATUS status);
    eCONTROL_STATUS xctl_getStatus() const { return status; }

protected:
    bool hitButton(const QPoint& pos) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    eCONTROL_STATUS status = XCTL_STATUS_ACTIVE;
};

#endif
