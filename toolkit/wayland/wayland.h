// The Wayland backend: its state, its internal helpers and its platform operations, each
// defined as wayland_<operation> in the file of its group:
//  - wayland_connection.cpp: the compositor connection and its globals (the window class),
//    version, metrics, process operations, a lost compositor, and filling the platform table.
//  - wayland_window.cpp: decorated toplevels (xdg-decoration where the compositor draws the
//    decorations, libdecor where it does not), the toolkit's window on one, input queries.
//  - wayland_scale.cpp: the outputs and their scales, and the pixel density the window's
//    buffer is drawn at: the compositor's preferred scale for the surface where it says one,
//    else the largest scale of the outputs the surface is on; a fractional one through a
//    viewport. The window keeps its logical size; its client size is in buffer pixels.
//  - wayland_formats.cpp: EGL configs as pixel formats numbered from 1, EGL contexts on a
//    wayland-egl window, the swap (interval 0: it never waits for the compositor).
//  - wayland_events.cpp: configure -> resized (and the first one -> the first repaint),
//    activated state -> activation, close -> close request, keys through xkbcommon with the
//    key pressed and its characters in one pass and repeat at the compositor's rate, pointer
//    buttons and motion.
//  - wayland_message_box.cpp: a small window drawn with cairo, or standard error where no
//    compositor answers.
// A surface is true colour: the palette group is the shared one of platform.h.
#pragma once

#include <EGL/egl.h>
#include <wayland-client.h>
#include <wayland-egl.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "toolkit/platform.h"

struct xdg_wm_base;
struct xdg_surface;
struct xdg_toplevel;
struct zxdg_decoration_manager_v1;
struct zxdg_toplevel_decoration_v1;
struct libdecor;
struct libdecor_frame;
struct wl_cursor_theme;
struct wp_viewporter;
struct wp_viewport;
struct wp_fractional_scale_manager_v1;
struct wp_fractional_scale_v1;

// Scales are kept in 120ths, as the fractional-scale protocol gives them: 120 is 1, 240 is 2.
enum { WL_SCALE_ONE = 120 };

// A decorated top-level surface: the toolkit's window or a message box. Decorations are the
// compositor's where it offers xdg-decoration and agrees to draw them, else libdecor draws them.
struct WlToplevel {
    wl_surface* surface = nullptr;
    xdg_surface* xdg = nullptr;
    xdg_toplevel* toplevel = nullptr;
    zxdg_toplevel_decoration_v1* decoration = nullptr;
    libdecor_frame* frame = nullptr;
    int width = 0, height = 0; // content size in use
    bool configured = false;   // the first configure has come and been acknowledged
    bool activated = false;
    bool close_requested = false;
    bool client_side = false; // the compositor answered that the client draws the decorations
    std::string title;
    WlToplevel* parent = nullptr;
    // Called after each configure with the size the compositor asks for (0: the client's own
    // choice) and whether the window is active.
    void (*on_configure)(WlToplevel* toplevel, int width, int height, bool activated) = nullptr;
};

struct WlWindow {
    WlToplevel top;
    wl_egl_window* egl_window = nullptr;
    EGLSurface egl_surface = EGL_NO_SURFACE;
    int format = 0;   // the pixel format set, 0 when none
    int x = 0, y = 0; // where the toolkit asked the window to be; Wayland never says
    bool repaint_pending = false;

    // Pixel density. top.width and top.height are the logical size; the buffer, and the client
    // size the toolkit knows, is that times the scale.
    std::vector<wl_output*> entered; // the outputs the surface is on
    int preferred_scale = 0;         // the surface's preferred buffer scale, 0 until said
    int fractional_scale = 0;        // the preferred fractional scale, 0 until said
    int scale = WL_SCALE_ONE;        // in force
    int buffer_width = 0, buffer_height = 0;
    bool scale_to_commit = false; // a buffer scale or viewport to go with the next frame
    wp_viewport* viewport = nullptr;
    wp_fractional_scale_v1* fractional = nullptr;
};

struct WlOutput {
    wl_output* output = nullptr;
    uint32_t name = 0; // the global's
    int scale = 1;
    int pending_scale = 1; // until the output's done event
};

struct WlKeyboard {
    wl_keyboard* keyboard = nullptr;
    xkb_context* context = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;
    wl_surface* focus = nullptr;
    int repeat_rate = 25;    // keys per second; 0: no repeat
    int repeat_delay = 600;  // milliseconds before the first repeat
    uint32_t repeat_key = 0; // evdev code of the key repeating, 0 when none
    int64_t next_repeat_ms = 0;
};

struct WlPointer {
    wl_pointer* pointer = nullptr;
    wl_surface* focus = nullptr;
    wl_fixed_t x = 0, y = 0; // surface position, logical
    int held = 0;            // PLAT_MK_* bits
    wl_cursor_theme* cursor_theme = nullptr;
    wl_surface* cursor_surface = nullptr;
};

struct WlState {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    wl_seat* seat = nullptr;
    xdg_wm_base* wm_base = nullptr;
    zxdg_decoration_manager_v1* decoration_manager = nullptr;
    wp_viewporter* viewporter = nullptr;
    wp_fractional_scale_manager_v1* fractional_manager = nullptr;
    std::vector<WlOutput> outputs;
    libdecor* decor = nullptr; // made on first use, where the compositor draws no decorations
    bool connect_tried = false;

    PlatEventProc proc = nullptr;
    WlWindow win; // the one toolkit window (win.top.surface == nullptr when none)

    WlKeyboard keys;
    WlPointer mouse;

    std::deque<PlatEvent> queue; // converted and posted events, in arrival order
    bool quit_posted = false;
    int quit_code = 0;

    // Set while a message box waits: input for its surface goes to it.
    WlToplevel* box = nullptr;
    int box_key = 0;                        // PLAT_KEY_* of the last key pressed on the box
    int box_click_x = -1, box_click_y = -1; // last left click on the box
};

extern WlState g_wl;

#define WAYLAND_DECLARE(result, name, parameters) result wayland_##name parameters;
PLAT_WINDOW_OPERATIONS(WAYLAND_DECLARE)
#undef WAYLAND_DECLARE

// Fills the table with this backend's operations; non-zero when a compositor answered.
int wayland_platform_init(PlatTable* table);

// Connection and process (wayland_connection.cpp).
bool wl_connect(); // false when no compositor can be reached
// The compositor went away: one line on standard error, status 1, at once.
[[noreturn]] void wl_lost();
// Sends what is buffered, then reads and dispatches what the compositor has sent, waiting up
// to timeout_ms (0: not at all, -1: until something comes).
void wl_pump(int timeout_ms);
int64_t wl_now_ms();

// Top-level surfaces (wayland_window.cpp).
bool wl_toplevel_create(WlToplevel* top, const char* title);
// Makes the first commit and waits for the first configure; false when the decorations the
// compositor asks the client for cannot be had.
bool wl_toplevel_show(WlToplevel* top);
// Keeps top above parent (a message box above the window).
void wl_toplevel_set_parent(WlToplevel* top, WlToplevel* parent);
void wl_toplevel_destroy(WlToplevel* top);

// Events (wayland_events.cpp).
void wl_push(int kind, int a = 0, int b = 0, int c = 0);
// Binds or drops the keyboard and pointer as the seat's capabilities change.
void wl_seat_capabilities(wl_seat* seat, uint32_t capabilities);
// Queues the repeats of a held key that are due; the time until the next one (-1: none).
int wl_key_repeat_due();
int wl_platform_key(xkb_keysym_t sym);

// Outputs and scale (wayland_scale.cpp).
void wl_output_add(wl_registry* registry, uint32_t name, uint32_t version);
void wl_output_remove(uint32_t name); // the output's global went away
// Follows the window's surface from output to output and asks for its preferred scales.
void wl_scale_watch_window();
void wl_scale_release_window(); // before the surface goes
// Fits the buffer to the window's logical size and the scale now in force: resizes the EGL
// window and queues the resized event with the buffer size when it changed.
void wl_scale_fit_window();
// Sets the buffer scale or the viewport that go with the frame about to be committed.
void wl_scale_before_commit();
// A surface position in the window's buffer pixels.
int wl_to_buffer(wl_fixed_t position);

// EGL (wayland_formats.cpp).
void wl_egl_release_window(); // the window's EGL surface and wl_egl_window
