// The WebGL side of a draw: the layer's buffers and vertex arrays, the per-fragment state a
// batch is drawn under (depth test with GL_LESS, culling, blending, the draw buffer), the clear,
// and the layer's life in the backend's context.
#include "web/gl/gl_internal.h"
#include "web/gl/webgl_layer.h"

#include <GL/gl.h>
#include <webgl/webgl1.h>
#include <webgl/webgl2.h>

namespace glw {

namespace {

// One vertex array and buffer per vertex layout: triangles and points, and line corners.
struct Stream {
    GLuint vao = 0;
    GLuint buffer = 0;
    GLsizeiptr capacity = 0; // bytes the buffer holds
};

// What WebGL was last told, so that a draw changes only what differs.
struct Applied {
    bool valid = false;
    bool depth_test = false;
    bool cull_face = false;
    bool blend = false;
    GLenum blend_src = GL_ONE;
    GLenum blend_dst = GL_ZERO;
    GLenum front_face = GL_CCW;
    bool colour_write = true;
    int viewport[4] = {};
    float clear_colour[4] = {};
};

bool s_ready = false;
Stream s_streams[2];
Applied s_applied;

void make_stream(Stream& s, int floats_per_vertex) {
    emscripten_glGenVertexArrays(1, &s.vao);
    emscripten_glGenBuffers(1, &s.buffer);
    s.capacity = 0;
    emscripten_glBindVertexArray(s.vao);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, s.buffer);
    const GLsizei stride = GLsizei(floats_per_vertex * sizeof(float));
    const auto attribute = [&](GLuint index, int size, int offset) {
        emscripten_glEnableVertexAttribArray(index);
        emscripten_glVertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, stride,
                                         reinterpret_cast<const void*>(offset * sizeof(float)));
    };
    attribute(kPosition, 3, 0);
    attribute(kNormal, 3, 3);
    attribute(kColour, 4, 6);
    if (floats_per_vertex == kLineFloats) {
        attribute(kOther, 3, 10);
        attribute(kSide, 1, 13);
    }
    emscripten_glBindVertexArray(0);
}

void set_capability(GLenum cap, bool on, bool& applied) {
    if (s_applied.valid && applied == on) return;
    if (on)
        emscripten_glEnable(cap);
    else
        emscripten_glDisable(cap);
    applied = on;
}

void apply_colour_write() {
    const bool write = g_gl.draw_buffer != GL_NONE;
    if (s_applied.valid && s_applied.colour_write == write) return;
    emscripten_glColorMask(write, write, write, write);
    s_applied.colour_write = write;
}

// Lines and points are never culled.
void apply_state(bool polygons) {
    const State& s = g_gl;
    Applied& a = s_applied;
    set_capability(GL_DEPTH_TEST, s.depth_test, a.depth_test);
    set_capability(GL_CULL_FACE, s.cull_face && polygons, a.cull_face);
    set_capability(GL_BLEND, s.blend, a.blend);
    if (!a.valid || a.blend_src != s.blend_src || a.blend_dst != s.blend_dst) {
        emscripten_glBlendFunc(s.blend_src, s.blend_dst);
        a.blend_src = s.blend_src;
        a.blend_dst = s.blend_dst;
    }
    if (!a.valid || a.front_face != s.front_face) {
        emscripten_glFrontFace(s.front_face);
        a.front_face = s.front_face;
    }
    if (!a.valid || a.viewport[0] != s.viewport[0] || a.viewport[1] != s.viewport[1] ||
        a.viewport[2] != s.viewport[2] || a.viewport[3] != s.viewport[3]) {
        emscripten_glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
        for (int i = 0; i < 4; ++i)
            a.viewport[i] = s.viewport[i];
    }
    apply_colour_write();
    a.valid = true;
}

void upload(Stream& stream, const float* data, GLsizeiptr bytes) {
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, stream.buffer);
    if (bytes > stream.capacity) {
        GLsizeiptr capacity = stream.capacity > 0 ? stream.capacity : 1 << 16;
        while (capacity < bytes)
            capacity *= 2;
        emscripten_glBufferData(GL_ARRAY_BUFFER, capacity, nullptr, GL_DYNAMIC_DRAW);
        stream.capacity = capacity;
    }
    emscripten_glBufferSubData(GL_ARRAY_BUFFER, 0, bytes, data);
}

} // namespace

void draw(BatchKind kind, const float* vertices, int vertex_count) {
    // Before the layer is set up, or after it is released, there is nothing to draw into.
    if (!s_ready || kind == BatchKind::none) return;
    apply_state(kind == BatchKind::triangles);
    upload_uniforms(kind);
    const bool lines = kind == BatchKind::lines;
    Stream& stream = s_streams[lines ? 1 : 0];
    const int floats = lines ? kLineFloats : kTriangleFloats;
    emscripten_glBindVertexArray(stream.vao);
    upload(stream, vertices, GLsizeiptr(vertex_count) * floats * GLsizeiptr(sizeof(float)));
    emscripten_glDrawArrays(kind == BatchKind::points ? GL_POINTS : GL_TRIANGLES, 0, vertex_count);
}

void clear_buffers(GLbitfield mask) {
    if (!s_ready || mask == 0) return;
    const float* c = g_gl.clear_colour;
    Applied& a = s_applied;
    if (a.clear_colour[0] != c[0] || a.clear_colour[1] != c[1] || a.clear_colour[2] != c[2] ||
        a.clear_colour[3] != c[3]) {
        emscripten_glClearColor(c[0], c[1], c[2], c[3]);
        for (int i = 0; i < 4; ++i)
            a.clear_colour[i] = c[i];
    }
    apply_colour_write();
    emscripten_glClear(mask);
}

} // namespace glw

using namespace glw;

bool webgl_layer_init() {
    s_ready = false;
    s_applied = Applied{};
    // Mesa does not dither 8-bit colour buffers; WebGL starts with dithering on.
    emscripten_glDisable(GL_DITHER);
    // WebGL's own defaults, which the cache above starts from.
    emscripten_glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    if (!build_program()) return false;
    make_stream(s_streams[0], kTriangleFloats);
    make_stream(s_streams[1], kLineFloats);
    // GL starts with the viewport on the whole window; the canvas's size is what WebGL has.
    State& s = g_gl;
    if (s.viewport[2] == 0 && s.viewport[3] == 0) {
        emscripten_glGetIntegerv(GL_VIEWPORT, s.viewport);
        s.dirty |= kDirtyRaster;
    }
    s_ready = true;
    return true;
}

void webgl_layer_release() {
    // What is still batched goes with the context.
    s_ready = false;
    flush_batch();
    for (Stream& stream : s_streams) {
        if (stream.vao) emscripten_glDeleteVertexArrays(1, &stream.vao);
        if (stream.buffer) emscripten_glDeleteBuffers(1, &stream.buffer);
        stream = Stream{};
    }
    forget_program();
}

void webgl_layer_flush() {
    flush_batch();
}
