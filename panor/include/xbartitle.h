// The title bar: a dark strip with the window title at the left and the
// controls laid out by position, a left group before the title and a right
// group (the indicators) after it.
#ifndef XBARTITLE_H
#define XBARTITLE_H

#include <QList>
#include <QString>
#include <QWidget>
#include <memory>

#include "panor_export.h"

class XBarTitlePrivate;

class PANOR_EXPORT XBarTitle : public QWidget
{
    Q_OBJECT

public:
    enum eBAR_SIDE {
        XBTLE_SIDE_LEFT = 0,   // before the title
        XBTLE_SIDE_RIGHT = 1   // after the title; any other value counts as this
    };

    explicit XBarTitle(QWidget* parent = nullptr);
    ~XBarTitle() override;

    // Takes `control` into the bar (reparenting it) on `side`, ordered by
    // ascending `position`. A position already taken keeps the controls there
    // first: the newcomer goes after them. A control already in the bar is
    // moved. The bar does not show controls: one its owner has not shown
    // (show() or setVisible(true) since its last change of parent) stays
    // hidden until it is. A null control is refused (false).
    bool xbtle_addControl(QWidget* control, int position, int side);
    void xbtle_setTitle(const QString& title);
    QString xbtle_getTitle() const;
    // The controls in the bar, left to right; deleted or re-parented ones are gone.
    QList<QWidget*> xbtle_getControls() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<XBarTitlePrivate> d;
};

#endif
