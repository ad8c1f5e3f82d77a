// The event queue of the X11 backend: X events become the toolkit's events, posted requests
// queue behind them, and the repaint is a state of the window that comes when nothing else
// waits.
#include <X11/keysym.h>

#include "toolkit/x11/x11.h"

namespace {

void push(int kind, int a = 0, int b = 0, int c = 0) {
    g_x11.queue.push_back(PlatEvent{kind, (TkHandle)g_x11.win.top, a, b, c, 0});
}

bool ours(Window w) {
    return w && (w == g_x11.win.top || w == g_x11.win.gl);
}

int platform_key(KeySym sym) {
    switch (sym) {
    case XK_Return:
    case XK_KP_Enter:
        return PLAT_KEY_RETURN;
    case XK_Escape:
        return PLAT_KEY_ESCAPE;
    case XK_space:
        return PLAT_KEY_SPACE;
    case XK_Left:
    case XK_KP_Left:
        return PLAT_KEY_LEFT;
    case XK_Up:
    case XK_KP_Up:
        return PLAT_KEY_UP;
    case XK_Right:
    case XK_KP_Right:
        return PLAT_KEY_RIGHT;
    case XK_Down:
    case XK_KP_Down:
        return PLAT_KEY_DOWN;
    case XK_Shift_L:
    case XK_Shift_R:
        return PLAT_KEY_SHIFT;
    case XK_Control_L:
    case XK_Control_R:
        return PLAT_KEY_CONTROL;
    }
    if (sym >= XK_a && sym <= XK_z) return (int)('A' + (sym - XK_a));
    if (sym >= XK_0 && sym <= XK_9) return (int)('0' + (sym - XK_0));
    return PLAT_KEY_OTHER + (int)(sym & 0xFFFF);
}

// Shift and Control as they stand after this event (the state field is the one before it).
void track_modifiers(unsigned int state, KeySym sym, bool press) {
    unsigned int m = state & (ShiftMask | ControlMask);
    unsigned int own = 0;
    if (sym == XK_Shift_L || sym == XK_Shift_R) own = ShiftMask;
    if (sym == XK_Control_L || sym == XK_Control_R) own = ControlMask;
    if (press)
        m |= own;
    else
        m &= ~own;
    g_x11.modifiers = m;
}

int held_buttons(unsigned int state) {
    int held = 0;
    if (state & Button1Mask) held |= PLAT_MK_LBUTTON;
    if (state & Button2Mask) held |= PLAT_MK_MBUTTON;
    if (state & Button3Mask) held |= PLAT_MK_RBUTTON;
    return held;
}

int button_of(unsigned int button) {
    switch (button) {
    case Button1:
        return PLAT_MB_LEFT;
    case Button2:
        return PLAT_MB_MIDDLE;
    case Button3:
        return PLAT_MB_RIGHT;
    }
    return 0;
}

void configure(const XConfigureEvent& e) {
    X11Window& w = g_x11.win;
    if (e.window != w.top) return;
    int x = e.x, y = e.y;
    if (!e.send_event && g_x11.window_manager) {
        // Reparented: the event's position is within the frame, not on the screen.
        Window child;
        XTranslateCoordinates(g_x11.display, w.top, DefaultRootWindow(g_x11.display), 0, 0, &x, &y,
                              &child);
    }
    if (x != w.x || y != w.y) {
        w.x = x;
        w.y = y;
        push(PLAT_EV_MOVED, x, y);
    }
    if (e.width != w.width || e.height != w.height) {
        w.width = e.width;
        w.height = e.height;
        if (w.gl) XResizeWindow(g_x11.display, w.gl, e.width, e.height);
        push(PLAT_EV_RESIZED, e.width, e.height);
    }
}

} // namespace

void x11_convert(const XEvent& event) {
    X11Window& w = g_x11.win;
    switch (event.type) {
    case Expose:
        if (ours(event.xexpose.window) && event.xexpose.count == 0) w.repaint_pending = true;
        break;
    case ConfigureNotify:
        configure(event.xconfigure);
        break;
    case MapNotify:
        if (event.xmap.window == w.top) w.minimized = false;
        break;
    case UnmapNotify:
        if (event.xunmap.window == w.top) w.minimized = true;
        break;
    case ClientMessage:
        if (event.xclient.window == w.top && event.xclient.message_type == g_x11.wm_protocols &&
            (Atom)event.xclient.data.l[0] == g_x11.wm_delete_window)
            push(PLAT_EV_CLOSE_REQUEST);
        break;
    case KeyPress: {
        if (!ours(event.xkey.window)) break;
        XKeyEvent key = event.xkey;
        KeySym sym = XLookupKeysym(&key, 0);
        // A keypad key means what NumLock makes of it: a digit (which comes as the typed
        // character alone) or an arrow.
        if (IsKeypadKey(sym) || IsPrivateKeypadKey(sym)) {
            char text[8];
            XLookupString(&key, text, sizeof text, &sym, nullptr);
        }
        track_modifiers(key.state, sym, true);
        push(PLAT_EV_KEY_PRESSED, platform_key(sym));
        // The characters it types follow the key at once, from the same event.
        char text[8];
        int n = XLookupString(&key, text, sizeof text, nullptr, nullptr);
        for (int i = 0; i < n; ++i)
            push(PLAT_EV_CHAR_TYPED, (unsigned char)text[i]);
        break;
    }
    case KeyRelease: {
        XKeyEvent key = event.xkey;
        track_modifiers(key.state, XLookupKeysym(&key, 0), false);
        break;
    }
    case ButtonPress:
    case ButtonRelease: {
        if (!ours(event.xbutton.window)) break;
        g_x11.modifiers = event.xbutton.state & (ShiftMask | ControlMask);
        int b = button_of(event.xbutton.button);
        if (b)
            push(event.type == ButtonPress ? PLAT_EV_BUTTON_DOWN : PLAT_EV_BUTTON_UP,
                 event.xbutton.x, event.xbutton.y, b);
        break;
    }
    case MotionNotify:
        if (!ours(event.xmotion.window)) break;
        g_x11.modifiers = event.xmotion.state & (ShiftMask | ControlMask);
        push(PLAT_EV_MOUSE_MOVED, event.xmotion.x, event.xmotion.y,
             held_buttons(event.xmotion.state));
        break;
    case FocusIn:
    case FocusOut:
        // Focus that a keyboard grab moves (a window manager's bindings, Alt+Tab) comes back
        // when the grab ends: the window was not deactivated.
        if (event.xfocus.window != w.top || event.xfocus.detail == NotifyPointer ||
            event.xfocus.detail == NotifyInferior || event.xfocus.mode == NotifyGrab ||
            event.xfocus.mode == NotifyUngrab)
            break;
        push(PLAT_EV_ACTIVATE, event.type == FocusIn ? 1 : 0, w.minimized ? 1 : 0);
        break;
    }
}

void x11_pump() {
    if (!g_x11.display) return;
    // XPending reads what has arrived without a round trip to the server.
    while (XPending(g_x11.display)) {
        XEvent event;
        XNextEvent(g_x11.display, &event);
        x11_convert(event);
    }
}

int x11_peek_event(int kind, TkHandle window) {
    if (kind == 0) {
        if (!g_x11.queue.empty() || g_x11.quit_posted) return 1;
        x11_pump();
        return !g_x11.queue.empty() || (g_x11.win.top && g_x11.win.repaint_pending);
    }
    x11_pump();
    if (kind == PLAT_EV_REPAINT)
        return window && (Window)window == g_x11.win.top && g_x11.win.repaint_pending;
    for (const PlatEvent& e : g_x11.queue)
        if (e.kind == kind && e.window == window) return 1;
    return 0;
}

int x11_get_event(PlatEvent* event) {
    for (;;) {
        if (!g_x11.queue.empty()) {
            *event = g_x11.queue.front();
            g_x11.queue.pop_front();
            return 1;
        }
        if (!g_x11.display) {
            *event = PlatEvent{PLAT_EV_QUIT, 0, g_x11.quit_code, 0, 0, 0};
            g_x11.quit_posted = false;
            return 0;
        }
        x11_pump();
        if (!g_x11.queue.empty()) continue;
        if (g_x11.quit_posted) {
            g_x11.quit_posted = false;
            *event = PlatEvent{PLAT_EV_QUIT, 0, g_x11.quit_code, 0, 0, 0};
            return 0;
        }
        if (g_x11.win.top && g_x11.win.repaint_pending) {
            *event = PlatEvent{PLAT_EV_REPAINT, (TkHandle)g_x11.win.top, 0, 0, 0, 0};
            return 1;
        }
        XEvent x;
        XNextEvent(g_x11.display, &x);
        x11_convert(x);
    }
}

int x11_dispatch_event(const PlatEvent* event) {
    return g_x11.proc ? g_x11.proc(event) : 0;
}

int x11_default_event(const PlatEvent*) {
    return 0;
}

void x11_post_quit(int code) {
    g_x11.quit_posted = true;
    g_x11.quit_code = code;
}

int x11_post_user_refresh(TkHandle window) {
    if (!window) return 0;
    g_x11.queue.push_back(PlatEvent{PLAT_EV_USER_REFRESH, window, 0, 0, 0, 0});
    return 1;
}

int x11_invalidate(TkHandle window) {
    if (!window || (Window)window != g_x11.win.top) return 0;
    g_x11.win.repaint_pending = true;
    return 1;
}

// The mark goes when painting begins: a repaint asked for while the display handler runs is a
// new one.
void x11_begin_paint(TkHandle window) {
    if (window && (Window)window == g_x11.win.top) g_x11.win.repaint_pending = false;
}

void x11_end_paint(TkHandle) {}
