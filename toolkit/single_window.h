// The bookkeeping of a backend whose one window is a thing of its own making rather than the
// window system's (headless/: an off-screen surface; web/: the page's canvas): the handles it
// gives out, the client size, the repaint state, the key state that came with the event last
// taken, and the operations that follow from that alone, defined here as single_window_<name>.
// Such a backend defines the rest as <backend>_<name> and fills the table with both lists.
#pragma once

#include <type_traits>

#include "toolkit/platform.h"

// The window operations that depend on the bookkeeping alone.
#define SINGLE_WINDOW_OPERATIONS(OP)                                                               \
    OP(register_class)                                                                             \
    OP(get_version)                                                                                \
    OP(get_system_metric)                                                                          \
    OP(adjust_window_rect)                                                                         \
    OP(destroy_window)                                                                             \
    OP(get_window_rect)                                                                            \
    OP(get_client_rect)                                                                            \
    OP(get_dc)                                                                                     \
    OP(release_dc)                                                                                 \
    OP(dispatch_event)                                                                             \
    OP(default_event)                                                                              \
    OP(invalidate)                                                                                 \
    OP(begin_paint)                                                                                \
    OP(end_paint)                                                                                  \
    OP(key_held)                                                                                   \
    OP(get_focus)

// The window operations each such backend defines for itself, as prefix_<name>.
#define SINGLE_WINDOW_BACKEND_OPERATIONS(OP, prefix)                                               \
    OP(prefix, create_window)                                                                      \
    OP(prefix, show_window)                                                                        \
    OP(prefix, choose_pixel_format)                                                                \
    OP(prefix, describe_pixel_format)                                                              \
    OP(prefix, get_pixel_format)                                                                   \
    OP(prefix, set_pixel_format)                                                                   \
    OP(prefix, gl_create_context)                                                                  \
    OP(prefix, gl_make_current)                                                                    \
    OP(prefix, gl_delete_context)                                                                  \
    OP(prefix, swap_buffers)                                                                       \
    OP(prefix, peek_event)                                                                         \
    OP(prefix, get_event)                                                                          \
    OP(prefix, post_quit)                                                                          \
    OP(prefix, post_user_refresh)                                                                  \
    OP(prefix, capture_mouse)                                                                      \
    OP(prefix, release_mouse)                                                                      \
    OP(prefix, get_cursor_pos)                                                                     \
    OP(prefix, message_box)                                                                        \
    OP(prefix, exit_process)                                                                       \
    OP(prefix, yield)

// Declares <prefix>_<name> with the signature of the table's member name.
#define SINGLE_WINDOW_DECLARE(prefix, name)                                                        \
    std::remove_pointer_t<decltype(PlatTable::name)> prefix##_##name;
// Fills the member name of table (a PlatTable* in scope) with <prefix>_<name>.
#define SINGLE_WINDOW_FILL(prefix, name) table->name = prefix##_##name;

#define SINGLE_WINDOW_DECLARE_SHARED(name) SINGLE_WINDOW_DECLARE(single_window, name)
SINGLE_WINDOW_OPERATIONS(SINGLE_WINDOW_DECLARE_SHARED)
#undef SINGLE_WINDOW_DECLARE_SHARED

// The one window; window == 0 when there is none.
struct SingleWindow {
    PlatEventProc proc = nullptr;
    bool registered = false;
    bool (*available)() = nullptr; // whether the backend's window system answers (the class)
    // What the backend releases with the window (contexts, surfaces, queued events), after the
    // toolkit has had the destroyed event.
    void (*release)() = nullptr;
    int serial = 0; // makes every new window's handles differ from the last one's
    TkHandle window = 0, dc = 0, context = 0;
    // Outer origin on the screen (0, 0 where there are no other windows to place it among) and
    // client size; the window has no frame.
    int x = 0, y = 0, width = 0, height = 0;
    int format = 0;
    bool invalid = false;                          // needs a repaint
    bool painting = false;                         // between begin and end of a repaint
    bool shift_held = false, control_held = false; // with the event last taken
};

extern SingleWindow g_single_window;

// Fills table with the shared operations, the plain settings and the true-colour palette group
// (the backend fills in its own). available: whether the backend's window system answers, asked
// again when the class registers; release: what the backend makes for a window, torn down with
// it. Returns available().
int single_window_fill(PlatTable* table, bool (*available)(), void (*release)());
// Makes the window's handles and takes its place and client size; 0 when the class is not
// registered, the window exists already or the size is empty.
TkHandle single_window_create(int x, int y, int width, int height);
bool single_window_is(TkHandle window);
bool single_window_needs_repaint();
// The repaint, reported after every queued event as long as the area is invalid; no key is
// held with it.
void single_window_take_repaint(PlatEvent* event);
