// Pixel formats as GLX visuals numbered from 1, GLX contexts and the buffer swap.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <strings.h>
#include <vector>

#include <X11/Xlib-xcb.h>
#include <xcb/glx.h>

#include "toolkit/pixel_format.h"
#include "toolkit/x11/x11.h"

namespace {

// The pixel formats: GL-capable visuals in the server's order, each described once. The list is
// fixed for the life of the connection, and the rules describe every format, some more than
// once, on the way to a window.
std::vector<XVisualInfo> s_visuals;
std::vector<PlatPixelFormat> s_formats;
bool s_visuals_read = false;

int shift_of(unsigned long mask) {
    return mask ? ffsl((long)mask) - 1 : 0;
}

// Every GLX query through a visual searches the client's whole list of configurations, and
// with the few hundred visuals of a typical server, describing each of them that way cost tens
// of milliseconds at start-up. The server's own table comes in one reply: for each visual
// eighteen fixed values, in this order, then attribute pairs that no format needs.
enum VisualConfigField {
    kVisualId,
    kVisualClass,
    kRgba,
    kRed,
    kGreen,
    kBlue,
    kAlpha,
    kAccumRed,
    kAccumGreen,
    kAccumBlue,
    kAccumAlpha,
    kDoubleBuffer,
    kStereo,
    kBufferSize,
    kDepth,
    kStencil,
    kAux,
    kLevel,
    kFixedFields
};
typedef std::array<uint32_t, kFixedFields> VisualConfig;

// The GLX attribute that answers each field, for a visual the server's table leaves out.
const int k_field_attributes[kFixedFields] = {
    GLX_VISUAL_ID,       GLX_X_VISUAL_TYPE,    GLX_RGBA,
    GLX_RED_SIZE,        GLX_GREEN_SIZE,       GLX_BLUE_SIZE,
    GLX_ALPHA_SIZE,      GLX_ACCUM_RED_SIZE,   GLX_ACCUM_GREEN_SIZE,
    GLX_ACCUM_BLUE_SIZE, GLX_ACCUM_ALPHA_SIZE, GLX_DOUBLEBUFFER,
    GLX_STEREO,          GLX_BUFFER_SIZE,      GLX_DEPTH_SIZE,
    GLX_STENCIL_SIZE,    GLX_AUX_BUFFERS,      GLX_LEVEL};

PlatPixelFormat describe(const XVisualInfo& v, const VisualConfig& c) {
    PlatPixelFormat f{};
    f.size = PLAT_PFD_SIZE;
    f.version = PLAT_PFD_VERSION;
    f.flags = PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL;
    if (c[kDoubleBuffer]) f.flags |= PLAT_PFD_DOUBLEBUFFER;
    if (c[kStereo]) f.flags |= PLAT_PFD_STEREO;
    bool rgba = c[kRgba] != 0;
    f.pixel_type = rgba ? PLAT_PFD_TYPE_RGBA : PLAT_PFD_TYPE_COLORINDEX;
    if (v.c_class == PseudoColor || v.c_class == GrayScale) f.flags |= PLAT_PFD_NEED_PALETTE;
    f.red_bits = (int)c[kRed];
    f.green_bits = (int)c[kGreen];
    f.blue_bits = (int)c[kBlue];
    f.red_shift = shift_of(v.red_mask);
    f.green_shift = shift_of(v.green_mask);
    f.blue_shift = shift_of(v.blue_mask);
    f.color_bits = rgba ? f.red_bits + f.green_bits + f.blue_bits : (int)c[kBufferSize];
    f.alpha_bits = (int)c[kAlpha];
    f.accum_alpha_bits = (int)c[kAccumAlpha];
    f.accum_bits = (int)(c[kAccumRed] + c[kAccumGreen] + c[kAccumBlue] + c[kAccumAlpha]);
    f.depth_bits = (int)c[kDepth];
    f.stencil_bits = (int)c[kStencil];
    f.aux_buffers = (int)c[kAux];
    int level = (int32_t)c[kLevel]; // signed: underlay planes are below zero
    f.layer_type = level == 0 ? PLAT_PFD_MAIN_PLANE
                              : (level > 0 ? PLAT_PFD_OVERLAY_PLANE : PLAT_PFD_UNDERLAY_PLANE);
    return f;
}

// The server's visual configurations by visual id; empty when the request fails, and then each
// visual is asked through GLX instead.
std::vector<VisualConfig> server_visual_configs() {
    std::vector<VisualConfig> configs;
    xcb_connection_t* connection = XGetXCBConnection(g_x11.display);
    // A request to an extension the server lacks would close the connection.
    const xcb_query_extension_reply_t* glx = xcb_get_extension_data(connection, &xcb_glx_id);
    if (!glx || !glx->present) return configs;
    xcb_glx_get_visual_configs_reply_t* reply = xcb_glx_get_visual_configs_reply(
        connection, xcb_glx_get_visual_configs(connection, (uint32_t)g_x11.screen), nullptr);
    if (!reply) return configs;
    const uint32_t* values = xcb_glx_get_visual_configs_property_list(reply);
    int length = xcb_glx_get_visual_configs_property_list_length(reply);
    uint32_t stride = reply->num_properties;
    if (stride >= kFixedFields && (uint64_t)reply->num_visuals * stride <= (uint64_t)length) {
        for (uint32_t i = 0; i < reply->num_visuals; ++i) {
            VisualConfig c;
            std::copy_n(values + (size_t)i * stride, kFixedFields, c.begin());
            configs.push_back(c);
        }
    }
    free(reply);
    std::stable_sort(configs.begin(), configs.end(),
                     [](const auto& x, const auto& y) { return x[kVisualId] < y[kVisualId]; });
    return configs;
}

int visual_attribute(XVisualInfo* v, int attribute) {
    int value = 0;
    return glXGetConfig(g_x11.display, v, attribute, &value) == 0 ? value : 0;
}

VisualConfig read_visual_config(XVisualInfo* v) {
    VisualConfig c;
    for (int i = 0; i < kFixedFields; ++i)
        c[i] = (uint32_t)visual_attribute(v, k_field_attributes[i]);
    return c;
}

void read_visuals() {
    if (s_visuals_read || !g_x11.display) return;
    s_visuals_read = true;
    XVisualInfo pattern;
    pattern.screen = g_x11.screen;
    int count = 0;
    XVisualInfo* list = XGetVisualInfo(g_x11.display, VisualScreenMask, &pattern, &count);
    std::vector<VisualConfig> configs = server_visual_configs();
    for (int i = 0; i < count; ++i) {
        // GLX itself decides which visuals it can render to: it drops those its driver cannot
        // match. One query per visual keeps that decision.
        if (!visual_attribute(&list[i], GLX_USE_GL)) continue;
        auto it =
            std::lower_bound(configs.begin(), configs.end(), list[i].visualid,
                             [](const VisualConfig& c, VisualID id) { return c[kVisualId] < id; });
        bool listed = it != configs.end() && (*it)[kVisualId] == list[i].visualid;
        s_visuals.push_back(list[i]);
        s_formats.push_back(describe(list[i], listed ? *it : read_visual_config(&list[i])));
    }
    if (list) XFree(list);
}

const PlatPixelFormat* format_of(int index) {
    read_visuals();
    if (index < 1 || index > (int)s_formats.size()) return nullptr;
    return &s_formats[index - 1];
}

bool is_dc(TkHandle dc) {
    return dc && dc == (TkHandle)&g_x11.win && g_x11.win.top;
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

int x11_choose_pixel_format(TkHandle dc, const PlatPixelFormat* request) {
    if (!is_dc(dc)) return 0;
    read_visuals();
    return pixel_format_match(request, s_formats.data(), (int)s_formats.size());
}

int x11_describe_pixel_format(TkHandle dc, int index, PlatPixelFormat* out) {
    if (!is_dc(dc)) return 0;
    int count = x11_visual_count();
    if (out) {
        const PlatPixelFormat* f = format_of(index);
        if (!f) return 0;
        *out = *f;
    }
    return count;
}

int x11_get_pixel_format(TkHandle dc) {
    return is_dc(dc) ? g_x11.win.format : 0;
}

int x11_set_pixel_format(TkHandle dc, int index, const PlatPixelFormat*) {
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

TkHandle x11_gl_create_context(TkHandle dc) {
    if (!is_dc(dc) || !g_x11.win.format) return 0;
    x11_catch_errors_begin();
    GLXContext context =
        glXCreateContext(g_x11.display, x11_visual(g_x11.win.format), nullptr, True);
    if (x11_catch_errors_end() || !context) return 0;
    return (TkHandle)context;
}

int x11_gl_make_current(TkHandle dc, TkHandle context) {
    if (!g_x11.display) return 0;
    if (!context) return glXMakeCurrent(g_x11.display, None, nullptr) ? 1 : 0;
    if (!is_dc(dc) || !g_x11.win.gl) return 0;
    return glXMakeCurrent(g_x11.display, g_x11.win.gl, (GLXContext)context) ? 1 : 0;
}

int x11_gl_delete_context(TkHandle context) {
    if (!g_x11.display || !context) return 0;
    glXDestroyContext(g_x11.display, (GLXContext)context);
    return 1;
}

int x11_swap_buffers(TkHandle dc) {
    if (!is_dc(dc) || !g_x11.win.gl) return 0;
    // No glFinish or XSync here: the frame rate is the animation speed.
    glXSwapBuffers(g_x11.display, g_x11.win.gl);
    return 1;
}
