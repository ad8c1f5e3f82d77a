// Window and visual set-up: placement, the opening steps, pixel-format selection, the current
// format's description, the cursor query and error reporting.
#include "toolkit/tk_window.h"

#include <cstdarg>
#include <cstdio>

#include "toolkit/tk_palette.h"

TkWindowState g_tk_win;

namespace {

bool s_class_registered = false;

void client_origin_from_outer(int left, int top) {
    g_tk_win.x = left + plat().get_system_metric(PLAT_SM_CXFRAME);
    g_tk_win.y = top + plat().get_system_metric(PLAT_SM_CYCAPTION) -
                 plat().get_system_metric(PLAT_SM_CYBORDER) +
                 plat().get_system_metric(PLAT_SM_CYFRAME);
}

bool has_window_flags(const PlatPixelFormat& f) {
    return (f.flags & PLAT_PFD_DRAW_TO_WINDOW) && (f.flags & PLAT_PFD_SUPPORT_OPENGL);
}

void zero(PlatPixelFormat* f) {
    *f = PlatPixelFormat{};
}

int choose_by_description(TkHandle dc, int mode, PlatPixelFormat* out) {
    zero(out);
    out->size = PLAT_PFD_SIZE;
    out->version = PLAT_PFD_VERSION;
    out->flags = PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL;
    if (mode & TK_MODE_DOUBLE) out->flags |= PLAT_PFD_DOUBLEBUFFER;
    if (mode & TK_MODE_INDEX) {
        out->pixel_type = PLAT_PFD_TYPE_COLORINDEX;
        out->color_bits = 8;
    } else {
        out->pixel_type = PLAT_PFD_TYPE_RGBA;
        out->color_bits = 24;
    }
    out->alpha_bits = (mode & TK_MODE_ALPHA) ? 8 : 0;
    out->accum_bits = (mode & TK_MODE_ACCUM) ? out->color_bits + out->alpha_bits : 0;
    if (mode & TK_MODE_DEPTH16)
        out->depth_bits = 16;
    else if (mode & TK_MODE_DEPTH)
        out->depth_bits = 32;
    else
        out->depth_bits = 0;
    out->stencil_bits = (mode & TK_MODE_STENCIL) ? 4 : 0;
    out->aux_buffers = 0;
    out->layer_type = PLAT_PFD_MAIN_PLANE;
    return plat().choose_pixel_format(dc, out);
}

bool acceptable(const PlatPixelFormat& f, int mode) {
    if (!has_window_flags(f) || f.layer_type != PLAT_PFD_MAIN_PLANE) return false;
    bool index = (mode & TK_MODE_INDEX) != 0;
    if (f.pixel_type == PLAT_PFD_TYPE_RGBA && index) return false;
    if (f.pixel_type == PLAT_PFD_TYPE_COLORINDEX && !index) return false;
    if (((f.flags & PLAT_PFD_DOUBLEBUFFER) != 0) != ((mode & TK_MODE_DOUBLE) != 0)) return false;
    if (!index) {
        bool accum = (mode & TK_MODE_ACCUM) != 0;
        bool alpha = (mode & TK_MODE_ALPHA) != 0;
        if ((f.accum_bits > 0) != accum) return false;
        if ((f.alpha_bits > 0) != alpha) return false;
        if (accum && alpha && f.accum_alpha_bits <= 0) return false;
    }
    bool depth = (mode & (TK_MODE_DEPTH | TK_MODE_DEPTH16)) != 0;
    if ((f.depth_bits > 0) != depth) return false;
    if ((f.stencil_bits > 0) != ((mode & TK_MODE_STENCIL) != 0)) return false;
    return true;
}

int choose_by_scan(TkHandle dc, int mode, PlatPixelFormat* out) {
    int best = 0;
    PlatPixelFormat best_format{};
    // The highest index is re-read with every description.
    for (int i = 1; i <= plat().describe_pixel_format(dc, i, nullptr); ++i) {
        PlatPixelFormat f{};
        if (plat().describe_pixel_format(dc, i, &f) <= 0) return 0;
        if (!acceptable(f, mode) || f.color_bits <= 0) continue;
        // Strictly more colour bits: on a tie the lower index stays.
        if (best == 0 || f.color_bits > best_format.color_bits) {
            best = i;
            best_format = f;
        }
    }
    if (best) *out = best_format;
    return best;
}

int choose_explicit(TkHandle dc, PlatPixelFormat* out) {
    int index = g_tk_win.format_index;
    if (index <= 0) return 0;
    PlatPixelFormat f{};
    int highest = plat().describe_pixel_format(dc, index, &f);
    if (highest <= 0 || highest < index || !has_window_flags(f)) return 0;
    *out = f;
    return index;
}

bool set_pixel_format(TkHandle dc) {
    PlatPixelFormat format{};
    int index = tk_choose_pixel_format(dc, g_tk_win.display_mode, &format);
    if (index == 0) {
        tk_report_error("Selecting a pixel format failed\n");
        return false;
    }
    if (!plat().set_pixel_format(dc, index, &format)) {
        tk_report_error("SetPixelFormat failed\n");
        return false;
    }
    tk_make_rgb_palette(dc);
    return true;
}

bool open_steps(const void* title, bool wide) {
    PlatVersion version{0, 0, 0};
    plat().get_version(&version);
    bool nt35 = version.platform_id == PLAT_VER_PLATFORM_WIN32_NT && version.major == 3 &&
                (version.minor == 5 || version.minor == 51);
    tk_set_system_color_count(nt35 ? 21 : 25);

    if (!s_class_registered) {
        if (!plat().register_class(wide ? 1 : 0, tk_win_proc)) {
            tk_report_error("Failed to register window class\n");
            return false;
        }
        s_class_registered = true;
    }

    PlatRect rect{g_tk_win.x, g_tk_win.y, g_tk_win.x + g_tk_win.width,
                  g_tk_win.y + g_tk_win.height};
    plat().adjust_window_rect(&rect);

    const char* narrow = wide ? nullptr : static_cast<const char*>(title);
    const wchar_t* wtitle = wide ? static_cast<const wchar_t*>(title) : nullptr;
    TkHandle window =
        plat().create_window(narrow, wtitle, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, g_tk_win.default_position ? 1 : 0);
    if (!window) {
        tk_report_error("create window failed\n");
        return false;
    }
    g_tk_win.window = window;

    if (g_tk_win.default_position) {
        PlatRect outer{0, 0, 0, 0};
        plat().get_window_rect(window, &outer);
        client_origin_from_outer(outer.left, outer.top);
    }

    TkHandle dc = plat().get_dc(window);
    if (!dc) {
        tk_report_error("Could not get an HDC for window 0x%08lX\n", (unsigned long)window);
        tk_win_destroy();
        return false;
    }
    g_tk_win.dc = dc;

    plat().show_window(window);

    if (!set_pixel_format(dc)) {
        tk_win_destroy();
        return false;
    }

    TkHandle context = plat().gl_create_context(dc);
    if (!context) {
        tk_report_error("wglCreateContext Failed\n");
        tk_win_destroy();
        return false;
    }
    g_tk_win.gl_context = context;

    if (!plat().gl_make_current(dc, context)) {
        tk_report_error("wglMakeCurrent Failed\n");
        tk_win_destroy();
        return false;
    }
    return true;
}

} // namespace

void tk_set_window_rect(int x, int y, int width, int height) {
    if (x == TK_CW_USEDEFAULT) {
        g_tk_win.default_position = true;
        x = 0;
        y = 0;
    } else {
        g_tk_win.default_position = false;
    }
    client_origin_from_outer(x, y);
    g_tk_win.width = width;
    g_tk_win.height = height;
}

bool tk_win_open(const void* title, bool wide) {
    g_tk_win.opening = true;
    bool ok = open_steps(title, wide);
    g_tk_win.opening = false;
    return ok;
}

int tk_choose_pixel_format(TkHandle dc, int mode, PlatPixelFormat* out) {
    switch (g_tk_win.format_rule) {
    case TK_FORMAT_RULE_DESCRIBE:
        return choose_by_description(dc, mode, out);
    case TK_FORMAT_RULE_SCAN:
        return choose_by_scan(dc, mode, out);
    }
    return choose_explicit(dc, out);
}

int tk_describe_current_format(TkHandle dc, PlatPixelFormat* out) {
    int index = plat().get_pixel_format(dc);
    if (index <= 0) {
        tk_report_error("Could not get pixel format for Dc 0x%08lX\n", (unsigned long)dc);
        return 0;
    }
    if (plat().describe_pixel_format(dc, index, out) <= 0) {
        tk_report_error("Could not get a description of pixel format %d\n", index);
        return 0;
    }
    return index;
}

void tk_get_mouse_position(int* x, int* y) {
    *x = 0;
    *y = 0;
    int sx = 0, sy = 0;
    plat().get_cursor_pos(&sx, &sy);
    *x = sx - g_tk_win.x;
    *y = sy - g_tk_win.y;
}

void tk_report_error(const char* format, ...) {
    char message[256];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    if (g_tk_win.error_boxes) plat().message_box(plat().get_focus(), message, "Error");
}

void tk_set_pixel_format_rule(int rule) {
    g_tk_win.format_rule = rule;
}
void tk_set_pixel_format_index(int index) {
    g_tk_win.format_index = index;
}
void tk_set_error_boxes(int on) {
    g_tk_win.error_boxes = on != 0;
}
int tk_get_pixel_format_rule() {
    return g_tk_win.format_rule;
}
int tk_get_pixel_format_index() {
    return g_tk_win.format_index;
}
