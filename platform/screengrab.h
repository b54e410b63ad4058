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

enum class GrabState { Taken, Pending, Failed };

class ScreenGrab
{
public:
    virtual ~ScreenGrab() = default;

    // Every screen's area, each at its place on the desktop: Taken with the
    // picture, or Failed, with `picture` empty, when the desktop cannot be
    // read (no compositor, no way offered, refused or late). A way that
    // answers later (the desktop portal) says Pending and keeps the grab: the
    // next call, after the caller's event loop has run, asks the same grab
    // again, which never stays pending past its time limit.
    virtual GrabState grabDesktop(ScreenPicture& picture) = 0;

    // Gives up a pending grab; its answer, if one comes, is dropped.
    virtual void cancel() {}
};

} // namespace vantel::platform

#endif
