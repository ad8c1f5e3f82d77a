// Pixel formats through GDI's PIXELFORMATDESCRIPTOR, numbered as the platform numbers them,
// WGL rendering contexts and the buffer swap.
#include "toolkit/win32/win32.h"

#include <vector>

#include "toolkit/pixel_format.h"

namespace {

PlatPixelFormat from_descriptor(const PIXELFORMATDESCRIPTOR& d) {
    PlatPixelFormat f{};
    f.size = d.nSize;
    f.version = d.nVersion;
    f.flags = d.dwFlags;
    f.pixel_type = d.iPixelType;
    f.color_bits = d.cColorBits;
    f.red_bits = d.cRedBits;
    f.red_shift = d.cRedShift;
    f.green_bits = d.cGreenBits;
    f.green_shift = d.cGreenShift;
    f.blue_bits = d.cBlueBits;
    f.blue_shift = d.cBlueShift;
    f.alpha_bits = d.cAlphaBits;
    f.accum_bits = d.cAccumBits;
    f.accum_alpha_bits = d.cAccumAlphaBits;
    f.depth_bits = d.cDepthBits;
    f.stencil_bits = d.cStencilBits;
    f.aux_buffers = d.cAuxBuffers;
    f.layer_type = static_cast<signed char>(d.iLayerType);
    return f;
}

PIXELFORMATDESCRIPTOR to_descriptor(const PlatPixelFormat& f) {
    PIXELFORMATDESCRIPTOR d = {};
    d.nSize = sizeof d;
    d.nVersion = 1;
    d.dwFlags = f.flags;
    d.iPixelType = static_cast<BYTE>(f.pixel_type);
    d.cColorBits = static_cast<BYTE>(f.color_bits);
    d.cRedBits = static_cast<BYTE>(f.red_bits);
    d.cRedShift = static_cast<BYTE>(f.red_shift);
    d.cGreenBits = static_cast<BYTE>(f.green_bits);
    d.cGreenShift = static_cast<BYTE>(f.green_shift);
    d.cBlueBits = static_cast<BYTE>(f.blue_bits);
    d.cBlueShift = static_cast<BYTE>(f.blue_shift);
    d.cAlphaBits = static_cast<BYTE>(f.alpha_bits);
    d.cAccumBits = static_cast<BYTE>(f.accum_bits);
    d.cAccumAlphaBits = static_cast<BYTE>(f.accum_alpha_bits);
    d.cDepthBits = static_cast<BYTE>(f.depth_bits);
    d.cStencilBits = static_cast<BYTE>(f.stencil_bits);
    d.cAuxBuffers = static_cast<BYTE>(f.aux_buffers);
    d.iLayerType = static_cast<BYTE>(f.layer_type);
    return d;
}

} // namespace

int win32_choose_pixel_format(TkHandle dc, const PlatPixelFormat* request) {
    // Every format the device describes goes to the matcher that all backends share, so that
    // the same request chooses alike everywhere.
    const int count = DescribePixelFormat(win32_hdc(dc), 1, sizeof(PIXELFORMATDESCRIPTOR), nullptr);
    if (count <= 0) return 0;
    std::vector<PlatPixelFormat> formats(count);
    for (int i = 1; i <= count; ++i) {
        PIXELFORMATDESCRIPTOR d = {};
        if (DescribePixelFormat(win32_hdc(dc), i, sizeof d, &d) <= 0) return 0;
        formats[i - 1] = from_descriptor(d);
    }
    return pixel_format_match(request, formats.data(), count);
}

int win32_describe_pixel_format(TkHandle dc, int index, PlatPixelFormat* out) {
    PIXELFORMATDESCRIPTOR d = {};
    const int highest = DescribePixelFormat(win32_hdc(dc), out ? index : 1, sizeof d, &d);
    if (highest > 0 && out) *out = from_descriptor(d);
    return highest;
}

int win32_get_pixel_format(TkHandle dc) {
    return GetPixelFormat(win32_hdc(dc));
}

int win32_set_pixel_format(TkHandle dc, int index, const PlatPixelFormat* format) {
    PIXELFORMATDESCRIPTOR d = to_descriptor(*format);
    return SetPixelFormat(win32_hdc(dc), index, &d) != 0;
}

TkHandle win32_gl_create_context(TkHandle dc) {
    return win32_handle(wglCreateContext(win32_hdc(dc)));
}

int win32_gl_make_current(TkHandle dc, TkHandle context) {
    if (context == 0) return wglMakeCurrent(nullptr, nullptr) != 0;
    return wglMakeCurrent(win32_hdc(dc), reinterpret_cast<HGLRC>(context)) != 0;
}

int win32_gl_delete_context(TkHandle context) {
    return wglDeleteContext(reinterpret_cast<HGLRC>(context)) != 0;
}

int win32_swap_buffers(TkHandle dc) {
    return SwapBuffers(win32_hdc(dc)) != 0;
}
