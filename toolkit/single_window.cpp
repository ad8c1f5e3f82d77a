#include "toolkit/single_window.h"

SingleWindow g_single_window;

namespace {

SingleWindow& w = g_single_window;

// After the window: no handles, no format, nothing to repaint.
void forget_window() {
    w.window = 0;
    w.dc = 0;
    w.context = 0;
    w.format = 0;
    w.invalid = false;
    w.painting = false;
}

} // namespace

int single_window_fill(PlatTable* table, bool (*available)(), void (*release)()) {
    plat_fill_plain_settings(table);
    plat_fill_true_colour_palette(table);
#define SINGLE_WINDOW_FILL_SHARED(name) SINGLE_WINDOW_FILL(single_window, name)
    SINGLE_WINDOW_OPERATIONS(SINGLE_WINDOW_FILL_SHARED)
#undef SINGLE_WINDOW_FILL_SHARED
    w.available = available;
    w.release = release;
    return available();
}

TkHandle single_window_create(int x, int y, int width, int height) {
    if (!w.registered || w.window != 0 || width < 1 || height < 1) return 0;
    ++w.serial;
    forget_window();
    w.window = 0x1000 + w.serial;
    w.x = x;
    w.y = y;
    w.width = width;
    w.height = height;
    return w.window;
}

bool single_window_is(TkHandle window) {
    return window != 0 && window == w.window;
}

bool single_window_needs_repaint() {
    return w.window != 0 && w.invalid;
}

void single_window_take_repaint(PlatEvent* event) {
    *event = PlatEvent{};
    event->kind = PLAT_EV_REPAINT;
    event->window = w.window;
    w.shift_held = w.control_held = false;
}

// ---- Platform operations -------------------------------------------------------------------

// The class is the backend's window system: it registers when that answers.
int single_window_register_class(int, PlatEventProc proc) {
    if (!w.available || !w.available()) return 0;
    w.registered = true;
    w.proc = proc;
    return 1;
}

int single_window_get_version(PlatVersion* version) {
    *version = PlatVersion{PLAT_VER_PLATFORM_WIN32_NT, 10, 0};
    return 1;
}

// An undecorated window: no frame, caption or border.
int single_window_get_system_metric(int) {
    return 0;
}
int single_window_adjust_window_rect(PlatRect*) {
    return 1;
}

int single_window_destroy_window(TkHandle window) {
    if (!single_window_is(window)) return 0;
    PlatEvent e = {};
    e.kind = PLAT_EV_DESTROYED;
    e.window = window;
    if (w.proc) w.proc(&e);
    // Whatever the toolkit left behind goes with the window.
    if (w.release) w.release();
    forget_window();
    return 1;
}

int single_window_get_window_rect(TkHandle window, PlatRect* rect) {
    if (!single_window_is(window)) return 0;
    *rect = {w.x, w.y, w.x + w.width, w.y + w.height};
    return 1;
}

int single_window_get_client_rect(TkHandle window, PlatRect* rect) {
    if (!single_window_is(window)) return 0;
    *rect = {0, 0, w.width, w.height};
    return 1;
}

TkHandle single_window_get_dc(TkHandle window) {
    if (!single_window_is(window)) return 0;
    if (w.dc == 0) w.dc = 0x2000 + w.serial;
    return w.dc;
}

int single_window_release_dc(TkHandle window, TkHandle dc) {
    return single_window_is(window) && dc != 0 && dc == w.dc;
}

int single_window_dispatch_event(const PlatEvent* event) {
    return w.proc ? w.proc(event) : 0;
}

int single_window_default_event(const PlatEvent* event) {
    // The default handling of a close request is to destroy the window.
    if (event->kind == PLAT_EV_CLOSE_REQUEST && event->window != 0)
        return single_window_destroy_window(event->window);
    return 0;
}

int single_window_invalidate(TkHandle window) {
    if (!single_window_is(window)) return 0;
    w.invalid = true;
    return 1;
}

void single_window_begin_paint(TkHandle window) {
    if (!single_window_is(window)) return;
    w.painting = true;
    w.invalid = false; // a request made while painting asks for one more repaint
}

void single_window_end_paint(TkHandle) {
    w.painting = false;
}

int single_window_key_held(int key) {
    if (key == PLAT_KEY_SHIFT) return w.shift_held;
    if (key == PLAT_KEY_CONTROL) return w.control_held;
    return 0;
}

TkHandle single_window_get_focus() {
    return w.window;
}
