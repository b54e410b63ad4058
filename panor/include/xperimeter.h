#ifndef XPERIMETER_H
#define XPERIMETER_H

/// @file
/// xPerimeter, the frame of a control.

#include "panor_export.h"

/// The frame of a Panor control: rounded corners or square ones, a border line
/// or none. A small value type, copied into the control that uses it.
///
/// Thread: any; it is a plain value.
class PANOR_EXPORT xPerimeter
{
public:
    /// Rounded corners and a border: the frame a free-standing button wants.
    /// Controls that sit flush in a bar switch both off.
    xPerimeter() = default;

    /// Rounded corners (true) or square ones.
    void xper_setAngle(bool rounded) { angle = rounded; }
    /// A border line (true) or none.
    void xper_setBorder(bool visible) { border = visible; }
    /// Corner radius in logical pixels, used only while the angle is on;
    /// negative values count as 0.
    void xper_setRadius(int pixels) { radius = pixels < 0 ? 0 : pixels; }

    /// Whether the corners are rounded.
    bool xper_getAngle() const { return angle; }
    /// Whether the border line is drawn.
    bool xper_getBorder() const { return border; }
    /// The corner radius in logical pixels.
    int xper_getRadius() const { return radius; }

    /// The same corners, border and radius.
    bool operator==(const xPerimeter& other) const
    {
        return angle == other.angle && border == other.border && radius == other.radius;
    }
    /// Not the same corners, border and radius.
    bool operator!=(const xPerimeter& other) const { return !(*this == other); }

private:
    bool angle = true;
    bool border = true;
    int radius = 4;
};

#endif
