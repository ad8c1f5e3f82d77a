// Pixel formats as the EGL configs of the compositor connection, numbered from 1; EGL contexts
// on a wayland-egl window; the buffer swap, which never waits for the compositor.
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <vector>

#include "toolkit/egl_configs.h"
#include "toolkit/pixel_format.h"
#include "toolkit/wayland/wayland.h"

namespace {

EGLDisplay s_display = EGL_NO_DISPLAY;
bool s_display_tried = false;
std::vector<EGLConfig> s_configs;
std::vector<PlatPixelFormat> s_formats;

// A window surface is always double-buffered on Wayland, and the description has no room for
// multisampling, so the formats are the single-sampled window configs that draw desktop GL.
void read_configs() {
    const EGLint wanted[] = {EGL_SURFACE_TYPE,
                             EGL_WINDOW_BIT,
                             EGL_RENDERABLE_TYPE,
                             EGL_OPENGL_BIT,
                             EGL_COLOR_BUFFER_TYPE,
                             EGL_RGB_BUFFER,
                             EGL_SAMPLE_BUFFERS,
                             0,
                             EGL_NONE};
    for (EglConfigFormat c : egl_config_formats(s_display, wanted)) {
        c.format.flags |= PLAT_PFD_DOUBLEBUFFER;
        s_configs.push_back(c.config);
        s_formats.push_back(c.format);
    }
}

bool display_open() {
    if (s_display != EGL_NO_DISPLAY) return true;
    if (s_display_tried || !wl_connect()) return false;
    s_display_tried = true;
    EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, g_wl.display, nullptr);
    if (display == EGL_NO_DISPLAY) return false;
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor) || !eglBindAPI(EGL_OPENGL_API)) {
        eglTerminate(display);
        return false;
    }
    s_display = display;
    read_configs();
    return true;
}

bool is_dc(TkHandle dc) {
    return dc && dc == (TkHandle)&g_wl.win.top && g_wl.win.top.surface;
}

const PlatPixelFormat* format_of(int index) {
    if (!display_open() || index < 1 || index > (int)s_formats.size()) return nullptr;
    return &s_formats[index - 1];
}

} // namespace

void wl_egl_release_window() {
    WlWindow& w = g_wl.win;
    if (w.egl_surface != EGL_NO_SURFACE) {
        if (eglGetCurrentSurface(EGL_DRAW) == w.egl_surface)
            eglMakeCurrent(s_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroySurface(s_display, w.egl_surface);
        w.egl_surface = EGL_NO_SURFACE;
    }
    if (w.egl_window) {
        wl_egl_window_destroy(w.egl_window);
        w.egl_window = nullptr;
    }
    w.format = 0;
}

int wayland_choose_pixel_format(TkHandle dc, const PlatPixelFormat* request) {
    if (!is_dc(dc) || !display_open()) return 0;
    return pixel_format_match(request, s_formats.data(), (int)s_formats.size());
}

int wayland_describe_pixel_format(TkHandle dc, int index, PlatPixelFormat* out) {
    if (!is_dc(dc) || !display_open()) return 0;
    if (out) {
        const PlatPixelFormat* f = format_of(index);
        if (!f) return 0;
        *out = *f;
    }
    return (int)s_formats.size();
}

int wayland_get_pixel_format(TkHandle dc) {
    return is_dc(dc) ? g_wl.win.format : 0;
}

int wayland_set_pixel_format(TkHandle dc, int index, const PlatPixelFormat*) {
    WlWindow& w = g_wl.win;
    if (!is_dc(dc) || w.format != 0 || !format_of(index)) return 0;
    w.egl_window = wl_egl_window_create(w.top.surface, w.buffer_width, w.buffer_height);
    if (!w.egl_window) return 0;
    w.egl_surface =
        eglCreatePlatformWindowSurface(s_display, s_configs[index - 1], w.egl_window, nullptr);
    if (w.egl_surface == EGL_NO_SURFACE) {
        wl_egl_window_destroy(w.egl_window);
        w.egl_window = nullptr;
        return 0;
    }
    w.format = index;
    return 1;
}

TkHandle wayland_gl_create_context(TkHandle dc) {
    if (!is_dc(dc) || !g_wl.win.format) return 0;
    // Immediate mode, display lists and the fixed-function pipeline need a compatibility
    // profile.
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context =
        eglCreateContext(s_display, s_configs[g_wl.win.format - 1], EGL_NO_CONTEXT, attributes);
    return context == EGL_NO_CONTEXT ? 0 : (TkHandle)context;
}

int wayland_gl_make_current(TkHandle dc, TkHandle context) {
    if (s_display == EGL_NO_DISPLAY) return 0;
    if (!context)
        return eglMakeCurrent(s_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT) ? 1 : 0;
    EGLSurface surface = g_wl.win.egl_surface;
    if (!is_dc(dc) || surface == EGL_NO_SURFACE) return 0;
    if (!eglMakeCurrent(s_display, surface, surface, (EGLContext)context)) return 0;
    // The swap never waits for the compositor's frame callback: the animation runs as fast as
    // the machine draws, and a hidden window goes on advancing.
    eglSwapInterval(s_display, 0);
    return 1;
}

int wayland_gl_delete_context(TkHandle context) {
    if (s_display == EGL_NO_DISPLAY || !context) return 0;
    return eglDestroyContext(s_display, (EGLContext)context) ? 1 : 0;
}

int wayland_swap_buffers(TkHandle dc) {
    if (!is_dc(dc) || g_wl.win.egl_surface == EGL_NO_SURFACE) return 0;
    wl_scale_before_commit();
    if (!eglSwapBuffers(s_display, g_wl.win.egl_surface)) {
        if (wl_display_get_error(g_wl.display)) wl_lost();
        return 0;
    }
    return 1;
}
