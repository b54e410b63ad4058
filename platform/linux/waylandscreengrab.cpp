#include "waylandscreengrab.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "waylandclient.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"

namespace vantel::platform {

namespace {

// One output and its frame, from the output's events to the copied pixels.
struct Output {
    wl_output* output = nullptr;
    int x = 0;
    int y = 0;
    zwlr_screencopy_frame_v1* frame = nullptr;
    std::uint32_t format = 0;
    int width = 0;
    int height = 0;
    int stride = 0;
    bool offered = false; // a shared-memory buffer we can read was described
    bool described = false; // every buffer type was described
    bool copying = false;
    bool invert = false;
    bool ready = false;
    bool failed = false;
    wl_buffer* buffer = nullptr;
    void* memory = MAP_FAILED;
    std::size_t size = 0;

    ~Output()
    {
        if (buffer)
            wl_buffer_destroy(buffer);
        if (memory != MAP_FAILED)
            munmap(memory, size);
        if (frame)
            zwlr_screencopy_frame_v1_destroy(frame);
        if (output)
            wl_output_destroy(output);
    }
};

void onGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*, const char*,
                int32_t)
{
    static_cast<Output*>(data)->x = x;
    static_cast<Output*>(data)->y = y;
}
void onMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
void onOutputDone(void*, wl_output*) {}
void onScale(void*, wl_output*, int32_t) {}
void onName(void*, wl_output*, const char*) {}
void onDescription(void*, wl_output*, const char*) {}
const wl_output_listener outputListener = {&onGeometry, &onMode, &onOutputDone, &onScale, &onName, &onDescription};

void onBuffer(void* data, zwlr_screencopy_frame_v1* frame, uint32_t format, uint32_t width, uint32_t height,
              uint32_t stride)
{
    auto* o = static_cast<Output*>(data);
    // 32 bits a pixel, blue first in memory: what the picture holds.
    if (format != WL_SHM_FORMAT_XRGB8888 && format != WL_SHM_FORMAT_ARGB8888)
        return;
    o->format = format;
    o->width = int(width);
    o->height = int(height);
    o->stride = int(stride);
    o->offered = width > 0 && height > 0 && stride >= width * 4 && width < 65536 && height < 65536;
    // Before version 3 the buffer event is the only one.
    if (zwlr_screencopy_frame_v1_get_version(frame) < 3)
        o->described = true;
}
void onFlags(void* data, zwlr_screencopy_frame_v1*, uint32_t flags)
{
    static_cast<Output*>(data)->invert = flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
}
void onReady(void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t)
{
    static_cast<Output*>(data)->ready = true;
}
void onFailed(void* data, zwlr_screencopy_frame_v1*)
{
    static_cast<Output*>(data)->failed = true;
}
void onDamage(void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t, uint32_t) {}
void onDmabuf(void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {}
void onBufferDone(void* data, zwlr_screencopy_frame_v1*)
{
    static_cast<Output*>(data)->described = true;
}
const zwlr_screencopy_frame_v1_listener frameListener = {&onBuffer, &onFlags,  &onReady,     &onFailed,
                                                         &onDamage, &onDmabuf, &onBufferDone};

// A shared-memory buffer of the size the compositor asked for.
bool makeBuffer(wl_shm* shm, Output& o)
{
    o.size = std::size_t(o.stride) * std::size_t(o.height);
    const int fd = memfd_create("vantel-screencopy", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    bool made = false;
    if (ftruncate(fd, off_t(o.size)) == 0) {
        o.memory = mmap(nullptr, o.size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (o.memory != MAP_FAILED) {
            wl_shm_pool* pool = wl_shm_create_pool(shm, fd, int32_t(o.size));
            o.buffer = wl_shm_pool_create_buffer(pool, 0, o.width, o.height, o.stride, o.format);
            wl_shm_pool_destroy(pool);
            made = true;
        }
    }
    close(fd);
    return made;
}

} // namespace

GrabState WaylandScreenGrab::grabDesktop(ScreenPicture& picture)
{
    picture = ScreenPicture();
    // A pending grab of the other way is asked again, not the compositor.
    if (otherWayPending)
        return askOtherWay(picture);
    const auto deadline = WaylandClient::Clock::now() + std::chrono::milliseconds(timeLimitMs);
    WaylandClient client;
    if (!client.connect(deadline))
        return GrabState::Failed;
    auto* shm = static_cast<wl_shm*>(client.bind(&wl_shm_interface, 1));
    auto* manager = static_cast<zwlr_screencopy_manager_v1*>(client.bind(&zwlr_screencopy_manager_v1_interface, 3));
    if (!manager) {
        if (shm)
            wl_shm_destroy(shm);
        client.disconnect();
        return askOtherWay(picture);
    }
    std::vector<std::unique_ptr<Output>> outputs;
    for (void* output : client.bindAll(&wl_output_interface, 2)) {
        outputs.push_back(std::make_unique<Output>());
        outputs.back()->output = static_cast<wl_output*>(output);
        wl_output_add_listener(outputs.back()->output, &outputListener, outputs.back().get());
    }

    bool grabbed = shm && !outputs.empty();
    if (grabbed) {
        for (auto& o : outputs) {
            o->frame = zwlr_screencopy_manager_v1_capture_output(manager, 0, o->output);
            zwlr_screencopy_frame_v1_add_listener(o->frame, &frameListener, o.get());
        }
        // Each frame describes its buffers, is given one, and copies into it.
        auto waiting = [&] {
            return std::any_of(outputs.begin(), outputs.end(), [](const auto& o) { return !o->ready && !o->failed; });
        };
        while (grabbed && waiting()) {
            for (auto& o : outputs) {
                if (o->described && !o->copying && !o->failed) {
                    if (!o->offered || !makeBuffer(shm, *o)) {
                        grabbed = false;
                        break;
                    }
                    zwlr_screencopy_frame_v1_copy(o->frame, o->buffer);
                    o->copying = true;
                }
            }
            grabbed = grabbed && client.roundtrip(deadline);
        }
        grabbed = grabbed && std::none_of(outputs.begin(), outputs.end(), [](const auto& o) { return o->failed; });
    }

    if (grabbed) {
        int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
        for (const auto& o : outputs) {
            left = std::min(left, o->x);
            top = std::min(top, o->y);
            right = std::max(right, o->x + o->width);
            bottom = std::max(bottom, o->y + o->height);
        }
        grabbed = right - left <= 32768 && bottom - top <= 32768;
        if (grabbed) {
            picture.width = right - left;
            picture.height = bottom - top;
            picture.pixels.assign(std::size_t(picture.width) * std::size_t(picture.height), 0xff000000u);
            for (const auto& o : outputs) {
                const auto* memory = static_cast<const unsigned char*>(o->memory);
                for (int row = 0; row < o->height; ++row) {
                    const int from = o->invert ? o->height - 1 - row : row;
                    std::uint32_t* to =
                        &picture.pixels[std::size_t(o->y - top + row) * std::size_t(picture.width) + std::size_t(o->x - left)];
                    std::memcpy(to, memory + std::size_t(from) * std::size_t(o->stride), std::size_t(o->width) * 4);
                    for (int column = 0; column < o->width; ++column)
                        to[column] |= 0xff000000u; // XRGB's unused byte, and no see-through desktop
                }
            }
        }
    }

    outputs.clear();
    zwlr_screencopy_manager_v1_destroy(manager);
    if (shm)
        wl_shm_destroy(shm);
    client.disconnect();
    return grabbed ? GrabState::Taken : GrabState::Failed;
}

GrabState WaylandScreenGrab::askOtherWay(ScreenPicture& picture)
{
    if (!otherWay)
        return GrabState::Failed;
    const GrabState state = otherWay->grabDesktop(picture);
    otherWayPending = state == GrabState::Pending;
    return state;
}

void WaylandScreenGrab::cancel()
{
    if (otherWayPending)
        otherWay->cancel();
    otherWayPending = false;
}

} // namespace vantel::platform
