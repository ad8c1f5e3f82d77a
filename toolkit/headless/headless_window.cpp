// The headless window: one off-screen surface of the client size stands for the window, its
// device context and its pixel format; nothing is shown anywhere.
#include "toolkit/egl_backend.h"
#include "toolkit/egl_internal.h"
#include "toolkit/platform.h"

#include <sched.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

PlatEventProc g_proc = nullptr;
bool g_registered = false;

int g_forced_width = 0;
int g_forced_height = 0;

int g_serial = 0; // makes every new window's handles differ from the last one's
TkHandle g_window = 0;
TkHandle g_dc = 0;
TkHandle g_context = 0;
int g_x = 0, g_y = 0, g_width = 0, g_height = 0;
int g_format = 0;
bool g_invalid = false;
bool g_painting = false;

bool is_window(TkHandle w) {
    return w != 0 && w == g_window;
}
bool is_dc(TkHandle dc) {
    return dc != 0 && dc == g_dc;
}

void describe(const EglFormat& f, PlatPixelFormat* out) {
    *out = PlatPixelFormat();
    out->size = PLAT_PFD_SIZE;
    out->version = PLAT_PFD_VERSION;
    out->flags = PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL;
    if (f.double_buffer) out->flags |= PLAT_PFD_DOUBLEBUFFER;
    out->pixel_type = PLAT_PFD_TYPE_RGBA;
    out->color_bits = f.red_bits + f.green_bits + f.blue_bits;
    out->red_bits = f.red_bits;
    out->red_shift = f.green_bits + f.blue_bits;
    out->green_bits = f.green_bits;
    out->green_shift = f.blue_bits;
    out->blue_bits = f.blue_bits;
    out->blue_shift = 0;
    out->alpha_bits = f.alpha_bits;
    out->depth_bits = f.depth_bits;
    out->stencil_bits = f.stencil_bits;
    out->layer_type = PLAT_PFD_MAIN_PLANE;
}

// How far a format is from a request; the smallest wins. A request for no depth buffer still
// prefers one of 24 bits: a program that enables depth testing gets hidden-surface removal.
int distance(const EglFormat& f, const PlatPixelFormat& r) {
    int d = 0;
    if (f.double_buffer != ((r.flags & PLAT_PFD_DOUBLEBUFFER) != 0)) d += 1000;
    if (r.alpha_bits > 0 && f.alpha_bits == 0) d += 500;
    if (r.alpha_bits == 0 && f.alpha_bits > 0) d += 1;
    if (r.stencil_bits > 0 && f.stencil_bits == 0) d += 500;
    if (r.stencil_bits == 0 && f.stencil_bits > 0) d += 2;
    if (r.depth_bits > 0) {
        if (f.depth_bits < r.depth_bits)
            d += 100 + (r.depth_bits - f.depth_bits);
        else
            d += (f.depth_bits - r.depth_bits) / 8;
    } else {
        d += f.depth_bits == 0 ? 50 : std::abs(f.depth_bits - 24) / 8;
    }
    return d;
}

} // namespace

// ---- Backend settings and internal queries ------------------------------------------------

void egl_backend_set_size(int width, int height) {
    g_forced_width = width > 0 && height > 0 ? width : 0;
    g_forced_height = width > 0 && height > 0 ? height : 0;
}

TkHandle egl_window_handle() {
    return g_window;
}
bool egl_window_needs_repaint() {
    return g_window != 0 && g_invalid;
}
bool egl_window_painting() {
    return g_painting;
}
PlatEventProc egl_event_proc() {
    return g_proc;
}

// ---- Class registration, version, metrics -------------------------------------------------

int plat_register_class(int, PlatEventProc proc) {
    if (!g_registered) {
        if (!egl_display_open()) return 0;
        g_registered = true;
    }
    g_proc = proc;
    return 1;
}

int plat_get_version(PlatVersion* version) {
    version->platform_id = PLAT_VER_PLATFORM_WIN32_NT;
    version->major = 10;
    version->minor = 0;
    return 1;
}

// An undecorated window: no frame, caption or border.
int plat_get_system_metric(int) {
    return 0;
}
int plat_adjust_window_rect(PlatRect*) {
    return 1;
}

// ---- Windows -------------------------------------------------------------------------------

TkHandle plat_create_window(const char*, const wchar_t*, int x, int y, int width, int height,
                            int default_position) {
    if (!g_registered || g_window != 0) return 0;
    if (g_forced_width > 0) {
        width = g_forced_width;
        height = g_forced_height;
    }
    if (width < 1 || height < 1) return 0;
    ++g_serial;
    g_window = 0x1000 + g_serial;
    g_x = default_position ? 0 : x;
    g_y = default_position ? 0 : y;
    g_width = width;
    g_height = height;
    g_format = 0;
    g_invalid = false;
    g_painting = false;
    return g_window;
}

int plat_destroy_window(TkHandle window) {
    if (!is_window(window)) return 0;
    PlatEvent e = {};
    e.kind = PLAT_EV_DESTROYED;
    e.window = window;
    if (g_proc) g_proc(&e);
    // Whatever the toolkit left behind goes with the window.
    egl_context_destroy();
    egl_surface_destroy();
    egl_queue_drop_window_events();
    g_window = 0;
    g_dc = 0;
    g_context = 0;
    g_format = 0;
    g_invalid = false;
    g_painting = false;
    return 1;
}

int plat_get_window_rect(TkHandle window, PlatRect* rect) {
    if (!is_window(window)) return 0;
    *rect = {g_x, g_y, g_x + g_width, g_y + g_height};
    return 1;
}

int plat_get_client_rect(TkHandle window, PlatRect* rect) {
    if (!is_window(window)) return 0;
    *rect = {0, 0, g_width, g_height};
    return 1;
}

int plat_show_window(TkHandle window) {
    if (!is_window(window)) return 0;
    // A newly shown window is exposed: its first repaint comes before anything else.
    g_invalid = true;
    return 1;
}

TkHandle plat_get_dc(TkHandle window) {
    if (!is_window(window)) return 0;
    if (g_dc == 0) g_dc = 0x2000 + g_serial;
    return g_dc;
}

int plat_release_dc(TkHandle window, TkHandle dc) {
    return is_window(window) && is_dc(dc);
}

// ---- Pixel formats and GL contexts --------------------------------------------------------

int plat_choose_pixel_format(TkHandle dc, const PlatPixelFormat* request) {
    if (!is_dc(dc) || request->pixel_type != PLAT_PFD_TYPE_RGBA) return 0;
    const std::vector<EglFormat>& formats = egl_formats();
    int best = 0, best_distance = 0;
    for (size_t i = 0; i < formats.size(); ++i) {
        const int d = distance(formats[i], *request);
        if (best == 0 || d < best_distance) {
            best = static_cast<int>(i) + 1;
            best_distance = d;
        }
    }
    return best;
}

int plat_describe_pixel_format(TkHandle dc, int index, PlatPixelFormat* out) {
    if (!is_dc(dc)) return 0;
    const int count = static_cast<int>(egl_formats().size());
    if (out == nullptr) return count;
    if (index < 1 || index > count) return 0;
    describe(egl_formats()[index - 1], out);
    return count;
}

int plat_get_pixel_format(TkHandle dc) {
    return is_dc(dc) ? g_format : 0;
}

int plat_set_pixel_format(TkHandle dc, int index, const PlatPixelFormat*) {
    // A window's format is set once.
    if (!is_dc(dc) || g_format != 0) return 0;
    if (!egl_surface_create(index, g_width, g_height)) return 0;
    g_format = index;
    return 1;
}

TkHandle plat_gl_create_context(TkHandle dc) {
    if (!is_dc(dc) || g_format == 0 || g_context != 0) return 0;
    if (!egl_context_create()) return 0;
    g_context = 0x3000 + g_serial;
    return g_context;
}

int plat_gl_make_current(TkHandle dc, TkHandle context) {
    if (context == 0) return egl_make_current(false);
    if (!is_dc(dc) || context != g_context) return 0;
    return egl_make_current(true);
}

int plat_gl_delete_context(TkHandle context) {
    if (context == 0 || context != g_context) return 0;
    egl_context_destroy();
    g_context = 0;
    return 1;
}

int plat_swap_buffers(TkHandle dc) {
    if (!is_dc(dc) || g_context == 0) return 0;
    egl_present_frame();
    return 1;
}

// ---- Repaint -------------------------------------------------------------------------------

int plat_invalidate(TkHandle window) {
    if (!is_window(window)) return 0;
    g_invalid = true;
    return 1;
}

void plat_begin_paint(TkHandle window) {
    if (!is_window(window)) return;
    g_painting = true;
    g_invalid = false; // a request made while painting asks for one more repaint
}

void plat_end_paint(TkHandle) {
    g_painting = false;
}

// ---- Input ---------------------------------------------------------------------------------

void plat_capture_mouse(TkHandle) {}
void plat_release_mouse() {}

int plat_get_cursor_pos(int* x, int* y) {
    *x = g_x;
    *y = g_y;
    return 1;
}

TkHandle plat_get_focus() {
    return g_window;
}

// ---- Process -------------------------------------------------------------------------------

// No display to show a box on: the text goes to standard error so that no failure is silent.
int plat_message_box(TkHandle, const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s", caption, text);
    const size_t n = text ? std::strlen(text) : 0;
    if (n == 0 || text[n - 1] != '\n') std::fputc('\n', stderr);
    return 1;
}

void plat_exit_process(int status) {
    // Ends at once, without the exit processing; what was already printed still reaches its
    // destination.
    std::fflush(nullptr);
    _exit(status);
}

void plat_yield() {
    sched_yield();
}
