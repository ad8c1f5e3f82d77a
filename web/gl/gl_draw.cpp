// The WebGL side of drawing: the frame's draws and clears recorded with the per-fragment state
// they are done under (depth test with GL_LESS, culling, blending, the draw buffer, the
// viewport), their submission in one pass, and the layer's life in the backend's context.
#include "web/gl/gl_internal.h"
#include "web/gl/gles_entry_points.h"
#include "web/gl/webgl_layer.h"

#include <GL/gl.h>

#include <cstdio>
#include <vector>

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#else
#define EMSCRIPTEN_KEEPALIVE
#endif

namespace glw {

namespace {

// One vertex array and buffer per vertex layout: triangles and points, and line corners. The
// frame's vertices of each layout are collected here until the frame is submitted.
struct Stream {
    GLuint vao = 0;
    GLuint buffer = 0;
    std::vector<float> vertices;
};

// The per-fragment state a draw is done under.
struct Pipeline {
    bool depth_test = false;
    bool cull_face = false;
    bool blend = false;
    GLenum blend_src = GL_ONE;
    GLenum blend_dst = GL_ZERO;
    GLenum front_face = GL_CCW;
    bool colour_write = true;
    int viewport[4] = {};
};

struct Record {
    BatchKind kind; // none: a clear
    GLbitfield clear_mask;
    float clear_colour[4];
    uint32_t first; // the draw's first vertex in its stream
    uint32_t count;
    UniformSet uniforms;
    Pipeline pipeline;
};

// A frame that is never flushed is sent once its vertices reach this many floats.
constexpr size_t kMaxFrameFloats = size_t(16) << 20;

bool s_ready = false;
Stream s_streams[2];
std::vector<Record> s_records;

// What WebGL was last told, so that the submission changes only what differs.
struct Applied {
    bool valid = false;
    Pipeline pipeline;
    float clear_colour[4] = {};
};
Applied s_applied;

void make_stream(Stream& s, int floats_per_vertex) {
    emscripten_glGenVertexArrays(1, &s.vao);
    emscripten_glGenBuffers(1, &s.buffer);
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

// Lines and points are never culled.
Pipeline pipeline_now(bool polygons) {
    const State& s = g_gl;
    Pipeline p;
    p.depth_test = s.depth_test;
    p.cull_face = s.cull_face && polygons;
    p.blend = s.blend;
    p.blend_src = s.blend_src;
    p.blend_dst = s.blend_dst;
    p.front_face = s.front_face;
    // GL_NONE draws no colour; the canvas shows each frame once done, so front and back alike.
    p.colour_write = s.draw_buffer != GL_NONE;
    for (int i = 0; i < 4; ++i)
        p.viewport[i] = s.viewport[i];
    return p;
}

void set_capability(GLenum cap, bool on, bool& applied) {
    if (s_applied.valid && applied == on) return;
    if (on)
        emscripten_glEnable(cap);
    else
        emscripten_glDisable(cap);
    applied = on;
}

void apply_colour_write(bool write) {
    bool& applied = s_applied.pipeline.colour_write;
    if (s_applied.valid && applied == write) return;
    emscripten_glColorMask(write, write, write, write);
    applied = write;
}

void apply_pipeline(const Pipeline& p) {
    Pipeline& a = s_applied.pipeline;
    const bool valid = s_applied.valid;
    set_capability(GL_DEPTH_TEST, p.depth_test, a.depth_test);
    set_capability(GL_CULL_FACE, p.cull_face, a.cull_face);
    set_capability(GL_BLEND, p.blend, a.blend);
    if (!valid || a.blend_src != p.blend_src || a.blend_dst != p.blend_dst) {
        emscripten_glBlendFunc(p.blend_src, p.blend_dst);
        a.blend_src = p.blend_src;
        a.blend_dst = p.blend_dst;
    }
    if (!valid || a.front_face != p.front_face) {
        emscripten_glFrontFace(p.front_face);
        a.front_face = p.front_face;
    }
    if (!valid || a.viewport[0] != p.viewport[0] || a.viewport[1] != p.viewport[1] ||
        a.viewport[2] != p.viewport[2] || a.viewport[3] != p.viewport[3]) {
        emscripten_glViewport(p.viewport[0], p.viewport[1], p.viewport[2], p.viewport[3]);
        for (int i = 0; i < 4; ++i)
            a.viewport[i] = p.viewport[i];
    }
    apply_colour_write(p.colour_write);
    s_applied.valid = true;
}

void apply_clear(const Record& r) {
    const float* c = r.clear_colour;
    float* a = s_applied.clear_colour;
    if (a[0] != c[0] || a[1] != c[1] || a[2] != c[2] || a[3] != c[3]) {
        emscripten_glClearColor(c[0], c[1], c[2], c[3]);
        for (int i = 0; i < 4; ++i)
            a[i] = c[i];
    }
    apply_colour_write(r.pipeline.colour_write);
    emscripten_glClear(r.clear_mask);
}

void forget_frame() {
    for (Stream& stream : s_streams)
        stream.vertices.clear();
    s_records.clear();
    forget_recorded_uniforms();
}

} // namespace

void draw(BatchKind kind, const float* vertices, int vertex_count) {
    // Before the layer is set up, or after it is released, there is nothing to draw into.
    if (!s_ready || kind == BatchKind::none || vertex_count <= 0) return;
    const bool lines = kind == BatchKind::lines;
    std::vector<float>& stream = s_streams[lines ? 1 : 0].vertices;
    const size_t floats = size_t(lines ? kLineFloats : kTriangleFloats);
    Record r = {};
    r.kind = kind;
    r.first = uint32_t(stream.size() / floats);
    r.count = uint32_t(vertex_count);
    r.uniforms = record_uniforms(kind);
    r.pipeline = pipeline_now(kind == BatchKind::triangles);
    stream.insert(stream.end(), vertices, vertices + size_t(vertex_count) * floats);
    s_records.push_back(r);
    if (s_streams[0].vertices.size() + s_streams[1].vertices.size() > kMaxFrameFloats)
        submit_frame();
}

void clear_buffers(GLbitfield mask) {
    if (!s_ready || mask == 0) return;
    Record r = {};
    r.kind = BatchKind::none;
    r.clear_mask = mask;
    for (int i = 0; i < 4; ++i)
        r.clear_colour[i] = g_gl.clear_colour[i];
    r.pipeline.colour_write = g_gl.draw_buffer != GL_NONE;
    s_records.push_back(r);
}

void submit_frame() {
    if (!s_ready) {
        forget_frame();
        return;
    }
    for (Stream& stream : s_streams) {
        if (stream.vertices.empty()) continue;
        emscripten_glBindBuffer(GL_ARRAY_BUFFER, stream.buffer);
        emscripten_glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(stream.vertices.size() * sizeof(float)),
                                stream.vertices.data(), GL_STREAM_DRAW);
    }
    BatchKind bound = BatchKind::none;
    for (const Record& r : s_records) {
        if (r.kind == BatchKind::none) {
            apply_clear(r);
            continue;
        }
        if (!apply_uniforms(r.uniforms)) continue;
        apply_pipeline(r.pipeline);
        const bool lines = r.kind == BatchKind::lines;
        if (bound == BatchKind::none || (bound == BatchKind::lines) != lines) {
            emscripten_glBindVertexArray(s_streams[lines ? 1 : 0].vao);
            bound = r.kind;
        }
        emscripten_glDrawArrays(r.kind == BatchKind::points ? GL_POINTS : GL_TRIANGLES,
                                GLint(r.first), GLsizei(r.count));
    }
    forget_frame();
}

} // namespace glw

using namespace glw;

namespace {

// Forgets the layer's objects; deletes them only while their context lives.
void release_objects(bool delete_them) {
    // What is still batched or recorded goes with the context.
    s_ready = false;
    flush_batch();
    forget_frame();
    for (Stream& stream : s_streams) {
        if (delete_them && stream.vao) emscripten_glDeleteVertexArrays(1, &stream.vao);
        if (delete_them && stream.buffer) emscripten_glDeleteBuffers(1, &stream.buffer);
        stream.vao = 0;
        stream.buffer = 0;
    }
    forget_programs(delete_them);
}

} // namespace

bool webgl_layer_init() {
    s_ready = false;
    forget_frame();
#ifndef __EMSCRIPTEN__
    if (!gles_entry_points_load()) return false;
#endif
    s_applied = Applied{};
    // Mesa does not dither 8-bit colour buffers; WebGL starts with dithering on.
    emscripten_glDisable(GL_DITHER);
    // WebGL's own default, which the cache above starts from.
    emscripten_glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    if (!build_programs()) return false;
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
    release_objects(true);
}

void webgl_layer_flush() {
    flush_batch();
    submit_frame();
}

extern "C" {

EMSCRIPTEN_KEEPALIVE void webgl_layer_context_lost(void) {
    release_objects(false);
}

// The state the objects are made from never left the layer; only the objects are made anew.
EMSCRIPTEN_KEEPALIVE void webgl_layer_context_restored(void) {
    release_objects(false);
    if (!webgl_layer_init()) std::fprintf(stderr, "webgl layer: not restored\n");
}

} // extern "C"
