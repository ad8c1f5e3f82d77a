// The native build's ES entry points: filled at run time from the EGL driver, so that the
// layer's own glEnable, glBegin... and the driver's never meet at link time.
#include "web/gl/gles_entry_points.h"

#include <EGL/egl.h>

#include <cstdio>

#define GLES_DEFINE_ENTRY_POINT(result, name, parameters, arguments)                               \
    result(*emscripten_gl##name) parameters = nullptr;
GLES_ENTRY_POINTS(GLES_DEFINE_ENTRY_POINT)
#undef GLES_DEFINE_ENTRY_POINT

bool gles_entry_points_load() {
#define GLES_LOAD_ENTRY_POINT(result, name, parameters, arguments)                                 \
    if (!emscripten_gl##name)                                                                      \
        emscripten_gl##name =                                                                      \
            reinterpret_cast<result(*) parameters>(eglGetProcAddress("gl" #name));                 \
    if (!emscripten_gl##name) {                                                                    \
        std::fprintf(stderr, "webgl layer: the GLES driver has no gl%s\n", #name);                 \
        return false;                                                                              \
    }
    GLES_ENTRY_POINTS(GLES_LOAD_ENTRY_POINT)
#undef GLES_LOAD_ENTRY_POINT
    return true;
}
