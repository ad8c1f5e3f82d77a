// Pixel formats, surface and context on Mesa's surfaceless EGL platform: no display server, a
// desktop-GL compatibility context and a pbuffer of the client size as colour and depth buffer.
// Built with CRANE_HEADLESS_GLES, the context is OpenGL ES 3 instead and the program's GL is
// the layer of web/gl/, set up in each new context (headless_gles.cpp).
#include "toolkit/headless/headless.h"
#include "toolkit/egl_configs.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#ifdef CRANE_HEADLESS_GLES
#include "web/gl/webgl_layer.h"
#endif

namespace {

#ifdef CRANE_HEADLESS_GLES
constexpr EGLenum kApi = EGL_OPENGL_ES_API;
constexpr EGLint kRenderable = EGL_OPENGL_ES3_BIT;
const EGLint kContextAttribs[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_NONE};
bool g_layer_ready = false; // set up in the current context
#else
constexpr EGLenum kApi = EGL_OPENGL_API;
constexpr EGLint kRenderable = EGL_OPENGL_BIT;
// Immediate mode, display lists and the fixed-function pipeline need a compatibility
// context; Mesa gives its highest compatibility version for this request.
const EGLint kContextAttribs[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                  EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
#endif

EGLDisplay g_display = EGL_NO_DISPLAY;
bool g_display_tried = false;
// The pixel formats: each kept config twice, as single- and as double-buffered. Swapping a
// pbuffer only hands the frame to the capture step, so both views draw the same way.
std::vector<EGLConfig> g_configs;
EGLSurface g_surface = EGL_NO_SURFACE;
EGLContext g_context = EGL_NO_CONTEXT;
int g_surface_format = 0;

// Keep the 8-bit-per-channel configs that can back a pbuffer for the API: the formats a
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
                             kRenderable,
                             EGL_COLOR_BUFFER_TYPE,
                             EGL_RGB_BUFFER,
                             EGL_NONE};
    for (EglConfigFormat c : egl_config_formats(g_display, wanted)) {
        PlatPixelFormat& f = c.format;
        if (f.red_bits != 8 || f.green_bits != 8 || f.blue_bits != 8) continue;
        if (f.alpha_bits != 0 && f.alpha_bits != 8) continue;
        for (bool double_buffer : {false, true}) {
            if (double_buffer) f.flags |= PLAT_PFD_DOUBLEBUFFER;
            g_configs.push_back(c.config);
            g_headless_formats.push_back(f);
        }
    }
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
    if (!eglBindAPI(kApi)) {
        eglTerminate(display);
        return false;
    }
    g_display = display;
    collect_formats();
    return true;
}

bool headless_surface_create(int format_index, int width, int height) {
    if (g_display == EGL_NO_DISPLAY || format_index < 1 ||
        format_index > static_cast<int>(g_headless_formats.size()))
        return false;
    headless_surface_destroy();
    const EGLint attribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    g_surface = eglCreatePbufferSurface(g_display, g_configs[format_index - 1], attribs);
    if (g_surface == EGL_NO_SURFACE) return false;
    g_surface_format = format_index;
    return true;
}

bool headless_context_create() {
    if (g_surface == EGL_NO_SURFACE) return false;
    g_context = eglCreateContext(g_display, g_configs[g_surface_format - 1], EGL_NO_CONTEXT,
                                 kContextAttribs);
    return g_context != EGL_NO_CONTEXT;
}

bool headless_make_current(bool current) {
    if (g_display == EGL_NO_DISPLAY) return false;
    if (!current) return eglMakeCurrent(g_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (g_context == EGL_NO_CONTEXT || g_surface == EGL_NO_SURFACE) return false;
    if (!eglMakeCurrent(g_display, g_surface, g_surface, g_context)) return false;
#ifdef CRANE_HEADLESS_GLES
    if (!g_layer_ready) g_layer_ready = webgl_layer_init();
    return g_layer_ready;
#else
    return true;
#endif
}

void headless_context_destroy() {
    if (g_context == EGL_NO_CONTEXT) return;
#ifdef CRANE_HEADLESS_GLES
    if (g_layer_ready && g_surface != EGL_NO_SURFACE &&
        eglMakeCurrent(g_display, g_surface, g_surface, g_context))
        webgl_layer_release();
    g_layer_ready = false;
#endif
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
