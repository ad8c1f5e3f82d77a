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
    OP(get_version)                                                                              \
    OP(get_system_metric)                                                                        \
    OP(adjust_window_rect)                                                                       \
    OP(destroy_window)                                                                           \
    OP(get_window_rect)                                                                          \
    OP(get_client_rect)                                                                          \
    OP(get_dc)                                                                                   \
    OP(release_dc)                                                                               \
    OP(dispatch_event)                                                                           \
    OP(default_event)                                                                            \
    OP(invalidate)                                                                               \
    OP(begin_paint)                                                                              \
    OP(end_paint)                                                                                \
    OP(key_held)                                                                                 \
    OP(get_focus)

// The window operations each such backend defines for itself.
#define SINGLE_WINDOW_BACKEND_OPERATIONS(OP)                                                       \
    OP(register_class)                                                                           \
    OP(create_window)                                                                            \
    OP(show_window)                                                                              \
    OP(choose_pixel_format)                                                                      \
    OP(describe_pixel_format)                                                                    \
    OP(get_pixel_format)                                                                         \
    OP(set_pixel_format)                                                                         \
    OP(gl_create_context)                                                                        \
    OP(gl_make_current)                                                                          \
    OP(gl_delete_context)                                                                        \
    OP(swap_buffers)                                                                             \
    OP(peek_event)                                                                               \
    OP(get_event)                                                                                \
    OP(post_quit)                                                                                \
    OP(post_user_refresh)                                                                        \
    OP(capture_mouse)                                                                            \
    OP(release_mouse)                                                                            \
    OP(get_cursor_pos)                                                                           \
    OP(message_box)                                                                              \
    OP(exit_process)                                                                             \
    OP(yield)

// Declares <prefix>_<name> with the signature of the table's member name.
#define SINGLE_WINDOW_DECLARE(prefix, name)                                                        \
    std::remove_pointer_t<decltype(PlatTable::name)> prefix##_##name;

#define SINGLE_WINDOW_DECLARE_SHARED(name) SINGLE_WINDOW_DECLARE(single_window, name)
SINGLE_WINDOW_OPERATIONS(SINGLE_WINDOW_DECLARE_SHARED)
#undef SINGLE_WINDOW_DECLARE_SHARED

// The one window; window == 0 when there is none.
struct SingleWindow {
    PlatEventProc proc = nullptr;
    bool registered = false;
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

// Fills table with the shared operations, the plain settings and the true-colour palette group;
// the backend then fills in its own operations.
void single_window_fill(PlatTable* table);
// Registers the class: proc receives every event, release tears down what the backend made for
// the window. Returns 1.
int single_window_register(PlatEventProc proc, void (*release)());
// Makes the window's handles and takes its place and client size; 0 when the class is not
// registered, the window exists already or the size is empty.
TkHandle single_window_create(int x, int y, int width, int height);
bool single_window_is(TkHandle window);
bool single_window_needs_repaint();
// The repaint, reported after every queued event as long as the area is invalid; no key is
// held with it.
void single_window_take_repaint(PlatEvent* event);
