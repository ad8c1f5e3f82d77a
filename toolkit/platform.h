// The platform layer under the toolkit: exactly the window-system operations the toolkit needs,
// each shaped by what the toolkit expects of it, gathered in one table. Backends: x11/ and
// wayland/ (crane on an X display or a Wayland compositor, chosen at run time), win32/
// (crane.exe), headless/ (an off-screen surface, for crane-render and the picture tests: Mesa's
// surfaceless EGL on Linux, WGL on Windows), web/ (the page's canvas, the web build) and a
// recording simulation in tests/support/sim/ (the toolkit tests). Mappings with no counterpart
// on a backend (window class, palette device, system colours, user registry) stay in that
// backend, not in the toolkit. Backends include this header, never the toolkit's tk.h.
#pragma once

#include <cstdint>
#include <cwchar>

#include "toolkit/tk_handle.h"

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
    PLAT_PFD_GENERIC_ACCELERATED = 0x00001000,
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

// ---- Palettes, system colours and user settings --------------------------------------------

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

// ---- The table of platform operations ----------------------------------------------------
// One table serves the process. The backend that serves it fills every member once, when the
// window layer first needs it; the toolkit calls only through plat(). A backend defines each
// operation as <backend>_<name> and fills the table with these lists, so "how does backend
// B do operation O" is answered by the name B_O and by the file of B's folder that holds O's
// group; a backend without settings of its own takes plat_fill_plain_settings for that group,
// and one whose one window is of its own making takes single_window.h's operations for what
// follows from that window's bookkeeping alone.
// Return values follow the rules of each group's comment.

// clang-format off
#define PLAT_WINDOW_OPERATIONS(OP)                                                                 \
    /* Class registration (the connection and its one-time set-up), version and metrics.    */   \
    /* wide: the toolkit opens with wide text. Non-zero on success. The procedure receives  */   \
    /* every dispatched event and the destroyed event.                                      */   \
    OP(int, register_class, (int wide, PlatEventProc proc))                                      \
    OP(int, get_version, (PlatVersion* version))                                                 \
    OP(int, get_system_metric, (int which))                                                      \
    /* Grows a client rectangle to the outer rectangle of a decorated top-level window.     */   \
    OP(int, adjust_window_rect, (PlatRect* rect))                                                \
    /* Windows. Exactly one of title and wide_title is non-null; x and y are the outer      */   \
    /* top-left corner, ignored when default_position is set. 0 on failure.                 */   \
    OP(TkHandle, create_window, (const char* title, const wchar_t* wide_title, int x, int y,     \
                                 int width, int height, int default_position))                   \
    /* The destroyed event reaches the event procedure before this returns.                 */   \
    OP(int, destroy_window, (TkHandle window))                                                   \
    OP(int, get_window_rect, (TkHandle window, PlatRect* rect)) /* outer, screen pixels */       \
    OP(int, get_client_rect, (TkHandle window, PlatRect* rect)) /* (0, 0, width, height) */      \
    OP(int, show_window, (TkHandle window))                                                      \
    OP(TkHandle, get_dc, (TkHandle window)) /* 0 on failure */                                   \
    OP(int, release_dc, (TkHandle window, TkHandle dc))                                          \
    /* Pixel formats, numbered from 1, and GL contexts. choose: the closest format to the   */   \
    /* request (pixel_format_match over the described formats), 0 when there is none.       */   \
    /* describe: fills out (may be null); returns the highest index, 0 or less on failure.  */   \
    OP(int, choose_pixel_format, (TkHandle dc, const PlatPixelFormat* request))                  \
    OP(int, describe_pixel_format, (TkHandle dc, int index, PlatPixelFormat* out))               \
    OP(int, get_pixel_format, (TkHandle dc)) /* the current index, 0 when none is set */         \
    OP(int, set_pixel_format, (TkHandle dc, int index, const PlatPixelFormat* format))           \
    OP(TkHandle, gl_create_context, (TkHandle dc)) /* 0 on failure */                            \
    OP(int, gl_make_current, (TkHandle dc, TkHandle context)) /* context 0: none current */      \
    OP(int, gl_delete_context, (TkHandle context))                                               \
    OP(int, swap_buffers, (TkHandle dc))                                                         \
    /* Event queue. peek: whether an event is queued, leaving it queued; kind 0: any event, */   \
    /* PLAT_EV_REPAINT or PLAT_EV_USER_REFRESH: only that kind for the window; no round     */   \
    /* trip. get: blocks for the next event; 0 for the quit request, 1 otherwise. A key     */   \
    /* press arrives as PLAT_EV_KEY_PRESSED followed at once by the PLAT_EV_CHAR_TYPED      */   \
    /* events of the characters it types. dispatch: hands the event to the registered       */   \
    /* procedure and returns its result. default: the window system's own handling.         */   \
    OP(int, peek_event, (int kind, TkHandle window))                                             \
    OP(int, get_event, (PlatEvent* event))                                                       \
    OP(int, dispatch_event, (const PlatEvent* event))                                            \
    OP(int, default_event, (const PlatEvent* event))                                             \
    OP(void, post_quit, (int code))                                                              \
    OP(int, post_user_refresh, (TkHandle window))                                                \
    /* Marks the whole client area as needing a repaint, without erasing it.                */   \
    OP(int, invalidate, (TkHandle window))                                                       \
    OP(void, begin_paint, (TkHandle window))                                                     \
    OP(void, end_paint, (TkHandle window)) /* the area counts as repainted */                    \
    /* Input. key_held: PLAT_KEY_SHIFT or PLAT_KEY_CONTROL. Cursor in screen pixels.        */   \
    OP(int, key_held, (int key))                                                                 \
    OP(void, capture_mouse, (TkHandle window))                                                   \
    OP(void, release_mouse, ())                                                                  \
    OP(int, get_cursor_pos, (int* x, int* y))                                                    \
    OP(TkHandle, get_focus, ())                                                                  \
    /* Process. message_box: a modal box with the text, the caption and one OK button over  */   \
    /* owner (0: none); waits until it is dismissed. exit_process ends the process at once. */   \
    OP(int, message_box, (TkHandle owner, const char* text, const char* caption))                \
    OP(void, exit_process, (int status))                                                         \
    OP(void, yield, ()) /* gives up the rest of the time slice */

// Palettes. create: 0 on failure. select: the previous palette, 0 on failure. realize: the
// entries remapped, -1 on failure. get_palette_entries with entries null: the entry count.
// set_system_palette_use: the previous use.
#define PLAT_PALETTE_OPERATIONS(OP)                                                                \
    OP(TkHandle, get_default_palette, ())                                                        \
    OP(TkHandle, create_palette, (int version, const PlatPaletteEntry* entries, int count))     \
    OP(TkHandle, select_palette, (TkHandle dc, TkHandle palette, int background))               \
    OP(int, unrealize_palette, (TkHandle palette))                                               \
    OP(int, realize_palette, (TkHandle dc))                                                      \
    OP(int, set_palette_entries, (TkHandle palette, int start, int count,                        \
                                  const PlatPaletteEntry* entries))                              \
    OP(int, get_palette_entries, (TkHandle palette, int start, int count,                        \
                                  PlatPaletteEntry* entries))                                    \
    OP(int, delete_palette, (TkHandle palette))                                                  \
    OP(int, set_system_palette_use, (TkHandle dc, int use))

// System colours and user settings. reg_open_user_key: 0 when it cannot be opened.
// reg_query_value: size in: capacity, out: bytes stored; non-zero when the value exists.
#define PLAT_SETTINGS_OPERATIONS(OP)                                                               \
    OP(PlatColor, get_sys_color, (int index))                                                    \
    OP(int, set_sys_colors, (int count, const int* indexes, const PlatColor* colors))            \
    OP(void, broadcast_sys_color_change, ()) /* to all top-level windows, queued */              \
    OP(TkHandle, reg_open_user_key, (const char* subkey))                                        \
    OP(int, reg_query_value, (TkHandle key, const char* name, int* type, char* data, int* size)) \
    OP(void, reg_close, (TkHandle key))

#define PLAT_OPERATIONS(OP)                                                                        \
    PLAT_WINDOW_OPERATIONS(OP) PLAT_PALETTE_OPERATIONS(OP) PLAT_SETTINGS_OPERATIONS(OP)
// clang-format on

struct PlatTable {
#define PLAT_MEMBER(result, name, parameters) result(*name) parameters;
    PLAT_OPERATIONS(PLAT_MEMBER)
#undef PLAT_MEMBER
};

// For a backend whose window system lacks them (platform_plain.cpp): the settings group, with
// the classic colour table the layer keeps and a user's settings key that cannot be opened;
// and a message box as "caption: text" on standard error, where no display can show one.
void plat_fill_plain_settings(PlatTable* table);
// For a true-colour device: the palette group, with no palette device and no system palette to
// take over, only the stock default palette that every device has.
void plat_fill_true_colour_palette(PlatTable* table);
int plat_message_to_stderr(const char* text, const char* caption);

// The table of the process, filled by plat_select on first use.
const PlatTable& plat();
// Fills the table with the operations of the backend that serves this process; one selector
// is linked into each program. Non-zero when that backend's window system answered.
int plat_select(PlatTable* table);
