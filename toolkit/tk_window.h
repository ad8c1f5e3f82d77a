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

// ---- tk_window.cpp: the window's opening, its pixel format, error reports -----------------

// Process-global state of the one window; a new process starts with these values.
struct TkWindowState {
    TkHandle window = 0;
    TkHandle dc = 0;
    TkHandle gl_context = 0;
    TkHandle palette = 0;
    int display_mode = TK_MODE_INDEX; // read at open time and when a palette is made
    int format_rule = TK_FORMAT_RULE_DESCRIBE;
    int format_index = 0;          // used by TK_FORMAT_RULE_INDEX (and any other rule value)
    int x = 0, y = 0;              // client-area origin on the screen
    int width = 100, height = 100; // client-area size
    bool default_position = true;
    bool error_boxes = true;
    bool opening = false; // a window is being opened: its destruction posts no quit request
};

extern TkWindowState g_tk_win;

bool tk_win_open(const void* title, bool wide);
int tk_choose_pixel_format(TkHandle dc, int mode, PlatPixelFormat* out);
int tk_describe_current_format(TkHandle dc, PlatPixelFormat* out);
void tk_report_error(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ---- tk.cpp: the handler slots, the loop and the window procedure ---------------------------

struct TkWindowSlots {
    TkWinReshapeHandler reshape = nullptr;
    TkWinDisplayHandler display = nullptr;
    TkWinKeyHandler key = nullptr;
    TkWinMouseHandler mouse_down = nullptr;
    TkWinMouseHandler mouse_up = nullptr;
    TkWinMouseHandler mouse_move = nullptr;
    TkWinIdleHandler idle = nullptr;
};

extern TkWindowSlots g_tk_slots;

void tk_win_on_reshape(TkWinReshapeHandler handler);
void tk_win_on_display(TkWinDisplayHandler handler);
void tk_win_on_key(TkWinKeyHandler handler);
void tk_win_on_mouse_down(TkWinMouseHandler handler);
void tk_win_on_mouse_up(TkWinMouseHandler handler);
void tk_win_on_mouse_move(TkWinMouseHandler handler);
void tk_win_on_idle(TkWinIdleHandler handler);

void tk_win_run();
void tk_win_destroy();
void tk_win_release();
void tk_request_redraw();
// The window procedure: every event of the toolkit's window arrives here.
int tk_win_proc(const PlatEvent* event);
