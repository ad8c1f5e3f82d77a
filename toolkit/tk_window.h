// The window layer: window-layer state shared inside the toolkit, the window's opening and
// visual selection, the handler slots, the main loop and its event handling.
#pragma once

#include "toolkit/platform.h"
#include "toolkit/tk.h"

typedef void (*TkWinReshapeHandler)(int width, int height);
typedef void (*TkWinDisplayHandler)();
typedef int (*TkWinKeyHandler)(int key, int status);
typedef int (*TkWinMouseHandler)(int x, int y, int buttons);
typedef void (*TkWinIdleHandler)();

// Process-global state of the one window.
struct TkWindowState {
    TkHandle window;
    TkHandle dc;
    TkHandle gl_context;
    TkHandle palette;
    int display_mode;  // read at open time and when a palette is made
    int format_rule;   // 3: describe and choose; 2: scan; other: explicit index
    int format_index;  // used by the explicit rule
    int x, y;          // client-area origin on the screen
    int width, height; // client-area size
    bool default_position;
    bool error_boxes;
    bool opening; // a window is being opened: its destruction posts no quit request
};

extern TkWindowState g_tk_win;

// Handler slots.
struct TkWindowSlots {
    TkWinReshapeHandler reshape;
    TkWinDisplayHandler display;
    TkWinKeyHandler key;
    TkWinMouseHandler mouse_down;
    TkWinMouseHandler mouse_up;
    TkWinMouseHandler mouse_move;
    TkWinIdleHandler idle;
};

extern TkWindowSlots g_tk_slots;

bool tk_win_open(const void* title, bool wide);
void tk_win_run();
void tk_win_destroy();
void tk_win_release();
void tk_request_redraw();

void tk_win_on_reshape(TkWinReshapeHandler handler);
void tk_win_on_display(TkWinDisplayHandler handler);
void tk_win_on_key(TkWinKeyHandler handler);
void tk_win_on_mouse_down(TkWinMouseHandler handler);
void tk_win_on_mouse_up(TkWinMouseHandler handler);
void tk_win_on_mouse_move(TkWinMouseHandler handler);
void tk_win_on_idle(TkWinIdleHandler handler);

// The window procedure: every event of the toolkit's window arrives here.
int tk_win_proc(const PlatEvent* event);

int tk_choose_pixel_format(TkHandle dc, int mode, PlatPixelFormat* out);
int tk_describe_current_format(TkHandle dc, PlatPixelFormat* out);
void tk_report_error(const char* format, ...) __attribute__((format(printf, 1, 2)));
