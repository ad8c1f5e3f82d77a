// The X11/GLX backend: its state, its internal helpers and its platform operations, each
// defined as x11_<operation> in the file of its group:
//  - x11_connection.cpp: the display connection and its one-time set-up (the window class),
//    version, frame metrics, process operations, and filling the platform table.
//  - x11_window.cpp: the top-level X window, its device context, input state queries.
//  - x11_formats.cpp: GLX visuals as pixel formats numbered from 1, GLX contexts, swaps.
//  - x11_events.cpp: the queue and repaints; X events become the toolkit's (Expose -> repaint,
//    ConfigureNotify -> moved and resized, WM_DELETE_WINDOW -> close request, KeyPress -> key
//    pressed and typed characters in one pass, FocusIn/Out -> activation, buttons and motion
//    -> mouse events).
//  - x11_palette.cpp: logical palettes, as colormaps on a PseudoColor visual.
//  - x11_message_box.cpp: a small modal window, or standard error where no display answers.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <GL/glx.h>

#include <deque>

#include "toolkit/platform.h"

struct X11Window {
    Window top = 0;            // the top-level window; its id is the toolkit's window handle
    Window gl = 0;             // the child that carries the chosen visual, once a format is set
    Colormap colormap = 0;     // of the child's visual
    int format = 0;            // the pixel format set, 0 when none
    int width = 0, height = 0; // client size as last reported
    int x = 0, y = 0;          // client origin as last reported
    bool repaint_pending = false;
    bool minimized = false;
};

struct X11State {
    Display* display = nullptr;
    int screen = 0;
    bool registered = false;
    PlatEventProc proc = nullptr;
    Atom wm_protocols = 0, wm_delete_window = 0, net_wm_name = 0, utf8_string = 0;
    Atom net_frame_extents = 0, net_wm_icon = 0, net_wm_pid = 0;
    bool window_manager = false;

    X11Window win; // the one toolkit window (win.top == 0 when none)

    std::deque<PlatEvent> queue; // converted and posted events, in arrival order
    bool quit_posted = false;
    int quit_code = 0;

    unsigned int modifiers = 0; // Shift/Control state seen with the last input event
    int error_code = 0;         // last protocol error, caught during set-up steps
};

extern X11State g_x11;

// The window's icon as _NET_WM_ICON holds it (width, height, then 0xAARRGGBB pixels row by row,
// for each size), generated at build time from crane-render's pictures.
extern const unsigned long x11_icon_data[];
extern const int x11_icon_data_size;

// Opens the display connection if it is not open yet; false when no display can be reached.
bool x11_connect();
// The window's frame extents as the window manager reports them (left, right, top, bottom);
// zero where nothing decorates.
void x11_frame_extents(int* left, int* right, int* top, int* bottom);
// Runs fn with protocol errors caught; returns the error code (0 when none).
int x11_catch_errors_begin();
int x11_catch_errors_end();

// Moves the events the server has sent into the queue, without blocking.
void x11_pump();
void x11_convert(const XEvent& event);

// Fills table with this backend's operations. Non-zero when an X server answered; the table is
// filled either way, and without a server the operations fail as they do on a lost display.
int x11_platform_init(PlatTable* table);

#define X11_DECLARE(result, name, parameters) result x11_##name parameters;
PLAT_WINDOW_OPERATIONS(X11_DECLARE)
PLAT_PALETTE_OPERATIONS(X11_DECLARE)
#undef X11_DECLARE

// GLX visuals that support GL, in the order the pixel formats are numbered (from 1).
int x11_visual_count();
XVisualInfo* x11_visual(int index);
