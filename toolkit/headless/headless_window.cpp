// The headless window: one off-screen surface of the client size stands for the window, its
// device context and its pixel format; nothing is shown anywhere.
#include "toolkit/headless/headless.h"
#include "toolkit/headless/headless_control.h"

HeadlessWindow g_headless;

namespace {

bool is_window(TkHandle w) {
    return w != 0 && w == g_headless.window;
}

} // namespace

void egl_backend_set_size(int width, int height) {
    g_headless.forced_width = width > 0 && height > 0 ? width : 0;
    g_headless.forced_height = width > 0 && height > 0 ? height : 0;
}

// ---- Windows -------------------------------------------------------------------------------

TkHandle headless_create_window(const char*, const wchar_t*, int x, int y, int width, int height,
                                int default_position) {
    HeadlessWindow& w = g_headless;
    if (!w.registered || w.window != 0) return 0;
    if (w.forced_width > 0) {
        width = w.forced_width;
        height = w.forced_height;
    }
    if (width < 1 || height < 1) return 0;
    ++w.serial;
    w.window = 0x1000 + w.serial;
    w.x = default_position ? 0 : x;
    w.y = default_position ? 0 : y;
    w.width = width;
    w.height = height;
    w.format = 0;
    w.invalid = false;
    w.painting = false;
    return w.window;
}

int headless_destroy_window(TkHandle window) {
    HeadlessWindow& w = g_headless;
    if (!is_window(window)) return 0;
    PlatEvent e = {};
    e.kind = PLAT_EV_DESTROYED;
    e.window = window;
    if (w.proc) w.proc(&e);
    // Whatever the toolkit left behind goes with the window.
    headless_context_destroy();
    headless_surface_destroy();
    headless_queue_drop_window_events();
    w.window = 0;
    w.dc = 0;
    w.context = 0;
    w.format = 0;
    w.invalid = false;
    w.painting = false;
    return 1;
}

int headless_get_window_rect(TkHandle window, PlatRect* rect) {
    const HeadlessWindow& w = g_headless;
    if (!is_window(window)) return 0;
    *rect = {w.x, w.y, w.x + w.width, w.y + w.height};
    return 1;
}

int headless_get_client_rect(TkHandle window, PlatRect* rect) {
    if (!is_window(window)) return 0;
    *rect = {0, 0, g_headless.width, g_headless.height};
    return 1;
}

int headless_show_window(TkHandle window) {
    if (!is_window(window)) return 0;
    // A newly shown window is exposed: its first repaint comes before anything else.
    g_headless.invalid = true;
    return 1;
}

TkHandle headless_get_dc(TkHandle window) {
    if (!is_window(window)) return 0;
    if (g_headless.dc == 0) g_headless.dc = 0x2000 + g_headless.serial;
    return g_headless.dc;
}

int headless_release_dc(TkHandle window, TkHandle dc) {
    return is_window(window) && dc != 0 && dc == g_headless.dc;
}

// ---- Input ---------------------------------------------------------------------------------

int headless_key_held(int key) {
    return key == PLAT_KEY_SHIFT && g_headless.shift_held;
}

void headless_capture_mouse(TkHandle) {}
void headless_release_mouse() {}

int headless_get_cursor_pos(int* x, int* y) {
    *x = g_headless.x;
    *y = g_headless.y;
    return 1;
}

TkHandle headless_get_focus() {
    return g_headless.window;
}
