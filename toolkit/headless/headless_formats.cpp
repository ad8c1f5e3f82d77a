// Pixel formats, surface and context on Mesa's surfaceless EGL platform: no display server, a
// desktop-GL compatibility context and a pbuffer of the client size as colour and depth buffer.
#include "toolkit/headless/headless.h"
#include "toolkit/pixel_format.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstring>

namespace {

EGLDisplay g_display = EGL_NO_DISPLAY;
bool g_display_tried = false;
// The pixel formats: each kept config twice, as single- and as double-buffered. Swapping a
// pbuffer only hands the frame to the capture step, so both views draw the same way.
std::vector<EGLConfig> g_configs;
std::vector<PlatPixelFormat> g_formats; // their descriptions, in the same order
EGLSurface g_surface = EGL_NO_SURFACE;
EGLContext g_context = EGL_NO_CONTEXT;
int g_surface_format = 0;
int g_width = 0;
int g_height = 0;

int config_attrib(EGLConfig config, EGLint name) {
    EGLint value = 0;
    eglGetConfigAttrib(g_display, config, name, &value);
    return value;
}

// Keep the 8-bit-per-channel configs that can back a desktop-GL pbuffer: the formats a
// true-colour window would offer. EGL's own sort order (the most fitting first) is kept.
void collect_formats() {
    const EGLint wanted[] = {EGL_RED_SIZE,
                             8,
                             EGL_GREEN_SIZE,
                             8,
                             EGL_BLUE_SIZE,
                             8,
                             EGL_SURFACE_TYPE,
                             EGL_PBUFFER_BIT,
                             EGL_RENDERABLE_TYPE,
                             EGL_OPENGL_BIT,
                             EGL_COLOR_BUFFER_TYPE,
                             EGL_RGB_BUFFER,
                             EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(g_display, wanted, nullptr, 0, &count) || count <= 0) return;
    std::vector<EGLConfig> configs(count);
    eglChooseConfig(g_display, wanted, configs.data(), count, &count);
    for (EGLConfig config : configs) {
        PlatPixelFormat f{};
        f.size = PLAT_PFD_SIZE;
        f.version = PLAT_PFD_VERSION;
        f.flags = PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL;
        f.pixel_type = PLAT_PFD_TYPE_RGBA;
        f.red_bits = config_attrib(config, EGL_RED_SIZE);
        f.green_bits = config_attrib(config, EGL_GREEN_SIZE);
        f.blue_bits = config_attrib(config, EGL_BLUE_SIZE);
        f.alpha_bits = config_attrib(config, EGL_ALPHA_SIZE);
        f.depth_bits = config_attrib(config, EGL_DEPTH_SIZE);
        f.stencil_bits = config_attrib(config, EGL_STENCIL_SIZE);
        if (f.red_bits != 8 || f.green_bits != 8 || f.blue_bits != 8) continue;
        if (f.alpha_bits != 0 && f.alpha_bits != 8) continue;
        f.color_bits = f.red_bits + f.green_bits + f.blue_bits;
        f.red_shift = f.green_bits + f.blue_bits;
        f.green_shift = f.blue_bits;
        f.layer_type = PLAT_PFD_MAIN_PLANE;
        for (bool double_buffer : {false, true}) {
            if (double_buffer) f.flags |= PLAT_PFD_DOUBLEBUFFER;
            g_configs.push_back(config);
            g_formats.push_back(f);
        }
    }
}

bool is_dc(TkHandle dc) {
    return dc != 0 && dc == g_headless.dc;
}

} // namespace

bool headless_display_open() {
    if (g_display != EGL_NO_DISPLAY) return true;
    if (g_display_tried) return false;
    g_display_tried = true;
    EGLDisplay display =
        eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) return false;
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor)) return false;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        eglTerminate(display);
        return false;
    }
    g_display = display;
    collect_formats();
    return true;
}

bool headless_surface_create(int format_index, int width, int height) {
    if (g_display == EGL_NO_DISPLAY || format_index < 1 ||
        format_index > static_cast<int>(g_formats.size()))
        return false;
    headless_surface_destroy();
    const EGLint attribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    g_surface = eglCreatePbufferSurface(g_display, g_configs[format_index - 1], attribs);
    if (g_surface == EGL_NO_SURFACE) return false;
    g_surface_format = format_index;
    g_width = width;
    g_height = height;
    return true;
}

bool headless_context_create() {
    if (g_surface == EGL_NO_SURFACE) return false;
    // Immediate mode, display lists and the fixed-function pipeline need a compatibility
    // context; Mesa gives its highest compatibility version for this request.
    const EGLint attribs[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                              EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    g_context =
        eglCreateContext(g_display, g_configs[g_surface_format - 1], EGL_NO_CONTEXT, attribs);
    return g_context != EGL_NO_CONTEXT;
}

bool headless_make_current(bool current) {
    if (g_display == EGL_NO_DISPLAY) return false;
    if (!current) return eglMakeCurrent(g_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (g_context == EGL_NO_CONTEXT || g_surface == EGL_NO_SURFACE) return false;
    return eglMakeCurrent(g_display, g_surface, g_surface, g_context);
}

void headless_context_destroy() {
    if (g_context == EGL_NO_CONTEXT) return;
    if (eglGetCurrentContext() == g_context)
        eglMakeCurrent(g_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(g_display, g_context);
    g_context = EGL_NO_CONTEXT;
}

void headless_surface_destroy() {
    if (g_surface == EGL_NO_SURFACE) return;
    eglDestroySurface(g_display, g_surface);
    g_surface = EGL_NO_SURFACE;
    g_surface_format = 0;
}

void headless_read_frame(std::vector<unsigned char>* rgba) {
    const size_t row = static_cast<size_t>(g_width) * 4;
    std::vector<unsigned char> bottom_up(row * g_height);
    // Read from the buffer that was drawn into, without disturbing the program's pixel state.
    GLint draw_buffer = GL_BACK, read_buffer = GL_BACK, alignment = 4;
    glGetIntegerv(GL_DRAW_BUFFER, &draw_buffer);
    glGetIntegerv(GL_READ_BUFFER, &read_buffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glReadBuffer(static_cast<GLenum>(draw_buffer));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, g_width, g_height, GL_RGBA, GL_UNSIGNED_BYTE, bottom_up.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glReadBuffer(static_cast<GLenum>(read_buffer));
    // GL's rows start at the bottom; pictures start at the top.
    rgba->resize(bottom_up.size());
    for (int y = 0; y < g_height; ++y)
        std::memcpy(rgba->data() + row * y, bottom_up.data() + row * (g_height - 1 - y), row);
}

// ---- Platform operations -------------------------------------------------------------------

int headless_choose_pixel_format(TkHandle dc, const PlatPixelFormat* request) {
    if (!is_dc(dc)) return 0;
    return pixel_format_match(request, g_formats.data(), (int)g_formats.size());
}

int headless_describe_pixel_format(TkHandle dc, int index, PlatPixelFormat* out) {
    if (!is_dc(dc)) return 0;
    const int count = static_cast<int>(g_formats.size());
    if (out == nullptr) return count;
    if (index < 1 || index > count) return 0;
    *out = g_formats[index - 1];
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
