// The EGL configs of a display as pixel formats, for the backends that draw through EGL
// (wayland/ on a compositor's connection, headless/ on Mesa's surfaceless platform).
#pragma once

#include <EGL/egl.h>

#include <vector>

#include "toolkit/platform.h"

struct EglConfigFormat {
    EGLConfig config;
    PlatPixelFormat format; // RGBA, draws to a window with OpenGL; packed with blue lowest
};

// The configs that match wanted (an EGL_NONE-terminated attribute list), described, in EGL's own
// sort order (the most fitting first); empty when there are none.
std::vector<EglConfigFormat> egl_config_formats(EGLDisplay display, const EGLint* wanted);
