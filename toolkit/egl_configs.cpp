#include "toolkit/egl_configs.h"

namespace {

int attribute(EGLDisplay display, EGLConfig config, EGLint name) {
    EGLint value = 0;
    eglGetConfigAttrib(display, config, name, &value);
    return value;
}

} // namespace

std::vector<EglConfigFormat> egl_config_formats(EGLDisplay display, const EGLint* wanted) {
    std::vector<EglConfigFormat> found;
    EGLint count = 0;
    if (!eglChooseConfig(display, wanted, nullptr, 0, &count) || count <= 0) return found;
    std::vector<EGLConfig> configs(count);
    if (!eglChooseConfig(display, wanted, configs.data(), count, &count)) return found;
    for (int i = 0; i < count; ++i) {
        PlatPixelFormat f{};
        f.size = PLAT_PFD_SIZE;
        f.version = PLAT_PFD_VERSION;
        f.flags = PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL;
        f.pixel_type = PLAT_PFD_TYPE_RGBA;
        f.red_bits = attribute(display, configs[i], EGL_RED_SIZE);
        f.green_bits = attribute(display, configs[i], EGL_GREEN_SIZE);
        f.blue_bits = attribute(display, configs[i], EGL_BLUE_SIZE);
        f.alpha_bits = attribute(display, configs[i], EGL_ALPHA_SIZE);
        // Packed as ARGB and XRGB buffers are: blue lowest.
        f.blue_shift = 0;
        f.green_shift = f.blue_bits;
        f.red_shift = f.blue_bits + f.green_bits;
        f.color_bits = f.red_bits + f.green_bits + f.blue_bits;
        f.depth_bits = attribute(display, configs[i], EGL_DEPTH_SIZE);
        f.stencil_bits = attribute(display, configs[i], EGL_STENCIL_SIZE);
        f.layer_type = PLAT_PFD_MAIN_PLANE;
        found.push_back({configs[i], f});
    }
    return found;
}
