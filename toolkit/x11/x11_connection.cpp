// The display connection and its one-time set-up (the window class), the platform version,
// the frame metrics and the process operations of the X11 backend.
#include <X11/Xatom.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sched.h>
#include <unistd.h>

#include "toolkit/x11/x11.h"

X11State g_x11;

namespace {

// A lost server cannot be recovered from: say so on one line and end at once, so that no
// caller hangs on a dead connection.
int on_io_error(Display*) {
    static const char kMessage[] = "crane: lost the connection to the X server\n";
    ssize_t ignored = write(2, kMessage, sizeof kMessage - 1);
    (void)ignored;
    _exit(1);
}

int on_error(Display*, XErrorEvent* event) {
    g_x11.error_code = event->error_code;
    return 0;
}

bool has_window_manager(Display* display) {
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                    XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
                 type == XA_WINDOW && count == 1;
    if (data) XFree(data);
    return found;
}

} // namespace

bool x11_connect() {
    if (g_x11.display) return true;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    g_x11.display = display;
    g_x11.screen = DefaultScreen(display);
    XSetIOErrorHandler(on_io_error);
    XSetErrorHandler(on_error);
    g_x11.wm_protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    g_x11.wm_delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
    g_x11.net_wm_name = XInternAtom(display, "_NET_WM_NAME", False);
    g_x11.utf8_string = XInternAtom(display, "UTF8_STRING", False);
    g_x11.net_frame_extents = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
    g_x11.net_wm_icon = XInternAtom(display, "_NET_WM_ICON", False);
    g_x11.net_wm_pid = XInternAtom(display, "_NET_WM_PID", False);
    g_x11.window_manager = has_window_manager(display);
    return true;
}

int x11_catch_errors_begin() {
    XSync(g_x11.display, False);
    g_x11.error_code = 0;
    return 0;
}

int x11_catch_errors_end() {
    XSync(g_x11.display, False);
    return g_x11.error_code;
}

void x11_frame_extents(int* left, int* right, int* top, int* bottom) {
    *left = *right = *top = *bottom = 0;
    if (!g_x11.display || !g_x11.window_manager || !g_x11.win.top) return;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(g_x11.display, g_x11.win.top, g_x11.net_frame_extents, 0, 4, False,
                           XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
        type == XA_CARDINAL && format == 32 && count == 4) {
        long* v = reinterpret_cast<long*>(data);
        *left = (int)v[0];
        *right = (int)v[1];
        *top = (int)v[2];
        *bottom = (int)v[3];
    }
    if (data) XFree(data);
}

int x11_platform_init(PlatTable* table) {
#define X11_FILL(result, name, parameters) table->name = x11_##name;
    PLAT_WINDOW_OPERATIONS(X11_FILL)
    PLAT_PALETTE_OPERATIONS(X11_FILL)
#undef X11_FILL
    plat_fill_plain_settings(table);
    return x11_connect() ? 1 : 0;
}

int x11_register_class(int /*wide*/, PlatEventProc proc) {
    if (!x11_connect()) return 0;
    g_x11.proc = proc;
    g_x11.registered = true;
    return 1;
}

int x11_get_version(PlatVersion* version) {
    // Not one of the versions with the short system-colour table.
    *version = PlatVersion{PLAT_VER_PLATFORM_WIN32_NT, 5, 0};
    return 1;
}

int x11_get_system_metric(int which) {
    int left, right, top, bottom;
    x11_frame_extents(&left, &right, &top, &bottom);
    switch (which) {
    case PLAT_SM_CXFRAME:
        return left;
    case PLAT_SM_CYFRAME:
        return bottom;
    case PLAT_SM_CYCAPTION:
        // Caption plus bottom frame make the top extent, as the placement rule adds them.
        return top - bottom;
    case PLAT_SM_CYBORDER:
        return 0;
    }
    return 0;
}

int x11_adjust_window_rect(PlatRect* rect) {
    int left, right, top, bottom;
    x11_frame_extents(&left, &right, &top, &bottom);
    rect->left -= left;
    rect->top -= top;
    rect->right += right;
    rect->bottom += bottom;
    return 1;
}

void x11_exit_process(int status) {
    // The destructors do not run, but what the program wrote must still reach its streams.
    fflush(nullptr);
    _exit(status);
}

void x11_yield() {
    sched_yield();
}
