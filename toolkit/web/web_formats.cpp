// The web window's one pixel format (RGBA, 8 bits a channel, double-buffered, with depth), the
// WebGL 2 context on the canvas that web/gl/ draws through, and the swap.
#include "toolkit/pixel_format.h"
#include "toolkit/web/web.h"
#include "web/gl/webgl_layer.h"

#include <emscripten.h>
#include <emscripten/html5_webgl.h>

namespace {

// What a canvas with {alpha: false, depth: true} gives: the compositor shows the drawing
// buffer, so it is double-buffered.
const PlatPixelFormat k_format = {PLAT_PFD_SIZE,
                                  PLAT_PFD_VERSION,
                                  PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL |
                                      PLAT_PFD_DOUBLEBUFFER,
                                  PLAT_PFD_TYPE_RGBA,
                                  24,
                                  8,
                                  16,
                                  8,
                                  8,
                                  8,
                                  0,
                                  0,
                                  0,
                                  0,
                                  24,
                                  0,
                                  0,
                                  PLAT_PFD_MAIN_PLANE};

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE g_context = 0;
bool g_layer_ready = false;

bool is_dc(TkHandle dc) {
    return dc != 0 && dc == g_web.dc;
}

} // namespace

EM_ASYNC_JS(void, web_page_present, (int repaint), { await WebBackend.present(repaint != 0); });

int web_choose_pixel_format(TkHandle dc, const PlatPixelFormat* request) {
    if (!is_dc(dc)) return 0;
    return pixel_format_match(request, &k_format, 1);
}

int web_describe_pixel_format(TkHandle dc, int index, PlatPixelFormat* out) {
    if (!is_dc(dc)) return 0;
    if (out == nullptr) return 1;
    if (index != 1) return 0;
    *out = k_format;
    return 1;
}

int web_get_pixel_format(TkHandle dc) {
    return is_dc(dc) ? g_web.format : 0;
}

int web_set_pixel_format(TkHandle dc, int index, const PlatPixelFormat*) {
    // A window's format is set once.
    if (!is_dc(dc) || g_web.format != 0 || index != 1) return 0;
    g_web.format = index;
    return 1;
}

TkHandle web_gl_create_context(TkHandle dc) {
    if (!is_dc(dc) || g_web.format == 0 || g_web.context != 0) return 0;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = false;
    attributes.depth = true;
    attributes.stencil = false;
    attributes.antialias = false; // as Mesa draws: no multisampling
    attributes.premultipliedAlpha = true;
    attributes.preserveDrawingBuffer = false;
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    g_context = emscripten_webgl_create_context("#canvas", &attributes);
    if (g_context <= 0) {
        g_context = 0;
        return 0;
    }
    g_web.context = 0x3000 + g_web.serial;
    return g_web.context;
}

int web_gl_make_current(TkHandle dc, TkHandle context) {
    if (context == 0) return emscripten_webgl_make_context_current(0) == EMSCRIPTEN_RESULT_SUCCESS;
    if (!is_dc(dc) || context != g_web.context) return 0;
    if (emscripten_webgl_make_context_current(g_context) != EMSCRIPTEN_RESULT_SUCCESS) return 0;
    // The layer's shaders and buffers are made once per context.
    if (!g_layer_ready) g_layer_ready = webgl_layer_init();
    return g_layer_ready;
}

int web_gl_delete_context(TkHandle context) {
    if (context == 0 || context != g_web.context) return 0;
    // The layer's objects go with the context they were made in, while it is current.
    emscripten_webgl_make_context_current(g_context);
    webgl_layer_release();
    emscripten_webgl_make_context_current(0);
    emscripten_webgl_destroy_context(g_context);
    g_context = 0;
    g_layer_ready = false;
    g_web.context = 0;
    return 1;
}

int web_swap_buffers(TkHandle dc) {
    // Without a window there is nothing to show, but the page must still get its turn.
    const bool ok = is_dc(dc) && g_web.context != 0;
    if (ok) webgl_layer_flush();
    web_page_present(g_web.painting);
    return ok;
}
