// Decorated top-level surfaces, the toolkit's window on one of them, its device context and the
// input state queries.
#include <libdecor.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "toolkit/wayland/wayland.h"
#include "xdg-decoration-unstable-v1-client.h"
#include "xdg-shell-client.h"

namespace {

// The installed desktop entry's ID (crane.desktop), by which desktops find the window's name and
// icon.
const char kAppId[] = "crane";

// Sizes and state of a configure sequence, applied when it ends.
struct Pending {
    int width = 0, height = 0;
    bool activated = false;
};
Pending s_pending;

void closed(WlToplevel* top) {
    if (top == &g_wl.win.top)
        wl_push(PLAT_EV_CLOSE_REQUEST);
    else
        top->close_requested = true;
}

void configured(WlToplevel* top, int width, int height, bool activated) {
    top->configured = true;
    if (top->on_configure) top->on_configure(top, width, height, activated);
    top->activated = activated;
}

// ---- xdg-shell, with the compositor's decorations -------------------------------------------

void on_xdg_configure(void* data, xdg_surface* surface, uint32_t serial) {
    // Answered with client-side decorations, the surface is about to go to libdecor instead.
    WlToplevel* top = static_cast<WlToplevel*>(data);
    if (top->client_side && !top->configured) return;
    xdg_surface_ack_configure(surface, serial);
    configured(static_cast<WlToplevel*>(data), s_pending.width, s_pending.height,
               s_pending.activated);
}
const xdg_surface_listener k_xdg_surface_listener = {on_xdg_configure};

void on_toplevel_configure(void*, xdg_toplevel*, int32_t width, int32_t height, wl_array* states) {
    s_pending.width = width;
    s_pending.height = height;
    s_pending.activated = false;
    const uint32_t* state = static_cast<const uint32_t*>(states->data);
    for (size_t i = 0; i < states->size / sizeof *state; ++i)
        if (state[i] == XDG_TOPLEVEL_STATE_ACTIVATED) s_pending.activated = true;
}
void on_toplevel_close(void* data, xdg_toplevel*) {
    closed(static_cast<WlToplevel*>(data));
}
void on_toplevel_bounds(void*, xdg_toplevel*, int32_t, int32_t) {}
void on_toplevel_capabilities(void*, xdg_toplevel*, wl_array*) {}
const xdg_toplevel_listener k_toplevel_listener = {on_toplevel_configure, on_toplevel_close,
                                                   on_toplevel_bounds, on_toplevel_capabilities};

// The compositor's answer to the server-side mode asked for. Only the answer before the first
// configure is followed: once shown, the surface could change hands only by being unmapped
// under the running drawing.
void on_decoration_configure(void* data, zxdg_toplevel_decoration_v1*, uint32_t mode) {
    WlToplevel* top = static_cast<WlToplevel*>(data);
    if (!top->configured) top->client_side = mode == ZXDG_TOPLEVEL_DECORATION_V1_MODE_CLIENT_SIDE;
}
const zxdg_toplevel_decoration_v1_listener k_decoration_listener = {on_decoration_configure};

// ---- libdecor, where the compositor draws no decorations ------------------------------------

void on_decor_error(libdecor*, libdecor_error, const char* message) {
    fprintf(stderr, "crane: window decorations: %s\n", message);
}

libdecor_interface* decor_interface() {
    static libdecor_interface iface{};
    iface.error = on_decor_error;
    return &iface;
}

void on_frame_configure(libdecor_frame* frame, libdecor_configuration* configuration, void* data) {
    WlToplevel* top = static_cast<WlToplevel*>(data);
    int width = 0, height = 0;
    if (!libdecor_configuration_get_content_size(configuration, frame, &width, &height))
        width = height = 0;
    libdecor_window_state state = LIBDECOR_WINDOW_STATE_NONE;
    libdecor_configuration_get_window_state(configuration, &state);
    // The size in force afterwards: the asked one, or the client's own.
    int w = width > 0 ? width : top->width, h = height > 0 ? height : top->height;
    libdecor_state* committed = libdecor_state_new(w, h);
    libdecor_frame_commit(frame, committed, configuration);
    libdecor_state_free(committed);
    configured(top, width, height, (state & LIBDECOR_WINDOW_STATE_ACTIVE) != 0);
}
void on_frame_close(libdecor_frame*, void* data) {
    closed(static_cast<WlToplevel*>(data));
}
void on_frame_commit(libdecor_frame*, void* data) {
    // The decorations changed: they show with the surface's next commit.
    WlToplevel* top = static_cast<WlToplevel*>(data);
    if (top == &g_wl.win.top)
        g_wl.win.repaint_pending = true;
    else if (top->surface)
        wl_surface_commit(top->surface);
}
void on_frame_dismiss_popup(libdecor_frame*, const char*, void*) {}
libdecor_frame_interface* frame_interface() {
    static libdecor_frame_interface iface{};
    iface.configure = on_frame_configure;
    iface.close = on_frame_close;
    iface.commit = on_frame_commit;
    iface.dismiss_popup = on_frame_dismiss_popup;
    return &iface;
}

std::string utf8_of(const wchar_t* text) {
    std::string out;
    char buffer[8];
    for (; *text; ++text) {
        uint32_t c = (uint32_t)*text;
        int n = 0;
        if (c < 0x80) {
            buffer[n++] = (char)c;
        } else if (c < 0x800) {
            buffer[n++] = (char)(0xC0 | (c >> 6));
            buffer[n++] = (char)(0x80 | (c & 0x3F));
        } else {
            int extra = c < 0x10000 ? 2 : 3;
            buffer[n++] = (char)((extra == 2 ? 0xE0 : 0xF0) | (c >> (6 * extra)));
            for (int k = extra - 1; k >= 0; --k)
                buffer[n++] = (char)(0x80 | ((c >> (6 * k)) & 0x3F));
        }
        out.append(buffer, n);
    }
    return out;
}

void window_configured(WlToplevel* top, int width, int height, bool activated) {
    if (width > 0 && height > 0 && (width != top->width || height != top->height)) {
        top->width = width;
        top->height = height;
        wl_scale_fit_window();
    }
    if (activated != top->activated) wl_push(PLAT_EV_ACTIVATE, activated ? 1 : 0, 0);
}

bool is_window(TkHandle window) {
    return window && window == (TkHandle)&g_wl.win && g_wl.win.top.surface;
}

// Gives the surface a libdecor frame with the toplevel's title and the application's ID.
bool decorate(WlToplevel* top) {
    if (!g_wl.decor) g_wl.decor = libdecor_new(g_wl.display, decor_interface());
    if (!g_wl.decor) return false;
    top->frame = libdecor_decorate(g_wl.decor, top->surface, frame_interface(), top);
    if (!top->frame) return false;
    libdecor_frame_set_title(top->frame, top->title.c_str());
    libdecor_frame_set_app_id(top->frame, kAppId);
    if (top->parent && top->parent->frame)
        libdecor_frame_set_parent(top->frame, top->parent->frame);
    return true;
}

// The compositor offers xdg-decoration but wants the client to draw: the surface, not yet
// mapped, leaves its xdg objects for a libdecor frame.
bool move_to_libdecor(WlToplevel* top) {
    zxdg_toplevel_decoration_v1_destroy(top->decoration);
    top->decoration = nullptr;
    xdg_toplevel_destroy(top->toplevel);
    top->toplevel = nullptr;
    xdg_surface_destroy(top->xdg);
    top->xdg = nullptr;
    if (!decorate(top)) return false;
    libdecor_frame_map(top->frame);
    return true;
}

} // namespace

bool wl_toplevel_create(WlToplevel* top, const char* title) {
    if (!wl_connect()) return false;
    top->surface = wl_compositor_create_surface(g_wl.compositor);
    if (!top->surface) return false;
    top->title = title;
    if (g_wl.decoration_manager) {
        top->xdg = xdg_wm_base_get_xdg_surface(g_wl.wm_base, top->surface);
        xdg_surface_add_listener(top->xdg, &k_xdg_surface_listener, top);
        top->toplevel = xdg_surface_get_toplevel(top->xdg);
        xdg_toplevel_add_listener(top->toplevel, &k_toplevel_listener, top);
        xdg_toplevel_set_title(top->toplevel, title);
        xdg_toplevel_set_app_id(top->toplevel, kAppId);
        top->decoration = zxdg_decoration_manager_v1_get_toplevel_decoration(
            g_wl.decoration_manager, top->toplevel);
        zxdg_toplevel_decoration_v1_add_listener(top->decoration, &k_decoration_listener, top);
        zxdg_toplevel_decoration_v1_set_mode(top->decoration,
                                             ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE);
        return true;
    }
    if (!decorate(top)) {
        wl_surface_destroy(top->surface);
        top->surface = nullptr;
        return false;
    }
    return true;
}

void wl_toplevel_set_parent(WlToplevel* top, WlToplevel* parent) {
    top->parent = parent;
    if (top->frame && parent->frame)
        libdecor_frame_set_parent(top->frame, parent->frame);
    else if (top->toplevel && parent->toplevel)
        xdg_toplevel_set_parent(top->toplevel, parent->toplevel);
}

bool wl_toplevel_show(WlToplevel* top) {
    if (top->frame)
        libdecor_frame_map(top->frame);
    else
        wl_surface_commit(top->surface);
    // Nothing may be drawn before the compositor has said how it wants the window.
    while (!top->configured) {
        wl_pump(-1);
        if (top->client_side && !top->frame && !move_to_libdecor(top)) return false;
    }
    return true;
}

void wl_toplevel_destroy(WlToplevel* top) {
    if (top->frame) libdecor_frame_unref(top->frame);
    if (top->decoration) zxdg_toplevel_decoration_v1_destroy(top->decoration);
    if (top->toplevel) xdg_toplevel_destroy(top->toplevel);
    if (top->xdg) xdg_surface_destroy(top->xdg);
    if (top->surface) {
        if (g_wl.keys.focus == top->surface) g_wl.keys.focus = nullptr;
        if (g_wl.mouse.focus == top->surface) g_wl.mouse.focus = nullptr;
        wl_surface_destroy(top->surface);
    }
    *top = WlToplevel{};
    if (g_wl.display) wl_display_flush(g_wl.display);
}

TkHandle wayland_create_window(const char* title, const wchar_t* wide_title, int x, int y,
                               int width, int height, int default_position) {
    if (!wl_connect() || width <= 0 || height <= 0 || g_wl.win.top.surface) return 0;
    std::string name = title ? std::string(title) : utf8_of(wide_title);
    g_wl.win = WlWindow{};
    WlToplevel& top = g_wl.win.top;
    top.width = width;
    top.height = height;
    top.on_configure = window_configured;
    if (!wl_toplevel_create(&top, name.c_str())) {
        g_wl.win = WlWindow{};
        return 0;
    }
    // A Wayland client cannot place itself: the asked position stands for the record only.
    g_wl.win.x = default_position ? 0 : x;
    g_wl.win.y = default_position ? 0 : y;
    // Until the surface is on an output its buffer has the size asked for.
    g_wl.win.buffer_width = width;
    g_wl.win.buffer_height = height;
    wl_scale_watch_window();
    return (TkHandle)&g_wl.win;
}

int wayland_destroy_window(TkHandle window) {
    if (!is_window(window)) return 0;
    // The toolkit's teardown runs while the window still exists.
    if (g_wl.proc) {
        PlatEvent event{PLAT_EV_DESTROYED, window, 0, 0, 0, 0};
        g_wl.proc(&event);
    }
    wl_egl_release_window();
    wl_scale_release_window();
    wl_toplevel_destroy(&g_wl.win.top);
    g_wl.win = WlWindow{};
    for (auto it = g_wl.queue.begin(); it != g_wl.queue.end();) {
        if (it->window == window)
            it = g_wl.queue.erase(it);
        else
            ++it;
    }
    g_wl.keys.repeat_key = 0;
    return 1;
}

int wayland_get_window_rect(TkHandle window, PlatRect* rect) {
    if (!is_window(window)) return 0;
    // The window is its client area, in the pixels it is drawn in.
    const WlWindow& w = g_wl.win;
    *rect = PlatRect{w.x, w.y, w.x + w.buffer_width, w.y + w.buffer_height};
    return 1;
}

int wayland_get_client_rect(TkHandle window, PlatRect* rect) {
    if (!is_window(window)) return 0;
    *rect = PlatRect{0, 0, g_wl.win.buffer_width, g_wl.win.buffer_height};
    return 1;
}

int wayland_show_window(TkHandle window) {
    if (!is_window(window)) return 0;
    if (g_wl.win.top.configured) return 1;
    if (!wl_toplevel_show(&g_wl.win.top)) return 0;
    // The first configure asks for the first picture.
    g_wl.win.repaint_pending = true;
    return 1;
}

TkHandle wayland_get_dc(TkHandle window) {
    return is_window(window) ? (TkHandle)&g_wl.win.top : 0;
}

int wayland_release_dc(TkHandle, TkHandle dc) {
    return dc == (TkHandle)&g_wl.win.top ? 1 : 0;
}

int wayland_key_held(int key) {
    xkb_state* state = g_wl.keys.state;
    if (!state) return 0;
    const char* name = key == PLAT_KEY_SHIFT     ? XKB_MOD_NAME_SHIFT
                       : key == PLAT_KEY_CONTROL ? XKB_MOD_NAME_CTRL
                                                 : nullptr;
    return name && xkb_state_mod_name_is_active(state, name, XKB_STATE_MODS_EFFECTIVE) > 0 ? 1 : 0;
}

// While a button is held the compositor sends the pointer's events to the window anyway.
void wayland_capture_mouse(TkHandle) {}
void wayland_release_mouse() {}

int wayland_get_cursor_pos(int* x, int* y) {
    // Only the position over the window is known; the window stands where it was asked to.
    if (!g_wl.win.top.surface || g_wl.mouse.focus != g_wl.win.top.surface) return 0;
    *x = g_wl.win.x + wl_to_buffer(g_wl.mouse.x);
    *y = g_wl.win.y + wl_to_buffer(g_wl.mouse.y);
    return 1;
}

TkHandle wayland_get_focus() {
    if (g_wl.win.top.surface && g_wl.keys.focus == g_wl.win.top.surface) return (TkHandle)&g_wl.win;
    return 0;
}
