// The toolkit's interface layer (display mode, opening with its fallback, key and mouse
// tables, handler registration) and the window layer's loop and window procedure.
#include "toolkit/tk.h"

#include <GL/gl.h>

#include "toolkit/platform.h"
#include "toolkit/tk_palette.h"
#include "toolkit/tk_window.h"

// ---- Interface-layer state ----------------------------------------------------------------

namespace {

struct KeyBinding {
    int key;
    TkVoidHandler handler;
};

struct MouseBinding {
    int button;
    TkMouseHandler handler;
};

// Holds the Escape binding of every open plus the application's own bindings.
const int kKeyCapacity = 64;
const int kMouseCapacity = 20;

// The last mode given to tk_set_display_mode; the fallback reads it.
int s_mode_record = 0;

KeyBinding s_keys[kKeyCapacity];
int s_key_count = 0;

// One table per mouse event kind: down (16), up (32), move (64).
MouseBinding s_mouse[3][kMouseCapacity];
int s_mouse_count[3] = {0, 0, 0};

int mouse_table(int kind) {
    switch (kind) {
    case TK_MOUSE_DOWN:
        return 0;
    case TK_MOUSE_UP:
        return 1;
    case TK_MOUSE_MOVE:
        return 2;
    }
    return -1;
}

const char kFallbackWarning[] = "Can't initialize a single buffer visual. Will use a double "
                                "buffer visual instead, only drawing into the front buffer.";

// ---- Dispatchers that fill the window layer's key and mouse slots ---------------------------

int dispatch_key(int key, int /*status*/) {
    if (s_key_count == 0) return 0;
    int ran = 0;
    // The count is re-read after every call: a handler may bind more keys.
    for (int i = 0; i < s_key_count; ++i) {
        if (s_keys[i].key == key) {
            s_keys[i].handler();
            ran = 1;
        }
    }
    return ran;
}

int dispatch_mouse(int table, int kind, int x, int y, int buttons) {
    if (s_mouse_count[table] == 0) return 0;
    static const int kOrder[3] = {TK_BUTTON_LEFT, TK_BUTTON_RIGHT, TK_BUTTON_MIDDLE};
    int ran = 0;
    for (int i = 0; i < s_mouse_count[table]; ++i) {
        for (int b : kOrder) {
            if ((buttons & b) && s_mouse[table][i].button == b) {
                TkEvent event;
                event.kind = kind;
                event.data[0] = x;
                event.data[1] = y;
                event.data[2] = 0;
                event.data[3] = b;
                s_mouse[table][i].handler(&event);
                ran = 1;
            }
        }
    }
    return ran;
}

int dispatch_mouse_down(int x, int y, int buttons) {
    return dispatch_mouse(0, TK_MOUSE_DOWN, x, y, buttons);
}
int dispatch_mouse_up(int x, int y, int buttons) {
    return dispatch_mouse(1, TK_MOUSE_UP, x, y, buttons);
}
int dispatch_mouse_move(int x, int y, int buttons) {
    return dispatch_mouse(2, TK_MOUSE_MOVE, x, y, buttons);
}

int open_window(const void* title, bool wide) {
    bool front_buffer = false;
    if (!tk_win_open(title, wide)) {
        if (s_mode_record & TK_MODE_DOUBLE) return 0;
        g_tk_win.display_mode = s_mode_record | TK_MODE_DOUBLE;
        if (!tk_win_open(title, wide)) return 0;
        if (g_tk_win.error_boxes)
            plat().message_box(plat().get_focus(), kFallbackWarning, "Warning");
        s_mode_record |= TK_MODE_DOUBLE;
        front_buffer = true;
    }

    tk_win_on_reshape(tk_default_reshape);
    tk_win_on_mouse_up(dispatch_mouse_up);
    tk_win_on_mouse_down(dispatch_mouse_down);
    tk_win_on_mouse_move(dispatch_mouse_move);
    tk_win_on_key(dispatch_key);

    tk_bind_key(TK_KEY_ESCAPE, tk_quit);

    glClearColor(0, 0, 0, 1);
    glClearIndex(0);
    glLoadIdentity();
    if (front_buffer) glDrawBuffer(GL_FRONT);
    return 1;
}

} // namespace

// ---- Interface layer ----------------------------------------------------------------------

void tk_set_display_mode(int mode) {
    s_mode_record = mode;
    g_tk_win.display_mode = mode;
}

int tk_open_window(const char* title) {
    return open_window(title, false);
}

int tk_open_window_wide(const wchar_t* title) {
    return open_window(title, true);
}

void tk_close_window() {
    tk_win_destroy();
    s_key_count = 0;
    s_mouse_count[0] = s_mouse_count[1] = s_mouse_count[2] = 0;
}

void tk_bind_key(int key, TkVoidHandler handler) {
    s_keys[s_key_count].key = key;
    s_keys[s_key_count].handler = handler;
    ++s_key_count;
}

void tk_bind_mouse(int button, int kind, TkMouseHandler handler) {
    int t = mouse_table(kind);
    if (t < 0) return;
    s_mouse[t][s_mouse_count[t]].button = button;
    s_mouse[t][s_mouse_count[t]].handler = handler;
    ++s_mouse_count[t];
}

void tk_on_reshape(TkReshapeHandler handler) {
    tk_win_on_reshape(handler);
}

void tk_on_idle(TkVoidHandler handler) {
    tk_win_on_idle(handler);
}

void tk_run(TkVoidHandler display) {
    tk_win_on_display(display);
    tk_win_run();
}

int tk_swap_buffers() {
    return plat().swap_buffers(g_tk_win.dc);
}

void tk_quit() {
    tk_win_destroy();
    plat().exit_process(0);
}

void tk_default_reshape(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

TkHandle tk_get_window() {
    return g_tk_win.window;
}
TkHandle tk_get_device_context() {
    return g_tk_win.dc;
}
TkHandle tk_get_gl_context() {
    return g_tk_win.gl_context;
}
int tk_get_display_mode() {
    return g_tk_win.display_mode;
}

// ---- Window layer: slots, loop and window procedure -----------------------------------------

TkWindowSlots g_tk_slots;

void tk_win_on_reshape(TkWinReshapeHandler handler) {
    g_tk_slots.reshape = handler;
}
void tk_win_on_display(TkWinDisplayHandler handler) {
    g_tk_slots.display = handler;
}
void tk_win_on_key(TkWinKeyHandler handler) {
    g_tk_slots.key = handler;
}
void tk_win_on_mouse_down(TkWinMouseHandler handler) {
    g_tk_slots.mouse_down = handler;
}
void tk_win_on_mouse_up(TkWinMouseHandler handler) {
    g_tk_slots.mouse_up = handler;
}
void tk_win_on_mouse_move(TkWinMouseHandler handler) {
    g_tk_slots.mouse_move = handler;
}
void tk_win_on_idle(TkWinIdleHandler handler) {
    g_tk_slots.idle = handler;
}

void tk_request_redraw() {
    if (!g_tk_win.window) return;
    // A repaint already queued covers this request too.
    if (!plat().peek_event(PLAT_EV_REPAINT, g_tk_win.window)) plat().invalidate(g_tk_win.window);
}

void tk_win_destroy() {
    if (g_tk_win.window) plat().destroy_window(g_tk_win.window);
}

void tk_win_release() {
    if (g_tk_win.palette) tk_palette_release();
    if (g_tk_win.gl_context) {
        plat().gl_make_current(0, 0);
        plat().gl_delete_context(g_tk_win.gl_context);
    }
    if (g_tk_win.dc) plat().release_dc(g_tk_win.window, g_tk_win.dc);
    g_tk_win.window = 0;
    g_tk_win.dc = 0;
    g_tk_win.gl_context = 0;
    g_tk_win.palette = 0;
    g_tk_slots = TkWindowSlots{};
}

namespace {

bool take_and_dispatch() {
    PlatEvent event;
    if (!plat().get_event(&event)) return false;
    plat().dispatch_event(&event);
    return true;
}

int key_code(int platform_key) {
    switch (platform_key) {
    case PLAT_KEY_RETURN:
        return TK_KEY_RETURN;
    case PLAT_KEY_ESCAPE:
        return TK_KEY_ESCAPE;
    case PLAT_KEY_SPACE:
        return TK_KEY_SPACE;
    case PLAT_KEY_LEFT:
        return TK_KEY_LEFT;
    case PLAT_KEY_UP:
        return TK_KEY_UP;
    case PLAT_KEY_RIGHT:
        return TK_KEY_RIGHT;
    case PLAT_KEY_DOWN:
        return TK_KEY_DOWN;
    }
    return 0;
}

int char_code(int c) {
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return c;
    return 0;
}

void deliver_key(int code) {
    if (code == 0 || !g_tk_slots.key) return;
    int status = 0;
    if (plat().key_held(PLAT_KEY_CONTROL)) status |= TK_CONTROL;
    if (plat().key_held(PLAT_KEY_SHIFT)) status |= TK_SHIFT;
    if (g_tk_slots.key(code, status)) tk_request_redraw();
}

void deliver_mouse(TkWinMouseHandler handler, int x, int y, int buttons) {
    if (handler && handler(x, y, buttons)) tk_request_redraw();
}

int button_bit(int platform_button) {
    switch (platform_button) {
    case PLAT_MB_LEFT:
        return TK_BUTTON_LEFT;
    case PLAT_MB_RIGHT:
        return TK_BUTTON_RIGHT;
    case PLAT_MB_MIDDLE:
        return TK_BUTTON_MIDDLE;
    }
    return 0;
}

} // namespace

void tk_win_run() {
    if (g_tk_slots.reshape) {
        PlatRect r{0, 0, 0, 0};
        plat().get_client_rect(g_tk_win.window, &r);
        g_tk_slots.reshape(r.right - r.left, r.bottom - r.top);
    }
    for (;;) {
        if (g_tk_slots.idle) {
            while (plat().peek_event(0, 0)) {
                if (!take_and_dispatch()) return;
            }
            // A dispatched event may have emptied the slot; then the next pass blocks.
            if (g_tk_slots.idle) g_tk_slots.idle();
        } else {
            if (!take_and_dispatch()) return;
        }
    }
}

int tk_win_proc(const PlatEvent* event) {
    switch (event->kind) {
    case PLAT_EV_MOVED:
        g_tk_win.x = event->a;
        g_tk_win.y = event->b;
        return 1;
    case PLAT_EV_RESIZED:
        g_tk_win.width = event->a;
        g_tk_win.height = event->b;
        if (g_tk_slots.reshape) {
            g_tk_slots.reshape(event->a, event->b);
            tk_request_redraw();
        }
        return 1;
    case PLAT_EV_REPAINT:
        plat().begin_paint(event->window);
        if (g_tk_slots.display) g_tk_slots.display();
        plat().end_paint(event->window);
        return 1;
    case PLAT_EV_CLOSE_REQUEST:
        plat().destroy_window(event->window);
        return 1;
    case PLAT_EV_DESTROYED:
        tk_win_release();
        // The half-made window of a failed open must not end a loop yet to come.
        if (!g_tk_win.opening) plat().post_quit(1);
        return 1;
    case PLAT_EV_KEY_PRESSED:
        deliver_key(key_code(event->a));
        return 1;
    case PLAT_EV_CHAR_TYPED:
        deliver_key(char_code(event->a));
        return 1;
    case PLAT_EV_MOUSE_MOVED: {
        int buttons = 0;
        if (event->c & PLAT_MK_LBUTTON) buttons |= TK_BUTTON_LEFT;
        if (event->c & PLAT_MK_MBUTTON) buttons |= TK_BUTTON_MIDDLE;
        if (event->c & PLAT_MK_RBUTTON) buttons |= TK_BUTTON_RIGHT;
        deliver_mouse(g_tk_slots.mouse_move, event->a, event->b, buttons);
        return 1;
    }
    case PLAT_EV_BUTTON_DOWN:
        plat().capture_mouse(event->window);
        deliver_mouse(g_tk_slots.mouse_down, event->a, event->b, button_bit(event->c));
        return 1;
    case PLAT_EV_BUTTON_UP:
        plat().release_mouse();
        deliver_mouse(g_tk_slots.mouse_up, event->a, event->b, button_bit(event->c));
        return 1;
    case PLAT_EV_ACTIVATE:
        if (tk_palette_on_activate(event)) return 1;
        return plat().default_event(event);
    case PLAT_EV_PALETTE_CHANGED:
        tk_palette_on_palette_changed(event);
        return 1;
    case PLAT_EV_USER_REFRESH:
        tk_palette_on_refresh(event);
        return 1;
    }
    return plat().default_event(event);
}
