// The headless backend's pixel formats and contexts as platform operations, and the read-back
// of a finished frame: the same on every platform, over the surface and context that the GL's
// own file makes (headless_egl.cpp on Linux, headless_wgl.cpp on Windows).
#include "toolkit/headless/headless.h"
#include "toolkit/pixel_format.h"

#include <GL/gl.h>

#include <cstring>

std::vector<PlatPixelFormat> g_headless_formats;

namespace {

bool is_dc(TkHandle dc) {
    return dc != 0 && dc == g_headless.dc;
}

} // namespace

void headless_read_frame(std::vector<unsigned char>* rgba) {
    const size_t row = static_cast<size_t>(g_headless.width) * 4;
    std::vector<unsigned char> bottom_up(row * g_headless.height);
    // Read from the buffer that was drawn into, without disturbing the program's pixel state.
    GLint draw_buffer = GL_BACK, read_buffer = GL_BACK, alignment = 4;
    glGetIntegerv(GL_DRAW_BUFFER, &draw_buffer);
    glGetIntegerv(GL_READ_BUFFER, &read_buffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glReadBuffer(static_cast<GLenum>(draw_buffer));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, g_headless.width, g_headless.height, GL_RGBA, GL_UNSIGNED_BYTE,
                 bottom_up.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glReadBuffer(static_cast<GLenum>(read_buffer));
    // GL's rows start at the bottom; pictures start at the top.
    rgba->resize(bottom_up.size());
    for (int y = 0; y < g_headless.height; ++y)
        std::memcpy(rgba->data() + row * y, bottom_up.data() + row * (g_headless.height - 1 - y),
                    row);
}

// ---- Platform operations -------------------------------------------------------------------

int headless_choose_pixel_format(TkHandle dc, const PlatPixelFormat* request) {
    if (!is_dc(dc)) return 0;
    return pixel_format_match(request, g_headless_formats.data(), (int)g_headless_formats.size());
}

int headless_describe_pixel_format(TkHandle dc, int index, PlatPixelFormat* out) {
    if (!is_dc(dc)) return 0;
    const int count = static_cast<int>(g_headless_formats.size());
    if (out == nullptr) return count;
    if (index < 1 || index > count) return 0;
    *out = g_headless_formats[index - 1];
    return count;
}

int headless_get_pixel_format(TkHandle dc) {
    return is_dc(dc) ? g_headless.format : 0;
}

int headless_set_pixel_format(TkHandle dc, int index, const PlatPixelFormat*) {
    // A window's format is set once.
    if (!is_dc(dc) || g_headless.format != 0) return 0;
    if (!headless_surface_create(index, g_headless.width, g_headless.height)) return 0;
    g_headless.format = index;
    return 1;
}

TkHandle headless_gl_create_context(TkHandle dc) {
    if (!is_dc(dc) || g_headless.format == 0 || g_headless.context != 0) return 0;
    if (!headless_context_create()) return 0;
    g_headless.context = 0x3000 + g_headless.serial;
    return g_headless.context;
}

int headless_gl_make_current(TkHandle dc, TkHandle context) {
    if (context == 0) return headless_make_current(false);
    if (!is_dc(dc) || context != g_headless.context) return 0;
    return headless_make_current(true);
}

int headless_gl_delete_context(TkHandle context) {
    if (context == 0 || context != g_headless.context) return 0;
    headless_context_destroy();
    g_headless.context = 0;
    return 1;
}

int headless_swap_buffers(TkHandle dc) {
    if (!is_dc(dc) || g_headless.context == 0) return 0;
    headless_present_frame();
    return 1;
}
