// The headless backend over OpenGL ES 3, where the program's GL is the layer of web/gl/. The
// layer implements only the calls the program makes; the few more that the backend's shared
// files make to finish and read back a frame (headless_events.cpp, headless_formats.cpp) are
// answered here by the ES driver, once the layer has drawn what it holds.
#include "web/gl/gles_entry_points.h"
#include "web/gl/webgl_layer.h"

#include <GL/gl.h>

extern "C" {

void glFinish() {
    webgl_layer_flush();
    emscripten_glFinish();
}

void glGetIntegerv(GLenum pname, GLint* data) {
    // ES names the default framebuffer's draw buffer as the first of its draw buffers.
    emscripten_glGetIntegerv(pname == GL_DRAW_BUFFER ? GL_DRAW_BUFFER0 : pname, data);
}

void glReadBuffer(GLenum mode) {
    emscripten_glReadBuffer(mode);
}

void glPixelStorei(GLenum pname, GLint param) {
    emscripten_glPixelStorei(pname, param);
}

void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid* pixels) {
    webgl_layer_flush();
    emscripten_glReadPixels(x, y, width, height, format, type, pixels);
}

} // extern "C"
