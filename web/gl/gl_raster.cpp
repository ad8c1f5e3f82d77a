// The raster and fragment state: enables, shading, line width, culling, blending, clearing, the
// viewport and the draw buffer; what lies outside lighting and the matrices, kept here and
// handed to WebGL by each draw.
#include "web/gl/gl_internal.h"

#include <GL/gl.h>

namespace glw {

namespace {

float clamp01(float v) {
    return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
}

} // namespace

bool begin_state_change() {
    if (g_gl.inside_begin_end) return false; // GL_INVALID_OPERATION
    flush_batch();
    return true;
}

void enable(GLenum cap, bool on) {
    State& s = g_gl;
    bool* flag = nullptr;
    uint32_t dirty = 0;
    if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + kMaxLights) {
        flag = &s.lights[cap - GL_LIGHT0].enabled;
        dirty = kDirtyLights;
    } else {
        switch (cap) {
        case GL_LIGHTING:
            flag = &s.lighting; // picks the program, as GL_NORMALIZE does
            break;
        case GL_COLOR_MATERIAL:
            // The material the colour stood for while tracked is sent anew.
            flag = &s.colour_material;
            dirty = kDirtyMaterial;
            break;
        case GL_NORMALIZE:
            flag = &s.normalize;
            break;
        case GL_FOG:
            flag = &s.fog;
            break;
        case GL_DEPTH_TEST:
            flag = &s.depth_test;
            break;
        case GL_CULL_FACE:
            flag = &s.cull_face;
            break;
        case GL_BLEND:
            flag = &s.blend;
            break;
        default:
            return; // capabilities this layer has no use for (GL_INVALID_ENUM)
        }
    }
    if (*flag == on) return;
    if (!begin_state_change()) return;
    *flag = on;
    s.dirty |= dirty;
    // Enabling colour material applies the current colour at once.
    if (cap == GL_COLOR_MATERIAL && on) track_colour();
}

void shade_model(GLenum mode) {
    if (mode != GL_FLAT && mode != GL_SMOOTH) return;
    if (!begin_state_change()) return;
    g_gl.shade_model = mode;
}

void line_width(float width) {
    if (!(width > 0.0f)) return; // GL_INVALID_VALUE
    if (!begin_state_change()) return;
    g_gl.line_width = width;
    g_gl.dirty |= kDirtyRaster;
}

void front_face(GLenum mode) {
    if (mode != GL_CW && mode != GL_CCW) return;
    if (!begin_state_change()) return;
    g_gl.front_face = mode;
}

void blend_func(GLenum src, GLenum dst) {
    switch (src) {
    case GL_ZERO:
    case GL_ONE:
    case GL_DST_COLOR:
    case GL_ONE_MINUS_DST_COLOR:
    case GL_SRC_ALPHA:
    case GL_ONE_MINUS_SRC_ALPHA:
    case GL_DST_ALPHA:
    case GL_ONE_MINUS_DST_ALPHA:
    case GL_SRC_ALPHA_SATURATE:
        break;
    default:
        return;
    }
    switch (dst) {
    case GL_ZERO:
    case GL_ONE:
    case GL_SRC_COLOR:
    case GL_ONE_MINUS_SRC_COLOR:
    case GL_SRC_ALPHA:
    case GL_ONE_MINUS_SRC_ALPHA:
    case GL_DST_ALPHA:
    case GL_ONE_MINUS_DST_ALPHA:
        break;
    default:
        return;
    }
    if (!begin_state_change()) return;
    g_gl.blend_src = src;
    g_gl.blend_dst = dst;
}

void clear_colour(float r, float g, float b, float a) {
    if (!begin_state_change()) return;
    float* c = g_gl.clear_colour;
    c[0] = clamp01(r);
    c[1] = clamp01(g);
    c[2] = clamp01(b);
    c[3] = clamp01(a);
}

void clear_index(float index) {
    // Only colour-index windows clear to an index; the value is kept and has no effect.
    if (!begin_state_change()) return;
    g_gl.clear_index = index;
}

void clear(GLbitfield mask) {
    const GLbitfield known =
        GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_ACCUM_BUFFER_BIT;
    if (mask & ~known) return; // GL_INVALID_VALUE
    if (!begin_state_change()) return;
    // The window has no stencil or accumulation buffer to clear.
    clear_buffers(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}

void viewport(int x, int y, int width, int height) {
    if (width < 0 || height < 0) return; // GL_INVALID_VALUE
    if (!begin_state_change()) return;
    int* v = g_gl.viewport;
    v[0] = x;
    v[1] = y;
    v[2] = width;
    v[3] = height;
    g_gl.dirty |= kDirtyRaster;
}

void draw_buffer(GLenum mode) {
    // An RGBA double-buffered window without stereo or auxiliary buffers. The canvas shows
    // each frame once it is done, so the front and the back buffer draw alike; GL_NONE draws
    // no colour at all.
    switch (mode) {
    case GL_NONE:
    case GL_FRONT:
    case GL_BACK:
    case GL_LEFT:
    case GL_FRONT_LEFT:
    case GL_BACK_LEFT:
    case GL_FRONT_AND_BACK:
        break;
    default:
        return; // GL_INVALID_OPERATION for buffers the window lacks, else GL_INVALID_ENUM
    }
    if (!begin_state_change()) return;
    g_gl.draw_buffer = mode;
}

} // namespace glw

using namespace glw;

extern "C" {

void glEnable(GLenum cap) {
    if (execute_now(ListOp::enable, cap)) enable(cap, true);
}

void glDisable(GLenum cap) {
    if (execute_now(ListOp::disable, cap)) enable(cap, false);
}

void glShadeModel(GLenum mode) {
    if (execute_now(ListOp::shade_model, mode)) shade_model(mode);
}

void glLineWidth(GLfloat width) {
    if (execute_now(ListOp::line_width, width)) line_width(width);
}

void glFrontFace(GLenum mode) {
    if (execute_now(ListOp::front_face, mode)) front_face(mode);
}

void glBlendFunc(GLenum src, GLenum dst) {
    if (execute_now(ListOp::blend_func, src, dst)) blend_func(src, dst);
}

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    if (execute_now(ListOp::clear_colour, r, g, b, a)) clear_colour(r, g, b, a);
}

void glClearIndex(GLfloat index) {
    if (execute_now(ListOp::clear_index, index)) clear_index(index);
}

void glClear(GLbitfield mask) {
    if (execute_now(ListOp::clear, mask)) clear(mask);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (execute_now(ListOp::viewport, x, y, width, height)) viewport(x, y, width, height);
}

void glDrawBuffer(GLenum mode) {
    if (execute_now(ListOp::draw_buffer, mode)) draw_buffer(mode);
}

// Not recorded in display lists; draws what is batched and recorded.
void glFlush() {
    if (g_gl.inside_begin_end) return;
    flush_batch();
    submit_frame();
}

} // extern "C"
