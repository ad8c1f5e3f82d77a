// The simulated window, its device context and the input state a test sets.
#include "tests/support/sim/sim.h"

// ---- Windows --------------------------------------------------------------------------------

TkHandle sim_create_window(const char* title, const wchar_t* wide_title, int x, int y, int width,
                           int height, int default_position) {
    if (sim_call("create_window %d %d %d %d %d", x, y, width, height, default_position)) return 0;
    if (default_position) {
        x = sim.default_x;
        y = sim.default_y;
    }
    sim.window = sim.next_handle++;
    sim.window_rect = PlatRect{x, y, x + width, y + height};
    sim.client_width = width - 2 * sim.cx_frame;
    sim.client_height = height - (sim.cy_caption - sim.cy_border + 2 * sim.cy_frame);
    sim.title.clear();
    if (title) sim.title = title;
    if (wide_title)
        for (const wchar_t* p = wide_title; *p; ++p)
            sim.title += (char)*p;
    sim.visible = false;
    sim.current_format = 0;
    return sim.window;
}

int sim_destroy_window(TkHandle window) {
    if (sim_call("destroy_window %lu", (unsigned long)window)) return 0;
    if (!window || window != sim.window) return 0;
    if (sim.proc) {
        PlatEvent event{PLAT_EV_DESTROYED, window, 0, 0, 0, 0};
        sim.proc(&event);
    }
    sim_call("window_gone %lu", (unsigned long)window);
    sim.window = 0;
    sim.visible = false;
    sim.repaint_pending = false;
    return 1;
}

int sim_get_window_rect(TkHandle window, PlatRect* rect) {
    if (sim_call("get_window_rect %lu", (unsigned long)window) || window != sim.window) return 0;
    *rect = sim.window_rect;
    return 1;
}

int sim_get_client_rect(TkHandle window, PlatRect* rect) {
    if (sim_call("get_client_rect %lu", (unsigned long)window) || window != sim.window) return 0;
    *rect = PlatRect{0, 0, sim.client_width, sim.client_height};
    return 1;
}

int sim_show_window(TkHandle window) {
    if (sim_call("show_window %lu", (unsigned long)window)) return 0;
    sim.visible = window == sim.window;
    return 1;
}

TkHandle sim_get_dc(TkHandle window) {
    if (sim_call("get_dc %lu", (unsigned long)window) || window != sim.window) return 0;
    sim.dc = sim.next_handle++;
    return sim.dc;
}

int sim_release_dc(TkHandle window, TkHandle dc) {
    if (sim_call("release_dc %lu %lu", (unsigned long)window, (unsigned long)dc)) return 0;
    if (dc == sim.dc) sim.dc = 0;
    return 1;
}

// ---- Input -----------------------------------------------------------------------------------

int sim_key_held(int key) {
    sim_call("key_held %d", key);
    if (key == PLAT_KEY_SHIFT) return sim.shift_held;
    if (key == PLAT_KEY_CONTROL) return sim.control_held;
    return 0;
}

void sim_capture_mouse(TkHandle window) {
    sim_call("capture_mouse %lu", (unsigned long)window);
    sim.capture = window;
}

void sim_release_mouse() {
    sim_call("release_mouse");
    sim.capture = 0;
}

int sim_get_cursor_pos(int* x, int* y) {
    if (sim_call("get_cursor_pos")) return 0;
    *x = sim.cursor_x;
    *y = sim.cursor_y;
    return 1;
}

TkHandle sim_get_focus() {
    sim_call("get_focus");
    return sim.focus;
}
