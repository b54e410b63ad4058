#ifndef XBARTITLE_H
#define XBARTITLE_H

/// @file
/// XBarTitle, the title bar.

#include <QList>
#include <QString>
#include <QWidget>
#include <memory>

#include "panor_export.h"

class XBarTitlePrivate;

/// The title bar: a dark strip with the window title at the left and the
/// controls laid out by position, a left group before the title and a right
/// group (the indicators) after it.
///
/// Thread: the GUI thread only, as for every widget. It reads no device.
class PANOR_EXPORT XBarTitle : public QWidget
{
    Q_OBJECT

public:
    /// The two groups of controls.
    enum eBAR_SIDE {
        XBTLE_SIDE_LEFT = 0, ///< before the title
        XBTLE_SIDE_RIGHT = 1 ///< after the title; any other value counts as this
    };

    /// An empty bar with no title.
    explicit XBarTitle(QWidget* parent = nullptr);
    ~XBarTitle() override;

    /// Takes `control` into the bar (reparenting it) on `side`, ordered by
    /// ascending `position`. A position already taken keeps the controls there
    /// first: the newcomer goes after them. A control already in the bar is
    /// moved. The bar does not show controls: one its owner has not shown
    /// (show() or setVisible(true) since its last change of parent) stays
    /// hidden until it is. A null control is refused (false).
    bool xbtle_addControl(QWidget* control, int position, int side);
    /// Sets the title drawn between the two groups.
    void xbtle_setTitle(const QString& title);
    /// The title.
    QString xbtle_getTitle() const;
    /// The controls in the bar, left to right; deleted or re-parented ones are gone.
    QList<QWidget*> xbtle_getControls() const;

    /// The title bar's height (PanorData) and the width of its controls and title.
    QSize sizeHint() const override;
    /// The bar's height and the width of its controls.
    QSize minimumSizeHint() const override;

protected:
    /// Draws the strip, the hairline under it and the title.
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<XBarTitlePrivate> d;
};

#endif
