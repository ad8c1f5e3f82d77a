// The event queue of the Wayland backend: the seat's keys (through xkbcommon, repeated here at
// the compositor's rate, since Wayland leaves repeat to the client) and pointer, the toplevel's
// configure and close events, posted requests, and the repaint, which is a state of the window
// that comes when nothing else waits.
#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-cursor.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <cstring>

#include "toolkit/wayland/wayland.h"

namespace {

bool over_window(wl_surface* surface) {
    return surface && surface == g_wl.win.top.surface;
}
bool over_box(wl_surface* surface) {
    return surface && g_wl.box && surface == g_wl.box->surface;
}

// ---- Keyboard ---------------------------------------------------------------------------------

void drop_keymap() {
    WlKeyboard& k = g_wl.keys;
    if (k.state) xkb_state_unref(k.state);
    if (k.keymap) xkb_keymap_unref(k.keymap);
    k.state = nullptr;
    k.keymap = nullptr;
}

void on_keymap(void*, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    WlKeyboard& k = g_wl.keys;
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
        close(fd);
        return;
    }
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED) return;
    if (!k.context) k.context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap =
        k.context
            ? xkb_keymap_new_from_buffer(k.context, static_cast<const char*>(text),
                                         strnlen(static_cast<const char*>(text), size),
                                         XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS)
            : nullptr;
    munmap(text, size);
    if (!keymap) return;
    drop_keymap();
    k.keymap = keymap;
    k.state = xkb_state_new(keymap);
    k.repeat_key = 0;
}

void on_key_enter(void*, wl_keyboard*, uint32_t, wl_surface* surface, wl_array*) {
    g_wl.keys.focus = surface;
}

void on_key_leave(void*, wl_keyboard*, uint32_t, wl_surface* surface) {
    if (g_wl.keys.focus == surface) g_wl.keys.focus = nullptr;
    g_wl.keys.repeat_key = 0;
}

// One key press in one pass: the key, then the character it types, if any.
void press(uint32_t code) {
    WlKeyboard& k = g_wl.keys;
    xkb_keycode_t keycode = code + 8; // evdev codes are eight below X's
    xkb_keysym_t sym = xkb_state_key_get_one_sym(k.state, keycode);
    if (over_box(k.focus)) {
        g_wl.box_key = wl_platform_key(sym);
        return;
    }
    if (!over_window(k.focus)) return;
    wl_push(PLAT_EV_KEY_PRESSED, wl_platform_key(sym));
    uint32_t c = xkb_state_key_get_utf32(k.state, keycode);
    if (c) wl_push(PLAT_EV_CHAR_TYPED, (int)c);
}

void on_key(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t code, uint32_t state) {
    WlKeyboard& k = g_wl.keys;
    if (!k.state) return;
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED) {
        press(code);
        if (k.repeat_rate > 0 && xkb_keymap_key_repeats(k.keymap, code + 8)) {
            k.repeat_key = code;
            k.next_repeat_ms = wl_now_ms() + k.repeat_delay;
        }
    } else if (code == k.repeat_key) {
        k.repeat_key = 0;
    }
}

void on_modifiers(void*, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
                  uint32_t locked, uint32_t group) {
    if (g_wl.keys.state)
        xkb_state_update_mask(g_wl.keys.state, depressed, latched, locked, 0, 0, group);
}

void on_repeat_info(void*, wl_keyboard*, int32_t rate, int32_t delay) {
    g_wl.keys.repeat_rate = rate > 0 ? rate : 0;
    g_wl.keys.repeat_delay = delay > 0 ? delay : 0;
    if (rate <= 0) g_wl.keys.repeat_key = 0;
}

const wl_keyboard_listener k_keyboard_listener = {on_keymap, on_key_enter, on_key_leave,
                                                  on_key,    on_modifiers, on_repeat_info};

// ---- Pointer ------------------------------------------------------------------------------------

void show_arrow(wl_pointer* pointer, uint32_t serial) {
    WlPointer& m = g_wl.mouse;
    if (!m.cursor_theme && g_wl.shm) m.cursor_theme = wl_cursor_theme_load(nullptr, 24, g_wl.shm);
    if (!m.cursor_theme) return;
    wl_cursor* cursor = wl_cursor_theme_get_cursor(m.cursor_theme, "left_ptr");
    if (!cursor || cursor->image_count < 1) return;
    wl_cursor_image* image = cursor->images[0];
    wl_buffer* buffer = wl_cursor_image_get_buffer(image);
    if (!buffer) return;
    if (!m.cursor_surface) m.cursor_surface = wl_compositor_create_surface(g_wl.compositor);
    wl_pointer_set_cursor(pointer, serial, m.cursor_surface, (int32_t)image->hotspot_x,
                          (int32_t)image->hotspot_y);
    wl_surface_attach(m.cursor_surface, buffer, 0, 0);
    wl_surface_damage(m.cursor_surface, 0, 0, (int32_t)image->width, (int32_t)image->height);
    wl_surface_commit(m.cursor_surface);
}

void on_pointer_enter(void*, wl_pointer* pointer, uint32_t serial, wl_surface* surface,
                      wl_fixed_t x, wl_fixed_t y) {
    WlPointer& m = g_wl.mouse;
    m.focus = surface;
    m.x = x;
    m.y = y;
    if (over_window(surface) || over_box(surface)) show_arrow(pointer, serial);
    // The compositor tells where the pointer came in by the enter alone; as on other
    // platforms, moving into the window is a move.
    if (over_window(surface))
        wl_push(PLAT_EV_MOUSE_MOVED, wl_to_buffer(m.x), wl_to_buffer(m.y), m.held);
}

void on_pointer_leave(void*, wl_pointer*, uint32_t, wl_surface* surface) {
    if (g_wl.mouse.focus == surface) g_wl.mouse.focus = nullptr;
}

void on_motion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
    WlPointer& m = g_wl.mouse;
    m.x = x;
    m.y = y;
    if (over_window(m.focus))
        wl_push(PLAT_EV_MOUSE_MOVED, wl_to_buffer(m.x), wl_to_buffer(m.y), m.held);
}

void on_button(void*, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
    WlPointer& m = g_wl.mouse;
    int which = 0, bit = 0;
    switch (button) {
    case BTN_LEFT:
        which = PLAT_MB_LEFT;
        bit = PLAT_MK_LBUTTON;
        break;
    case BTN_RIGHT:
        which = PLAT_MB_RIGHT;
        bit = PLAT_MK_RBUTTON;
        break;
    case BTN_MIDDLE:
        which = PLAT_MB_MIDDLE;
        bit = PLAT_MK_MBUTTON;
        break;
    default:
        return;
    }
    bool down = state == WL_POINTER_BUTTON_STATE_PRESSED;
    if (down)
        m.held |= bit;
    else
        m.held &= ~bit;
    if (over_box(m.focus)) {
        if (down && which == PLAT_MB_LEFT) {
            g_wl.box_click_x = wl_fixed_to_int(m.x);
            g_wl.box_click_y = wl_fixed_to_int(m.y);
        }
        return;
    }
    if (over_window(m.focus))
        wl_push(down ? PLAT_EV_BUTTON_DOWN : PLAT_EV_BUTTON_UP, wl_to_buffer(m.x),
                wl_to_buffer(m.y), which);
}

void on_axis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void on_pointer_frame(void*, wl_pointer*) {}
void on_axis_source(void*, wl_pointer*, uint32_t) {}
void on_axis_stop(void*, wl_pointer*, uint32_t, uint32_t) {}
void on_axis_discrete(void*, wl_pointer*, uint32_t, int32_t) {}
void on_axis_value120(void*, wl_pointer*, uint32_t, int32_t) {}

const wl_pointer_listener k_pointer_listener = {
    on_pointer_enter, on_pointer_leave, on_motion,    on_button,        on_axis,
    on_pointer_frame, on_axis_source,   on_axis_stop, on_axis_discrete, on_axis_value120};

} // namespace

void wl_push(int kind, int a, int b, int c) {
    g_wl.queue.push_back(PlatEvent{kind, (TkHandle)&g_wl.win, a, b, c, 0});
}

void wl_seat_capabilities(wl_seat* seat, uint32_t capabilities) {
    // A headless seat, or one whose devices come and go, may gain its keyboard late.
    WlKeyboard& k = g_wl.keys;
    bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    if (keyboard && !k.keyboard) {
        k.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(k.keyboard, &k_keyboard_listener, nullptr);
    } else if (!keyboard && k.keyboard) {
        wl_keyboard_release(k.keyboard);
        k.keyboard = nullptr;
        k.focus = nullptr;
        k.repeat_key = 0;
    }
    WlPointer& m = g_wl.mouse;
    bool pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (pointer && !m.pointer) {
        m.pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(m.pointer, &k_pointer_listener, nullptr);
    } else if (!pointer && m.pointer) {
        wl_pointer_release(m.pointer);
        m.pointer = nullptr;
        m.focus = nullptr;
        m.held = 0;
    }
}

int wl_key_repeat_due() {
    WlKeyboard& k = g_wl.keys;
    if (!k.repeat_key || k.repeat_rate <= 0 || !k.state) return -1;
    int64_t now = wl_now_ms();
    int interval = 1000 / k.repeat_rate > 0 ? 1000 / k.repeat_rate : 1;
    // A loop that fell behind gets one repeat, not a burst of the ones it missed.
    if (now >= k.next_repeat_ms) {
        press(k.repeat_key);
        k.next_repeat_ms = now + interval;
    }
    return (int)(k.next_repeat_ms - now);
}

int wl_platform_key(xkb_keysym_t sym) {
    switch (sym) {
    case XKB_KEY_Return:
    case XKB_KEY_KP_Enter:
        return PLAT_KEY_RETURN;
    case XKB_KEY_Escape:
        return PLAT_KEY_ESCAPE;
    case XKB_KEY_space:
        return PLAT_KEY_SPACE;
    case XKB_KEY_Left:
    case XKB_KEY_KP_Left:
        return PLAT_KEY_LEFT;
    case XKB_KEY_Up:
    case XKB_KEY_KP_Up:
        return PLAT_KEY_UP;
    case XKB_KEY_Right:
    case XKB_KEY_KP_Right:
        return PLAT_KEY_RIGHT;
    case XKB_KEY_Down:
    case XKB_KEY_KP_Down:
        return PLAT_KEY_DOWN;
    case XKB_KEY_Shift_L:
    case XKB_KEY_Shift_R:
        return PLAT_KEY_SHIFT;
    case XKB_KEY_Control_L:
    case XKB_KEY_Control_R:
        return PLAT_KEY_CONTROL;
    }
    if (sym >= XKB_KEY_a && sym <= XKB_KEY_z) return (int)('A' + (sym - XKB_KEY_a));
    if (sym >= XKB_KEY_A && sym <= XKB_KEY_Z) return (int)sym;
    if (sym >= XKB_KEY_0 && sym <= XKB_KEY_9) return (int)sym;
    return PLAT_KEY_OTHER + (int)(sym & 0xFFFF);
}

// ---- The queue --------------------------------------------------------------------------------

namespace {

bool window_repaint() {
    return g_wl.win.top.surface && g_wl.win.top.configured && g_wl.win.repaint_pending;
}

} // namespace

int wayland_peek_event(int kind, TkHandle window) {
    if (kind == 0) {
        if (!g_wl.queue.empty() || g_wl.quit_posted) return 1;
        wl_pump(0);
        wl_key_repeat_due();
        return !g_wl.queue.empty() || window_repaint();
    }
    if (kind == PLAT_EV_REPAINT) return window && window == (TkHandle)&g_wl.win && window_repaint();
    for (const PlatEvent& e : g_wl.queue)
        if (e.kind == kind && e.window == window) return 1;
    return 0;
}

int wayland_get_event(PlatEvent* event) {
    for (;;) {
        if (!g_wl.queue.empty()) {
            *event = g_wl.queue.front();
            g_wl.queue.pop_front();
            return 1;
        }
        if (g_wl.quit_posted || !g_wl.display) {
            g_wl.quit_posted = false;
            *event = PlatEvent{PLAT_EV_QUIT, 0, g_wl.quit_code, 0, 0, 0};
            return 0;
        }
        if (window_repaint()) {
            *event = PlatEvent{PLAT_EV_REPAINT, (TkHandle)&g_wl.win, 0, 0, 0, 0};
            return 1;
        }
        int wait = wl_key_repeat_due();
        if (g_wl.queue.empty()) wl_pump(wait);
    }
}

int wayland_dispatch_event(const PlatEvent* event) {
    return g_wl.proc ? g_wl.proc(event) : 0;
}

int wayland_default_event(const PlatEvent*) {
    return 0;
}

void wayland_post_quit(int code) {
    g_wl.quit_posted = true;
    g_wl.quit_code = code;
}

int wayland_post_user_refresh(TkHandle window) {
    if (!window) return 0;
    g_wl.queue.push_back(PlatEvent{PLAT_EV_USER_REFRESH, window, 0, 0, 0, 0});
    return 1;
}

int wayland_invalidate(TkHandle window) {
    if (!window || window != (TkHandle)&g_wl.win || !g_wl.win.top.surface) return 0;
    g_wl.win.repaint_pending = true;
    return 1;
}

// The mark goes when painting begins: a repaint asked for while the display handler runs is a
// new one.
void wayland_begin_paint(TkHandle window) {
    if (window && window == (TkHandle)&g_wl.win) g_wl.win.repaint_pending = false;
}

void wayland_end_paint(TkHandle) {}
