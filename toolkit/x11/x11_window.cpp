// The toolkit's top-level X window, its device context and the input state queries.
#include <X11/Xatom.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "toolkit/x11/x11.h"

namespace {

const long kTopEvents = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask |
                        ButtonPressMask | ButtonReleaseMask | PointerMotionMask | FocusChangeMask;

std::string utf8_of(const wchar_t* text) {
    std::string out;
    for (; *text; ++text) {
        unsigned long c = (unsigned long)*text;
        if (c < 0x80) {
            out += (char)c;
        } else if (c < 0x800) {
            out += (char)(0xC0 | (c >> 6));
            out += (char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += (char)(0xE0 | (c >> 12));
            out += (char)(0x80 | ((c >> 6) & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        } else {
            out += (char)(0xF0 | (c >> 18));
            out += (char)(0x80 | ((c >> 12) & 0x3F));
            out += (char)(0x80 | ((c >> 6) & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        }
    }
    return out;
}

Bool is_map_notify(Display*, XEvent* event, XPointer arg) {
    return event->type == MapNotify && event->xmap.window == *reinterpret_cast<Window*>(arg);
}

} // namespace

TkHandle x11_create_window(const char* title, const wchar_t* wide_title, int x, int y, int width,
                           int height, int default_position) {
    if (!x11_connect() || width <= 0 || height <= 0) return 0;
    Display* d = g_x11.display;
    // The frame is the window manager's: the X window is the client area alone.
    int left, right, top, bottom;
    x11_frame_extents(&left, &right, &top, &bottom);
    int client_w = width - left - right, client_h = height - top - bottom;
    if (client_w <= 0 || client_h <= 0) return 0;
    int cx = default_position ? 0 : x + left, cy = default_position ? 0 : y + top;

    XSetWindowAttributes attributes;
    attributes.background_pixel = BlackPixel(d, g_x11.screen);
    attributes.event_mask = kTopEvents;
    x11_catch_errors_begin();
    Window w =
        XCreateWindow(d, RootWindow(d, g_x11.screen), cx, cy, client_w, client_h, 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    if (x11_catch_errors_end() || !w) return 0;

    std::string name = title ? std::string(title) : utf8_of(wide_title);
    XStoreName(d, w, name.c_str());
    XChangeProperty(d, w, g_x11.net_wm_name, g_x11.utf8_string, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(name.data()), (int)name.size());
    XSetWMProtocols(d, w, &g_x11.wm_delete_window, 1);
    // Named as the installed desktop entry (crane.desktop), which desktops match it with.
    XClassHint class_hint;
    char class_name[] = "crane";
    class_hint.res_name = class_name;
    class_hint.res_class = class_name;
    XSetClassHint(d, w, &class_hint);
    // Xlib takes the items of a 32-bit property as longs, as the icon's data is stored.
    XChangeProperty(d, w, g_x11.net_wm_icon, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(x11_icon_data), x11_icon_data_size);
    // The process id names a process only on its host, so it goes with the host's name.
    char host[256];
    if (gethostname(host, sizeof host) == 0) {
        host[sizeof host - 1] = '\0';
        char* names[] = {host};
        XTextProperty machine;
        if (XStringListToTextProperty(names, 1, &machine)) {
            XSetWMClientMachine(d, w, &machine);
            XFree(machine.value);
            unsigned long pid = (unsigned long)getpid();
            XChangeProperty(d, w, g_x11.net_wm_pid, XA_CARDINAL, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&pid), 1);
        }
    }
    XSizeHints* hints = XAllocSizeHints();
    if (hints) {
        hints->flags = PSize;
        hints->width = client_w;
        hints->height = client_h;
        if (!default_position) {
            hints->flags |= USPosition | PPosition;
            hints->x = cx;
            hints->y = cy;
        }
        XSetWMNormalHints(d, w, hints);
        XFree(hints);
    }

    g_x11.win = X11Window{};
    g_x11.win.top = w;
    g_x11.win.width = client_w;
    g_x11.win.height = client_h;
    g_x11.win.x = cx;
    g_x11.win.y = cy;
    return (TkHandle)w;
}

int x11_destroy_window(TkHandle window) {
    if (!g_x11.display || !window || (Window)window != g_x11.win.top) return 0;
    // The toolkit's teardown runs while the window still exists.
    if (g_x11.proc) {
        PlatEvent event{PLAT_EV_DESTROYED, window, 0, 0, 0, 0};
        g_x11.proc(&event);
    }
    Display* d = g_x11.display;
    XDestroyWindow(d, g_x11.win.top);
    if (g_x11.win.colormap) XFreeColormap(d, g_x11.win.colormap);
    g_x11.win = X11Window{};
    for (auto it = g_x11.queue.begin(); it != g_x11.queue.end();) {
        if (it->window == window)
            it = g_x11.queue.erase(it);
        else
            ++it;
    }
    XFlush(d);
    return 1;
}

int x11_get_window_rect(TkHandle window, PlatRect* rect) {
    if (!g_x11.display || !window) return 0;
    XWindowAttributes a;
    if (!XGetWindowAttributes(g_x11.display, (Window)window, &a)) return 0;
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(g_x11.display, (Window)window, DefaultRootWindow(g_x11.display), 0, 0, &x,
                          &y, &child);
    int left, right, top, bottom;
    x11_frame_extents(&left, &right, &top, &bottom);
    rect->left = x - left;
    rect->top = y - top;
    rect->right = x + a.width + right;
    rect->bottom = y + a.height + bottom;
    return 1;
}

int x11_get_client_rect(TkHandle window, PlatRect* rect) {
    if (!g_x11.display || !window) return 0;
    XWindowAttributes a;
    if (!XGetWindowAttributes(g_x11.display, (Window)window, &a)) return 0;
    rect->left = 0;
    rect->top = 0;
    rect->right = a.width;
    rect->bottom = a.height;
    return 1;
}

int x11_show_window(TkHandle window) {
    if (!g_x11.display || !window) return 0;
    Window w = (Window)window;
    XMapWindow(g_x11.display, w);
    // A window manager takes the map request and maps the window when it sees fit, or never;
    // only a window the server mapped at once is waited for (its MapNotify is on its way by
    // the time the round trip returns), so that it can take the focus as a shown window does.
    XWindowAttributes a;
    if (XGetWindowAttributes(g_x11.display, w, &a) && a.map_state != IsUnmapped) {
        XEvent event;
        XIfEvent(g_x11.display, &event, is_map_notify, reinterpret_cast<XPointer>(&w));
        if (!g_x11.window_manager) XSetInputFocus(g_x11.display, w, RevertToParent, CurrentTime);
    }
    return 1;
}

TkHandle x11_get_dc(TkHandle window) {
    if (!g_x11.display || !window || (Window)window != g_x11.win.top) return 0;
    return (TkHandle)&g_x11.win;
}

int x11_release_dc(TkHandle, TkHandle dc) {
    return dc == (TkHandle)&g_x11.win ? 1 : 0;
}

int x11_key_held(int key) {
    if (key == PLAT_KEY_SHIFT) return (g_x11.modifiers & ShiftMask) ? 1 : 0;
    if (key == PLAT_KEY_CONTROL) return (g_x11.modifiers & ControlMask) ? 1 : 0;
    return 0;
}

void x11_capture_mouse(TkHandle window) {
    if (!g_x11.display || !window) return;
    XGrabPointer(g_x11.display, (Window)window, True,
                 ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                 GrabModeAsync, None, None, CurrentTime);
}

void x11_release_mouse() {
    if (g_x11.display) XUngrabPointer(g_x11.display, CurrentTime);
}

int x11_get_cursor_pos(int* x, int* y) {
    if (!g_x11.display) return 0;
    Window root, child;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(g_x11.display, DefaultRootWindow(g_x11.display), &root, &child, &rx, &ry,
                       &wx, &wy, &mask))
        return 0;
    *x = rx;
    *y = ry;
    return 1;
}

TkHandle x11_get_focus() {
    if (!g_x11.display) return 0;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(g_x11.display, &focus, &revert);
    if (focus == PointerRoot || focus == None) return 0;
    return (TkHandle)focus;
}
