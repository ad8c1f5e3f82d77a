// The compositor connection and its one-time set-up (the window class), the platform version,
// the frame metrics and the process operations of the Wayland backend.
#include <poll.h>
#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "toolkit/wayland/wayland.h"
#include "viewporter-client.h"
#include "xdg-decoration-unstable-v1-client.h"
#include "xdg-shell-client.h"
#ifdef CRANE_FRACTIONAL_SCALE
#include "fractional-scale-v1-client.h"
#endif

WlState g_wl;

namespace {

void on_ping(void*, xdg_wm_base* base, uint32_t serial) {
    xdg_wm_base_pong(base, serial);
}
const xdg_wm_base_listener k_wm_base_listener = {on_ping};

void on_seat_capabilities(void*, wl_seat* seat, uint32_t capabilities) {
    wl_seat_capabilities(seat, capabilities);
}
void on_seat_name(void*, wl_seat*, const char*) {}
const wl_seat_listener k_seat_listener = {on_seat_capabilities, on_seat_name};

uint32_t lower(uint32_t offered, uint32_t wanted) {
    return offered < wanted ? offered : wanted;
}

// Version 6 of the compositor tells a surface its preferred buffer scale, where this build's
// libwayland knows that event.
#ifdef WL_SURFACE_PREFERRED_BUFFER_SCALE_SINCE_VERSION
const uint32_t kCompositorVersion = WL_SURFACE_PREFERRED_BUFFER_SCALE_SINCE_VERSION;
#else
const uint32_t kCompositorVersion = 4;
#endif

void on_global(void*, wl_registry* registry, uint32_t name, const char* interface,
               uint32_t version) {
    if (strcmp(interface, wl_compositor_interface.name) == 0) {
        g_wl.compositor = static_cast<wl_compositor*>(wl_registry_bind(
            registry, name, &wl_compositor_interface, lower(version, kCompositorVersion)));
    } else if (strcmp(interface, wl_shm_interface.name) == 0) {
        g_wl.shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (strcmp(interface, wl_seat_interface.name) == 0 && !g_wl.seat) {
        // Version 4 announces the repeat rate.
        g_wl.seat = static_cast<wl_seat*>(
            wl_registry_bind(registry, name, &wl_seat_interface, lower(version, 5)));
        wl_seat_add_listener(g_wl.seat, &k_seat_listener, nullptr);
    } else if (strcmp(interface, xdg_wm_base_interface.name) == 0) {
        g_wl.wm_base =
            static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(g_wl.wm_base, &k_wm_base_listener, nullptr);
    } else if (strcmp(interface, zxdg_decoration_manager_v1_interface.name) == 0) {
        g_wl.decoration_manager = static_cast<zxdg_decoration_manager_v1*>(
            wl_registry_bind(registry, name, &zxdg_decoration_manager_v1_interface, 1));
    } else if (strcmp(interface, wl_output_interface.name) == 0) {
        wl_output_add(registry, name, version);
    } else if (strcmp(interface, wp_viewporter_interface.name) == 0) {
        g_wl.viewporter = static_cast<wp_viewporter*>(
            wl_registry_bind(registry, name, &wp_viewporter_interface, 1));
#ifdef CRANE_FRACTIONAL_SCALE
    } else if (strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0) {
        g_wl.fractional_manager = static_cast<wp_fractional_scale_manager_v1*>(
            wl_registry_bind(registry, name, &wp_fractional_scale_manager_v1_interface, 1));
#endif
    }
}
void on_global_remove(void*, wl_registry*, uint32_t name) {
    wl_output_remove(name);
}
const wl_registry_listener k_registry_listener = {on_global, on_global_remove};

} // namespace

bool wl_connect() {
    if (g_wl.display) return true;
    if (g_wl.connect_tried) return false;
    g_wl.connect_tried = true;
    // The socket is WAYLAND_DISPLAY (a path, or a name in XDG_RUNTIME_DIR) or "wayland-0"
    // there. Without a run-time folder only a path can name one, and asking would only print
    // the library's complaint.
    const char* name = getenv("WAYLAND_DISPLAY");
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    if (!(name && name[0] == '/') && !(runtime && *runtime)) return false;
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return false;
    g_wl.display = display;
    g_wl.registry = wl_display_get_registry(display);
    wl_registry_add_listener(g_wl.registry, &k_registry_listener, nullptr);
    // One round trip for the globals, one for what binding them sent (the seat's abilities).
    if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0) wl_lost();
    if (!g_wl.compositor || !g_wl.wm_base) {
        // Not a desktop compositor: nothing to open a window on.
        wl_display_disconnect(display);
        g_wl = WlState{};
        g_wl.connect_tried = true;
        return false;
    }
    return true;
}

void wl_lost() {
    // A lost compositor cannot be recovered from: say so on one line and end at once, so that
    // no caller hangs on a dead connection.
    static const char kMessage[] = "crane: lost the connection to the Wayland compositor\n";
    ssize_t ignored = write(2, kMessage, sizeof kMessage - 1);
    (void)ignored;
    _exit(1);
}

void wl_pump(int timeout_ms) {
    wl_display* d = g_wl.display;
    if (!d) return;
    while (wl_display_prepare_read(d) != 0)
        if (wl_display_dispatch_pending(d) < 0) wl_lost();
    if (wl_display_flush(d) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(d);
        wl_lost();
    }
    pollfd p{wl_display_get_fd(d), POLLIN, 0};
    int n;
    do {
        n = poll(&p, 1, timeout_ms);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        if (wl_display_read_events(d) < 0) wl_lost();
    } else {
        wl_display_cancel_read(d);
    }
    if (wl_display_dispatch_pending(d) < 0) wl_lost();
}

int64_t wl_now_ms() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (int64_t)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

int wayland_platform_init(PlatTable* table) {
    plat_fill_plain_settings(table);
    plat_fill_true_colour_palette(table);
#define WAYLAND_FILL(result, name, parameters) table->name = wayland_##name;
    PLAT_WINDOW_OPERATIONS(WAYLAND_FILL)
#undef WAYLAND_FILL
    return wl_connect() ? 1 : 0;
}

int wayland_register_class(int /*wide*/, PlatEventProc proc) {
    if (!wl_connect()) return 0;
    g_wl.proc = proc;
    return 1;
}

int wayland_get_version(PlatVersion* version) {
    // Not one of the versions with the short system-colour table.
    version->platform_id = PLAT_VER_PLATFORM_WIN32_NT;
    version->major = 5;
    version->minor = 0;
    return 1;
}

int wayland_get_system_metric(int) {
    // The decorations sit outside the surface, whoever draws them, and the client never learns
    // where the surface is on the screen: the client area is the window.
    return 0;
}

int wayland_adjust_window_rect(PlatRect*) {
    return 1;
}

void wayland_exit_process(int status) {
    // The destructors do not run, but what the program wrote must still reach its streams.
    fflush(nullptr);
    _exit(status);
}

void wayland_yield() {
    sched_yield();
}
