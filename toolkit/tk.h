// The toolkit's interface layer: one window with an OpenGL context, key and mouse bindings,
// handler registration and the main loop.
#pragma once

#include "toolkit/tk_handle.h"

// Display-mode bits.
enum {
    TK_MODE_INDEX = 1,
    TK_MODE_DOUBLE = 2,
    TK_MODE_ACCUM = 8,
    TK_MODE_ALPHA = 16,
    TK_MODE_DEPTH = 32,
    TK_MODE_STENCIL = 64,
    TK_MODE_DEPTH16 = 256,
    TK_MODE_SYSTEM_PALETTE = 512,
};

// Key codes delivered to key handlers; letters and digits are their character codes.
enum {
    TK_KEY_RETURN = 13,
    TK_KEY_ESCAPE = 27,
    TK_KEY_SPACE = 32,
    TK_KEY_LEFT = 37,
    TK_KEY_UP = 38,
    TK_KEY_RIGHT = 39,
    TK_KEY_DOWN = 40,
};

// Key status bits.
enum { TK_SHIFT = 1, TK_CONTROL = 2 };

// Mouse buttons and mouse event kinds.
enum { TK_BUTTON_LEFT = 1, TK_BUTTON_RIGHT = 2, TK_BUTTON_MIDDLE = 4 };
enum { TK_MOUSE_DOWN = 16, TK_MOUSE_UP = 32, TK_MOUSE_MOVE = 64 };

// x = CW_USEDEFAULT lets the window system place the window.
#define TK_CW_USEDEFAULT ((int)0x80000000)

struct TkEvent {
    int kind;    // TK_MOUSE_DOWN, TK_MOUSE_UP or TK_MOUSE_MOVE
    int data[4]; // x, y, reserved, button
};

typedef void (*TkVoidHandler)();
typedef void (*TkReshapeHandler)(int width, int height);
typedef void (*TkMouseHandler)(TkEvent* event);

// ---- tk.cpp: the display mode, opening and closing, bindings, the loop --------------------

void tk_set_display_mode(int mode);
int tk_open_window(const char* title);
int tk_open_window_wide(const wchar_t* title);
void tk_close_window();
void tk_bind_key(int key, TkVoidHandler handler);
void tk_bind_mouse(int button, int kind, TkMouseHandler handler);
void tk_on_reshape(TkReshapeHandler handler);
void tk_on_idle(TkVoidHandler handler);
void tk_run(TkVoidHandler display);
int tk_swap_buffers();
void tk_quit();
void tk_default_reshape(int width, int height);
TkHandle tk_get_window();
TkHandle tk_get_device_context();
TkHandle tk_get_gl_context();
int tk_get_display_mode();

// ---- tk_window.cpp: placement, pixel-format choice, error boxes, the cursor ----------------

// How the window's pixel format is chosen: the request described and matched, a scan for the
// most colour bits among the formats that fit the mode, or the index given (any other value).
enum { TK_FORMAT_RULE_INDEX = 1, TK_FORMAT_RULE_SCAN = 2, TK_FORMAT_RULE_DESCRIBE = 3 };

void tk_set_window_rect(int x, int y, int width, int height);
void tk_set_pixel_format_rule(int rule);
void tk_set_pixel_format_index(int index);
void tk_set_error_boxes(int on);
int tk_get_pixel_format_rule();
int tk_get_pixel_format_index();
void tk_get_mouse_position(int* x, int* y);

// ---- tk_palette.cpp: colour-map operations for colour-index windows ------------------------

void tk_set_color_index(int index, float red, float green, float blue);
void tk_set_grey_blocks(int block_bits, int step_bits);
void tk_set_grey_ramp();
int tk_reload_palette();
int tk_palette_size();
