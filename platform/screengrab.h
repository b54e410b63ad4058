// Screen grab service: the whole virtual desktop as one picture, for a
// desktop that a client reads through its display server rather than
// through Qt (a Wayland compositor). Backends whose desktop Qt reads offer
// none, and the core grabs through QScreen.
#ifndef VANTEL_PLATFORM_SCREENGRAB_H
#define VANTEL_PLATFORM_SCREENGRAB_H

#include <cstdint>
#include <vector>

namespace vantel::platform {

struct ScreenPicture {
    int width = 0;
    int height = 0;
    // 0xffRRGGBB, rows from the top; an area no screen covers is black.
    std::vector<std::uint32_t> pixels;
};

class ScreenGrab
{
public:
    virtual ~ScreenGrab() = default;

    // Every screen's area, each at its place on the desktop. False, with
    // `picture` empty, when the desktop cannot be read (no compositor, no
    // way offered, refused or late).
    virtual bool grabDesktop(ScreenPicture& picture) = 0;
};

} // namespace vantel::platform

#endif
