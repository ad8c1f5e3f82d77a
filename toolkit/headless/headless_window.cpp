// The headless window: one off-screen surface of the client size stands for the window, its
// device context and its pixel format; nothing is shown anywhere.
#include "toolkit/headless/headless.h"
#include "toolkit/headless/headless_control.h"

namespace {

int g_forced_width = 0, g_forced_height = 0; // 0 x 0: the size the program asks for

} // namespace

void egl_backend_set_size(int width, int height) {
    g_forced_width = width > 0 && height > 0 ? width : 0;
    g_forced_height = width > 0 && height > 0 ? height : 0;
}

// ---- Windows -------------------------------------------------------------------------------

TkHandle headless_create_window(const char*, const wchar_t*, int x, int y, int width, int height,
                                int default_position) {
    if (g_forced_width > 0) {
        width = g_forced_width;
        height = g_forced_height;
    }
    return default_position ? single_window_create(0, 0, width, height)
                            : single_window_create(x, y, width, height);
}

int headless_show_window(TkHandle window) {
    if (!single_window_is(window)) return 0;
    // A newly shown window is exposed: its first repaint comes before anything else.
    g_headless.invalid = true;
    return 1;
}

// ---- Input ---------------------------------------------------------------------------------

void headless_capture_mouse(TkHandle) {}
void headless_release_mouse() {}

int headless_get_cursor_pos(int* x, int* y) {
    *x = g_headless.x;
    *y = g_headless.y;
    return 1;
}
