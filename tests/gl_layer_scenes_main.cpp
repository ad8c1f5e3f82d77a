// The layer's half of the GL layer tests: draws the scenes named on the command line through
// web/gl/ over OpenGL ES 3 and writes the frames to standard output, as "W H N\n" and then N
// frames of RGBA rows, top row first. It links no libGL: the layer defines glEnable and the
// rest itself. A step "lose-context" replaces the EGL context with a new one between frames and
// has the layer rebuild what it owns there.
#include "tests/support/gl_scenes.h"
#include "web/gl/gles_entry_points.h"
#include "web/gl/webgl_layer.h"

#include <EGL/egl.h>

#include <cstdio>

namespace {

void lose_context() {
    const EGLDisplay display = eglGetCurrentDisplay();
    const EGLSurface surface = eglGetCurrentSurface(EGL_DRAW);
    const EGLContext old = eglGetCurrentContext();
    EGLint id = 0, count = 0;
    eglQueryContext(display, old, EGL_CONFIG_ID, &id);
    const EGLint wanted[] = {EGL_CONFIG_ID, id, EGL_NONE};
    EGLConfig config;
    eglChooseConfig(display, wanted, &config, 1, &count);
    webgl_layer_context_lost();
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, old);
    const EGLint attribs[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_NONE};
    const EGLContext fresh = eglCreateContext(display, config, EGL_NO_CONTEXT, attribs);
    if (count != 1 || fresh == EGL_NO_CONTEXT ||
        !eglMakeCurrent(display, surface, surface, fresh)) {
        std::fprintf(stderr, "gl_layer_scenes: no new context\n");
        return;
    }
    // A restored canvas starts blank; this surface still holds the last frame.
    emscripten_glClearColor(1, 0, 1, 1);
    emscripten_glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    webgl_layer_context_restored();
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> steps(argv + 1, argv + argc);
    const std::vector<RenderImage> frames = draw_gl_scenes(steps, lose_context);
    std::printf("%d %d %zu\n", kSceneWidth, kSceneHeight, frames.size());
    for (const RenderImage& f : frames)
        std::fwrite(f.rgba.data(), 1, f.rgba.size(), stdout);
    return frames.empty() ? 1 : 0;
}
