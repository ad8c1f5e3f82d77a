// Pixel formats as GLX visuals numbered from 1, GLX contexts and the buffer swap.
#include <cstdlib>
#include <strings.h>
#include <vector>

#include "toolkit/x11_backend.h"

namespace {

std::vector<XVisualInfo> s_visuals;
bool s_visuals_read = false;

void read_visuals() {
    if (s_visuals_read || !g_x11.display) return;
    s_visuals_read = true;
    XVisualInfo pattern;
    pattern.screen = g_x11.screen;
    int count = 0;
    XVisualInfo* list = XGetVisualInfo(g_x11.display, VisualScreenMask, &pattern, &count);
    for (int i = 0; i < count; ++i) {
        int use_gl = 0;
        if (glXGetConfig(g_x11.display, &list[i], GLX_USE_GL, &use_gl) == 0 && use_gl)
            s_visuals.push_back(list[i]);
    }
    if (list) XFree(list);
}

int config(XVisualInfo* v, int attribute) {
    int value = 0;
    if (glXGetConfig(g_x11.display, v, attribute, &value) != 0) return 0;
    return value;
}

int shift_of(unsigned long mask) {
    return mask ? ffsl((long)mask) - 1 : 0;
}

void describe(XVisualInfo* v, PlatPixelFormat* f) {
    *f = PlatPixelFormat{};
    f->size = PLAT_PFD_SIZE;
    f->version = PLAT_PFD_VERSION;
    f->flags = PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL;
    if (config(v, GLX_DOUBLEBUFFER)) f->flags |= PLAT_PFD_DOUBLEBUFFER;
    if (config(v, GLX_STEREO)) f->flags |= PLAT_PFD_STEREO;
    bool rgba = config(v, GLX_RGBA) != 0;
    f->pixel_type = rgba ? PLAT_PFD_TYPE_RGBA : PLAT_PFD_TYPE_COLORINDEX;
    if (v->c_class == PseudoColor || v->c_class == GrayScale) f->flags |= PLAT_PFD_NEED_PALETTE;
    f->red_bits = config(v, GLX_RED_SIZE);
    f->green_bits = config(v, GLX_GREEN_SIZE);
    f->blue_bits = config(v, GLX_BLUE_SIZE);
    f->red_shift = shift_of(v->red_mask);
    f->green_shift = shift_of(v->green_mask);
    f->blue_shift = shift_of(v->blue_mask);
    f->color_bits = rgba ? f->red_bits + f->green_bits + f->blue_bits : config(v, GLX_BUFFER_SIZE);
    f->alpha_bits = config(v, GLX_ALPHA_SIZE);
    f->accum_alpha_bits = config(v, GLX_ACCUM_ALPHA_SIZE);
    f->accum_bits = config(v, GLX_ACCUM_RED_SIZE) + config(v, GLX_ACCUM_GREEN_SIZE) +
                    config(v, GLX_ACCUM_BLUE_SIZE) + f->accum_alpha_bits;
    f->depth_bits = config(v, GLX_DEPTH_SIZE);
    f->stencil_bits = config(v, GLX_STENCIL_SIZE);
    f->aux_buffers = config(v, GLX_AUX_BUFFERS);
    int level = config(v, GLX_LEVEL);
    f->layer_type = level == 0 ? PLAT_PFD_MAIN_PLANE
                               : (level > 0 ? PLAT_PFD_OVERLAY_PLANE : PLAT_PFD_UNDERLAY_PLANE);
}

bool is_dc(TkHandle dc) {
    return dc && dc == (TkHandle)&g_x11.win && g_x11.win.top;
}

int presence_penalty(int want, int have) {
    if ((want > 0) != (have > 0)) return 1000;
    return abs(want - have);
}

} // namespace

int x11_visual_count() {
    read_visuals();
    return (int)s_visuals.size();
}

XVisualInfo* x11_visual(int index) {
    read_visuals();
    if (index < 1 || index > (int)s_visuals.size()) return nullptr;
    return &s_visuals[index - 1];
}

int plat_choose_pixel_format(TkHandle dc, const PlatPixelFormat* request) {
    if (!is_dc(dc) || !request) return 0;
    int best = 0;
    long best_cost = 0;
    for (int i = 1; i <= x11_visual_count(); ++i) {
        PlatPixelFormat f;
        describe(x11_visual(i), &f);
        if (f.pixel_type != request->pixel_type || f.layer_type != PLAT_PFD_MAIN_PLANE) continue;
        if ((f.flags & PLAT_PFD_DOUBLEBUFFER) != (request->flags & PLAT_PFD_DOUBLEBUFFER)) continue;
        // The scene tests depth even where the mode asks for no depth buffer: always take a
        // visual that has one.
        if (f.depth_bits <= 0) continue;
        long cost = abs(f.color_bits - request->color_bits);
        cost += presence_penalty(request->alpha_bits, f.alpha_bits);
        cost += presence_penalty(request->accum_bits, f.accum_bits);
        cost += presence_penalty(request->stencil_bits, f.stencil_bits);
        if (request->depth_bits > 0) cost += abs(f.depth_bits - request->depth_bits);
        cost += f.aux_buffers;
        if (f.flags & PLAT_PFD_STEREO) cost += 1000;
        if (best == 0 || cost < best_cost) {
            best = i;
            best_cost = cost;
        }
    }
    return best;
}

int plat_describe_pixel_format(TkHandle dc, int index, PlatPixelFormat* out) {
    if (!is_dc(dc)) return 0;
    int count = x11_visual_count();
    if (out) {
        XVisualInfo* v = x11_visual(index);
        if (!v) return 0;
        describe(v, out);
    }
    return count;
}

int plat_get_pixel_format(TkHandle dc) {
    return is_dc(dc) ? g_x11.win.format : 0;
}

int plat_set_pixel_format(TkHandle dc, int index, const PlatPixelFormat*) {
    if (!is_dc(dc) || g_x11.win.format != 0) return 0;
    XVisualInfo* v = x11_visual(index);
    if (!v) return 0;
    Display* d = g_x11.display;
    X11Window& w = g_x11.win;
    x11_catch_errors_begin();
    Colormap colormap = XCreateColormap(d, w.top, v->visual, AllocNone);
    XSetWindowAttributes attributes;
    attributes.colormap = colormap;
    attributes.border_pixel = 0;
    attributes.background_pixmap = None; // GL paints every pixel; nothing to erase
    attributes.event_mask = ExposureMask;
    // A visual is fixed when an X window is made, so the drawing surface is a child that fills
    // the client area.
    Window gl =
        XCreateWindow(d, w.top, 0, 0, w.width, w.height, 0, v->depth, InputOutput, v->visual,
                      CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
    XMapWindow(d, gl);
    if (x11_catch_errors_end() || !gl) {
        if (gl) XDestroyWindow(d, gl);
        XFreeColormap(d, colormap);
        return 0;
    }
    w.gl = gl;
    w.colormap = colormap;
    w.format = index;
    return 1;
}

TkHandle plat_gl_create_context(TkHandle dc) {
    if (!is_dc(dc) || !g_x11.win.format) return 0;
    x11_catch_errors_begin();
    GLXContext context =
        glXCreateContext(g_x11.display, x11_visual(g_x11.win.format), nullptr, True);
    if (x11_catch_errors_end() || !context) return 0;
    return (TkHandle)context;
}

int plat_gl_make_current(TkHandle dc, TkHandle context) {
    if (!g_x11.display) return 0;
    if (!context) return glXMakeCurrent(g_x11.display, None, nullptr) ? 1 : 0;
    if (!is_dc(dc) || !g_x11.win.gl) return 0;
    return glXMakeCurrent(g_x11.display, g_x11.win.gl, (GLXContext)context) ? 1 : 0;
}

int plat_gl_delete_context(TkHandle context) {
    if (!g_x11.display || !context) return 0;
    glXDestroyContext(g_x11.display, (GLXContext)context);
    return 1;
}

int plat_swap_buffers(TkHandle dc) {
    if (!is_dc(dc) || !g_x11.win.gl) return 0;
    // No glFinish or XSync here: the frame rate is the animation speed.
    glXSwapBuffers(g_x11.display, g_x11.win.gl);
    return 1;
}
