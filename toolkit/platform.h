// The platform layer under the toolkit: exactly the window-system operations the toolkit needs,
// each shaped by what the toolkit expects of it. One backend is linked into each program:
// X11/GLX for crane, headless EGL for crane-render, a recording simulation for the tests.
//
// What the groups stand for on X11:
//  - class registration: opening the display connection and its one-time set-up (atoms, error
//    handlers); the registered event procedure receives every event the toolkit dispatches.
//  - version and metrics: a fixed platform version; frame metrics as the window system reports
//    them (zero where no window manager decorates).
//  - windows: a top-level X window; its device context is the GL drawable that belongs to it.
//  - pixel formats: GLX visuals (frame-buffer configurations), numbered from 1, described in
//    the descriptor fields below.
//  - GL contexts: GLX contexts.
//  - events: X events turned into PlatEvent (Expose -> repaint, ConfigureNotify -> moved and
//    resized, WM_DELETE_WINDOW -> close request, KeyPress -> key pressed and typed character,
//    FocusIn/FocusOut -> activation, buttons and motion -> mouse events).
//  - message box: a small modal window with the text and an OK button; standard error where
//    no display can be reached.
//  - palettes, system colours and the registry: a true-colour display has no palette device;
//    the registry may answer "no such key".
#pragma once

#include <cstdint>
#include <cwchar>

#include "toolkit/tk.h"

// ---- Pixel formats ------------------------------------------------------------------------

enum {
    PLAT_PFD_DOUBLEBUFFER = 0x00000001,
    PLAT_PFD_STEREO = 0x00000002,
    PLAT_PFD_DRAW_TO_WINDOW = 0x00000004,
    PLAT_PFD_DRAW_TO_BITMAP = 0x00000008,
    PLAT_PFD_SUPPORT_GDI = 0x00000010,
    PLAT_PFD_SUPPORT_OPENGL = 0x00000020,
    PLAT_PFD_GENERIC_FORMAT = 0x00000040,
    PLAT_PFD_NEED_PALETTE = 0x00000080,
    PLAT_PFD_NEED_SYSTEM_PALETTE = 0x00000100,
};

enum { PLAT_PFD_TYPE_RGBA = 0, PLAT_PFD_TYPE_COLORINDEX = 1 };
enum { PLAT_PFD_MAIN_PLANE = 0, PLAT_PFD_OVERLAY_PLANE = 1, PLAT_PFD_UNDERLAY_PLANE = -1 };

// The size and version a descriptor carries.
enum { PLAT_PFD_SIZE = 40, PLAT_PFD_VERSION = 1 };

// The fields of a pixel-format descriptor that the toolkit reads or writes.
struct PlatPixelFormat {
    int size;       // PLAT_PFD_SIZE
    int version;    // PLAT_PFD_VERSION
    uint32_t flags; // PLAT_PFD_* bits
    int pixel_type; // PLAT_PFD_TYPE_RGBA or PLAT_PFD_TYPE_COLORINDEX
    int color_bits;
    int red_bits, red_shift;
    int green_bits, green_shift;
    int blue_bits, blue_shift;
    int alpha_bits;
    int accum_bits;
    int accum_alpha_bits;
    int depth_bits;
    int stencil_bits;
    int aux_buffers;
    int layer_type; // PLAT_PFD_MAIN_PLANE
};

// ---- Geometry, version, metrics -----------------------------------------------------------

struct PlatRect {
    int left, top, right, bottom;
};

enum {
    PLAT_VER_PLATFORM_WIN32S = 0,
    PLAT_VER_PLATFORM_WIN32_WINDOWS = 1,
    PLAT_VER_PLATFORM_WIN32_NT = 2
};

struct PlatVersion {
    int platform_id; // PLAT_VER_PLATFORM_*
    int major;
    int minor;
};

enum { PLAT_SM_CXFRAME = 32, PLAT_SM_CYFRAME = 33, PLAT_SM_CYCAPTION = 4, PLAT_SM_CYBORDER = 6 };

// ---- Events -------------------------------------------------------------------------------

enum {
    PLAT_EV_NONE = 0,
    PLAT_EV_MOVED,           // a, b: new client-area origin on the screen
    PLAT_EV_RESIZED,         // a, b: new client width and height
    PLAT_EV_REPAINT,         // the client area needs repainting
    PLAT_EV_CLOSE_REQUEST,   // the window system asks the window to close
    PLAT_EV_DESTROYED,       // the window is being destroyed
    PLAT_EV_KEY_PRESSED,     // a: platform key id (PLAT_KEY_*)
    PLAT_EV_CHAR_TYPED,      // a: character code
    PLAT_EV_MOUSE_MOVED,     // a, b: client position; c: buttons held (PLAT_MK_*)
    PLAT_EV_BUTTON_DOWN,     // a, b: client position; c: button (PLAT_MB_*)
    PLAT_EV_BUTTON_UP,       // a, b: client position; c: button (PLAT_MB_*)
    PLAT_EV_ACTIVATE,        // a: 1 activated, 0 deactivated; b: 1 when minimized
    PLAT_EV_PALETTE_CHANGED, // other: the window that changed the system palette
    PLAT_EV_USER_REFRESH,    // the toolkit's private palette-refresh request
    PLAT_EV_QUIT,            // a: exit code; plat_get_event returns 0 for it
};

// Platform key ids carried by PLAT_EV_KEY_PRESSED. Letters are their upper-case codes and
// digits their character codes; keys without a meaning to the toolkit carry other values.
enum {
    PLAT_KEY_RETURN = 0x0D,
    PLAT_KEY_SHIFT = 0x10,
    PLAT_KEY_CONTROL = 0x11,
    PLAT_KEY_ESCAPE = 0x1B,
    PLAT_KEY_SPACE = 0x20,
    PLAT_KEY_LEFT = 0x25,
    PLAT_KEY_UP = 0x26,
    PLAT_KEY_RIGHT = 0x27,
    PLAT_KEY_DOWN = 0x28,
    PLAT_KEY_OTHER = 0x10000, // base of ids for every other key
};

// Buttons held during a motion (ORed).
enum { PLAT_MK_LBUTTON = 0x01, PLAT_MK_RBUTTON = 0x02, PLAT_MK_MBUTTON = 0x10 };
// The button of a button event.
enum { PLAT_MB_LEFT = 1, PLAT_MB_RIGHT = 2, PLAT_MB_MIDDLE = 3 };

struct PlatEvent {
    int kind; // PLAT_EV_*
    TkHandle window;
    int a, b, c;
    TkHandle other;
};

// The toolkit's event procedure; returns non-zero when it handled the event.
typedef int (*PlatEventProc)(const PlatEvent* event);

// ---- Class registration, version, metrics -------------------------------------------------

// One-time set-up (the window class). wide: the toolkit opens with wide text. Non-zero on
// success. The procedure receives every dispatched event and the destroyed event.
int plat_register_class(int wide, PlatEventProc proc);
int plat_get_version(PlatVersion* version);
int plat_get_system_metric(int which);
// Grows a client rectangle to the outer rectangle of a decorated top-level window (no menu).
int plat_adjust_window_rect(PlatRect* rect);

// ---- Windows -------------------------------------------------------------------------------

// Creates a top-level window. Exactly one of title and wide_title is non-null. x and y are the
// outer top-left corner, ignored when default_position is set. Returns 0 on failure.
TkHandle plat_create_window(const char* title, const wchar_t* wide_title, int x, int y, int width,
                            int height, int default_position);
// Destroys the window; the destroyed event reaches the event procedure before this returns.
int plat_destroy_window(TkHandle window);
int plat_get_window_rect(TkHandle window, PlatRect* rect); // outer rectangle, screen pixels
int plat_get_client_rect(TkHandle window, PlatRect* rect); // (0, 0, width, height)
int plat_show_window(TkHandle window);
TkHandle plat_get_dc(TkHandle window); // 0 on failure
int plat_release_dc(TkHandle window, TkHandle dc);

// ---- Pixel formats and GL contexts --------------------------------------------------------

// The closest format to the request, numbered from 1; 0 when there is none.
int plat_choose_pixel_format(TkHandle dc, const PlatPixelFormat* request);
// Describes format index into out (out may be null). Returns the highest format index, 0 or
// less on failure.
int plat_describe_pixel_format(TkHandle dc, int index, PlatPixelFormat* out);
int plat_get_pixel_format(TkHandle dc); // the current format index, 0 when none is set
int plat_set_pixel_format(TkHandle dc, int index, const PlatPixelFormat* format);

TkHandle plat_gl_create_context(TkHandle dc);            // 0 on failure
int plat_gl_make_current(TkHandle dc, TkHandle context); // context 0: none current
int plat_gl_delete_context(TkHandle context);
int plat_swap_buffers(TkHandle dc);

// ---- Event queue ---------------------------------------------------------------------------

// Whether an event is queued, leaving it queued. kind 0: any event; PLAT_EV_REPAINT or
// PLAT_EV_USER_REFRESH: only that kind for the given window. Cheap: no round trip.
int plat_peek_event(int kind, TkHandle window);
// Blocks for the next event. Returns 0 for the quit request, 1 otherwise.
int plat_get_event(PlatEvent* event);
// Key presses also yield a typed-character event where the key types one.
void plat_translate_event(const PlatEvent* event);
// Hands the event to the registered procedure; returns its result.
int plat_dispatch_event(const PlatEvent* event);
// The window system's own handling of an event the toolkit leaves alone.
int plat_default_event(const PlatEvent* event);
void plat_post_quit(int code);
int plat_post_user_refresh(TkHandle window);
// Marks the whole client area as needing a repaint, without erasing it.
int plat_invalidate(TkHandle window);
void plat_begin_paint(TkHandle window);
void plat_end_paint(TkHandle window); // the area counts as repainted

// ---- Input --------------------------------------------------------------------------------

int plat_key_held(int key); // PLAT_KEY_SHIFT or PLAT_KEY_CONTROL
void plat_capture_mouse(TkHandle window);
void plat_release_mouse();
int plat_get_cursor_pos(int* x, int* y); // screen pixels
TkHandle plat_get_focus();

// ---- Process -------------------------------------------------------------------------------

// A modal box with the text, the caption and one OK button, over owner (0: none); waits
// until it is dismissed.
int plat_message_box(TkHandle owner, const char* text, const char* caption);
void plat_exit_process(int status); // ends the process at once; does not return
void plat_yield();                  // gives up the rest of the time slice

// ---- Palettes, system colours and user settings --------------------------------------------
// These are implemented in each backend's palette file.

// A colour: red + 256 * green + 65536 * blue; PLAT_PALETTERGB adds the palette-relative flag.
typedef uint32_t PlatColor;
#define PLAT_RGB(r, g, b)                                                                          \
    ((PlatColor)(((uint32_t)(uint8_t)(r)) | ((uint32_t)(uint8_t)(g) << 8) |                        \
                 ((uint32_t)(uint8_t)(b) << 16)))
#define PLAT_PALETTERGB(r, g, b) (0x02000000u | PLAT_RGB(r, g, b))

enum { PLAT_PC_RESERVED = 0x01, PLAT_PC_EXPLICIT = 0x02, PLAT_PC_NOCOLLAPSE = 0x04 };
enum { PLAT_SYSPAL_ERROR = 0, PLAT_SYSPAL_STATIC = 1, PLAT_SYSPAL_NOSTATIC = 2 };
enum { PLAT_LOGPALETTE_VERSION = 0x300 };
enum { PLAT_REG_NONE = 0, PLAT_REG_SZ = 1 };

struct PlatPaletteEntry {
    uint8_t red, green, blue, flags;
};

TkHandle plat_get_default_palette(); // the stock DEFAULT_PALETTE
// A logical palette of count entries. 0 on failure.
TkHandle plat_create_palette(int version, const PlatPaletteEntry* entries, int count);
// Returns the previously selected palette, 0 on failure.
TkHandle plat_select_palette(TkHandle dc, TkHandle palette, int background);
int plat_unrealize_palette(TkHandle palette);
// Realizes the palette selected into dc; the number of entries remapped, -1 on failure.
int plat_realize_palette(TkHandle dc);
int plat_set_palette_entries(TkHandle palette, int start, int count,
                             const PlatPaletteEntry* entries);
// entries null: returns the palette's entry count. Otherwise the number of entries copied.
int plat_get_palette_entries(TkHandle palette, int start, int count, PlatPaletteEntry* entries);
int plat_delete_palette(TkHandle palette);
int plat_set_system_palette_use(TkHandle dc, int use); // returns the previous use
PlatColor plat_get_sys_color(int index);
int plat_set_sys_colors(int count, const int* indexes, const PlatColor* colors);
void plat_broadcast_sys_color_change(); // to all top-level windows, queued
// The user's settings key under the current user; 0 when it cannot be opened.
TkHandle plat_reg_open_user_key(const char* subkey);
// Reads a value into data (size in: capacity, out: bytes stored). Non-zero when it exists.
int plat_reg_query_value(TkHandle key, const char* name, int* type, char* data, int* size);
void plat_reg_close(TkHandle key);
