// A Wayland client window for the tests: an xdg toplevel whose app id is the
// first argument, painted in four quadrants (top left red, top right green,
// bottom left blue, bottom right white), 320x240 whatever size the compositor suggests.
// Writes "painted W H" on standard output after its first frame was committed,
// and ends with 0 when the compositor asks it to close, 1 when it is gone.
#include <cstdio>
#include <cstdint>
#include <cstring>

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "xdg-shell-client-protocol.h"

namespace {

struct Painter {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* wmBase = nullptr;
    wl_surface* surface = nullptr;
    wl_buffer* buffer = nullptr;
    bool closed = false;
    bool painted = false;
};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    auto* p = static_cast<Painter*>(data);
    if (!std::strcmp(interface, wl_compositor_interface.name))
        p->compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 1));
    else if (!std::strcmp(interface, wl_shm_interface.name))
        p->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    else if (!std::strcmp(interface, xdg_wm_base_interface.name))
        p->wmBase = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
}
void onGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener registryListener = {&onGlobal, &onGlobalRemove};

void onPing(void*, xdg_wm_base* base, uint32_t serial)
{
    xdg_wm_base_pong(base, serial);
}
const xdg_wm_base_listener wmBaseListener = {&onPing};

void paint(Painter& p)
{
    // A size of its own whatever the compositor suggests, so that what the
    // test looks for does not depend on which configure was shown last.
    const int w = 320;
    const int h = 240;
    const int stride = w * 4;
    const size_t size = size_t(stride) * size_t(h);
    const int fd = memfd_create("waylandpainter", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, off_t(size)) != 0)
        return;
    auto* pixels = static_cast<uint32_t*>(mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    if (pixels == MAP_FAILED) {
        close(fd);
        return;
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool right = x >= w / 2;
            const bool bottom = y >= h / 2;
            pixels[y * w + x] = bottom ? (right ? 0xffffffffu : 0xff0000ffu) : (right ? 0xff00ff00u : 0xffff0000u);
        }
    }
    munmap(pixels, size);
    wl_shm_pool* pool = wl_shm_create_pool(p.shm, fd, int32_t(size));
    if (p.buffer)
        wl_buffer_destroy(p.buffer);
    p.buffer = wl_shm_pool_create_buffer(pool, 0, w, h, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_surface_attach(p.surface, p.buffer, 0, 0);
    wl_surface_damage(p.surface, 0, 0, w, h);
    wl_surface_commit(p.surface);
}

void onSurfaceConfigure(void* data, xdg_surface* surface, uint32_t serial)
{
    xdg_surface_ack_configure(surface, serial);
    auto* p = static_cast<Painter*>(data);
    paint(*p);
    p->painted = true;
}
const xdg_surface_listener surfaceListener = {&onSurfaceConfigure};

void onToplevelConfigure(void*, xdg_toplevel*, int32_t, int32_t, wl_array*) {}
void onClose(void* data, xdg_toplevel*)
{
    static_cast<Painter*>(data)->closed = true;
}
void onBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
void onCapabilities(void*, xdg_toplevel*, wl_array*) {}
const xdg_toplevel_listener toplevelListener = {&onToplevelConfigure, &onClose, &onBounds, &onCapabilities};

} // namespace

int main(int argc, char** argv)
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "waylandpainter: no compositor\n");
        return 1;
    }
    Painter p;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &p);
    wl_display_roundtrip(display);
    if (!p.compositor || !p.shm || !p.wmBase) {
        std::fprintf(stderr, "waylandpainter: no xdg shell\n");
        return 1;
    }
    xdg_wm_base_add_listener(p.wmBase, &wmBaseListener, &p);
    p.surface = wl_compositor_create_surface(p.compositor);
    xdg_surface* surface = xdg_wm_base_get_xdg_surface(p.wmBase, p.surface);
    xdg_surface_add_listener(surface, &surfaceListener, &p);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(surface);
    xdg_toplevel_add_listener(toplevel, &toplevelListener, &p);
    xdg_toplevel_set_app_id(toplevel, argc > 1 ? argv[1] : "waylandpainter");
    xdg_toplevel_set_title(toplevel, "waylandpainter");
    wl_surface_commit(p.surface);
    bool told = false;
    while (!p.closed && wl_display_dispatch(display) >= 0) {
        if (p.painted && !told) {
            wl_display_roundtrip(display);
            std::printf("painted 320 240\n");
            std::fflush(stdout);
            told = true;
        }
    }
    wl_display_disconnect(display);
    return p.closed ? 0 : 1;
}
