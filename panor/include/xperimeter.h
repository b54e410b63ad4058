// The frame of a Panor control: rounded corners or square ones, a border line
// or none. A small value type, copied into the control that uses it.
#ifndef XPERIMETER_H
#define XPERIMETER_H

#include "panor_export.h"

class PANOR_EXPORT xPerimeter
{
public:
    // Rounded corners and a border: the frame a free-standing button wants.
    // Controls that sit flush in a bar switch both off.
    xPerimeter() = default;

    void xper_setAngle(bool rounded) { angle = rounded; }
    void xper_setBorder(bool visible) { border = visible; }
    // Corner radius in logical pixels, used only while the angle is on;
    // negative values count as 0.
    void xper_setRadius(int pixels) { radius = pixels < 0 ? 0 : pixels; }

    bool xper_getAngle() const { return angle; }
    bool xper_getBorder() const { return border; }
    int xper_getRadius() const { return radius; }

    bool operator==(const xPerimeter& other) const
    {
        return angle == other.angle && border == other.border && radius == other.radius;
    }
    bool operator!=(const xPerimeter& other) const { return !(*this == other); }

private:
    bool angle = true;
    bool border = true;
    int radius = 4;
};

#endif
