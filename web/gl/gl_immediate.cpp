// glBegin/glEnd: each vertex takes the current normal and colour; the primitives are broken
// into what WebGL draws (triangles, points) and collected into one batch, which becomes one
// draw of the frame when the state it depends on is about to change, when a primitive of
// another kind begins, or when the frame is flushed.
//
// Flat shading takes the colour of GL's provoking vertex, and WebGL's flat outputs take the
// last vertex of each triangle, so every triangle is emitted with its provoking vertex last:
// the last vertex of a triangle, of a line segment, of a quad, the first of a polygon. Lines
// are drawn as quads across their segments (WebGL draws no wide lines); each corner carries
// its segment's other end for the shader.
//
// A quad is split along one of its diagonals, and a smooth-shaded quad shows which. Mesa's
// llvmpipe splits it into 0,1,3 and 1,2,3, except for what it draws straight from
// glBegin/glEnd (consecutive GL_QUADS blocks make one draw) when no vertex of that draw lies
// outside the clip volume: then into 0,1,2 and 0,2,3. The quads of such a run are emitted the
// first way and turned the second way when the run ends inside the clip volume.
#include "web/gl/gl_internal.h"

#include <GL/gl.h>

#include <cstring>
#include <vector>

namespace glw {

namespace {

struct Vertex {
    float position[3];
    float normal[3];
    float colour[4];
};

struct Assembly {
    int count = 0;   // vertices since glBegin
    Vertex held[3];  // the vertices the next primitive still needs
    Vertex first;    // for loops, fans and polygons
    Vertex previous; // the last vertex, for strips, loops, fans and polygons
};

// The smooth-shaded GL_QUADS blocks since the last draw or other primitive.
struct QuadRun {
    bool active = false;
    bool outside = false; // a vertex outside the clip volume
    size_t first = 0;     // where its triangles start in the batch
};

Assembly s_assembly;
std::vector<float> s_batch;
int s_batch_vertices = 0;
BatchKind s_batch_kind = BatchKind::none;
QuadRun s_quads;
float s_mvp[16];
uint32_t s_mvp_serial = ~0u;

BatchKind kind_of(GLenum mode) {
    switch (mode) {
    case GL_POINTS:
        return BatchKind::points;
    case GL_LINES:
    case GL_LINE_STRIP:
    case GL_LINE_LOOP:
        return BatchKind::lines;
    case GL_TRIANGLES:
    case GL_TRIANGLE_STRIP:
    case GL_TRIANGLE_FAN:
    case GL_QUADS:
    case GL_QUAD_STRIP:
    case GL_POLYGON:
        return BatchKind::triangles;
    default:
        return BatchKind::none;
    }
}

float* grow(int floats, int vertices) {
    const size_t at = s_batch.size();
    s_batch.resize(at + size_t(floats));
    s_batch_vertices += vertices;
    return s_batch.data() + at;
}

void put(float* to, const Vertex& v) {
    for (int i = 0; i < 3; ++i)
        to[i] = v.position[i];
    for (int i = 0; i < 3; ++i)
        to[3 + i] = v.normal[i];
    for (int i = 0; i < 4; ++i)
        to[6 + i] = v.colour[i];
}

void emit_point(const Vertex& v) {
    put(grow(kTriangleFloats, 1), v);
}

void emit_triangle(const Vertex& a, const Vertex& b, const Vertex& c) {
    float* to = grow(3 * kTriangleFloats, 3);
    put(to, a);
    put(to + kTriangleFloats, b);
    put(to + 2 * kTriangleFloats, c);
}

void put_corner(float* to, const Vertex& self, const Vertex& other, float side) {
    put(to, self);
    for (int i = 0; i < 3; ++i)
        to[10 + i] = other.position[i];
    to[13] = side;
}

// The segment from a to b as two triangles across it, b's corners last in each.
void emit_segment(const Vertex& a, const Vertex& b) {
    float* to = grow(6 * kLineFloats, 6);
    put_corner(to, a, b, -1.0f);
    put_corner(to + kLineFloats, a, b, 1.0f);
    put_corner(to + 2 * kLineFloats, b, a, 1.0f);
    put_corner(to + 3 * kLineFloats, a, b, -1.0f);
    put_corner(to + 4 * kLineFloats, b, a, 1.0f);
    put_corner(to + 5 * kLineFloats, b, a, -1.0f);
}

bool outside_clip_volume(const Vertex& v) {
    if (s_mvp_serial != g_gl.transform_serial) {
        std::memcpy(s_mvp, projection_top(), sizeof s_mvp);
        multiply(s_mvp, modelview_top());
        s_mvp_serial = g_gl.transform_serial;
    }
    const float* m = s_mvp;
    const float* p = v.position;
    float c[4];
    for (int r = 0; r < 4; ++r)
        c[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
    for (int i = 0; i < 3; ++i)
        if (c[i] < -c[3] || c[i] > c[3]) return true;
    return false;
}

void emit_quad(const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& d) {
    if (g_gl.shade_model == GL_SMOOTH && !replaying_list()) {
        if (!s_quads.active) s_quads = QuadRun{true, false, s_batch.size()};
        if (!s_quads.outside)
            s_quads.outside = outside_clip_volume(a) || outside_clip_volume(b) ||
                              outside_clip_volume(c) || outside_clip_volume(d);
    }
    emit_triangle(a, b, d);
    emit_triangle(b, c, d);
}

// Turns the run's quads from a,b,d b,c,d into a,b,c a,c,d when it stayed inside.
void end_quad_run() {
    if (!s_quads.active) return;
    s_quads.active = false;
    if (s_quads.outside) return;
    constexpr size_t n = kTriangleFloats;
    for (size_t q = s_quads.first; q + 6 * n <= s_batch.size(); q += 6 * n) {
        float* t = &s_batch[q];
        std::memcpy(t + 2 * n, t + 4 * n, n * sizeof(float)); // c
        std::memcpy(t + 3 * n, t, n * sizeof(float));         // a
        std::memcpy(t + 4 * n, t + 2 * n, n * sizeof(float)); // c
        // slot 5 already holds d
    }
}

void assemble(const Vertex& v) {
    Assembly& p = s_assembly;
    const int n = p.count++;
    switch (g_gl.begin_mode) {
    case GL_POINTS:
        emit_point(v);
        break;
    case GL_LINES:
        if (n % 2 == 1) emit_segment(p.previous, v);
        break;
    case GL_LINE_STRIP:
    case GL_LINE_LOOP:
        if (n == 0)
            p.first = v;
        else
            emit_segment(p.previous, v);
        break;
    case GL_TRIANGLES:
        if (n % 3 == 2)
            emit_triangle(p.held[0], p.held[1], v);
        else
            p.held[n % 3] = v;
        break;
    case GL_TRIANGLE_STRIP:
        // Every other triangle is taken in reverse so that all keep the strip's winding.
        if (n >= 2) {
            if (n % 2 == 0)
                emit_triangle(p.held[0], p.held[1], v);
            else
                emit_triangle(p.held[1], p.held[0], v);
        }
        if (n >= 1) p.held[0] = p.held[1];
        p.held[1] = v;
        break;
    case GL_TRIANGLE_FAN:
        if (n == 0)
            p.first = v;
        else if (n >= 2)
            emit_triangle(p.first, p.previous, v);
        break;
    case GL_POLYGON:
        // The first vertex is the polygon's provoking vertex: it goes last.
        if (n == 0)
            p.first = v;
        else if (n >= 2)
            emit_triangle(p.previous, v, p.first);
        break;
    case GL_QUADS:
        if (n % 4 == 3) {
            emit_quad(p.held[0], p.held[1], p.held[2], v);
        } else {
            p.held[n % 4] = v;
        }
        break;
    case GL_QUAD_STRIP:
        // Quad i is 2i, 2i+1, 2i+3, 2i+2 around; 2i+3 is its provoking vertex.
        if (n >= 3 && n % 2 == 1) {
            emit_triangle(p.held[0], p.held[1], v);
            emit_triangle(p.previous, p.held[0], v);
        }
        if (n % 2 == 1) {
            p.held[0] = p.previous;
            p.held[1] = v;
        }
        break;
    }
    p.previous = v;
}

} // namespace

void flush_batch() {
    end_quad_run();
    if (s_batch_vertices > 0) draw(s_batch_kind, s_batch.data(), s_batch_vertices);
    s_batch.clear();
    s_batch_vertices = 0;
}

void begin(GLenum mode) {
    const BatchKind kind = kind_of(mode);
    if (kind == BatchKind::none || g_gl.inside_begin_end) return;
    if (mode != GL_QUADS) end_quad_run();
    if (kind != s_batch_kind) {
        flush_batch();
        s_batch_kind = kind;
    }
    if (s_batch.capacity() == 0) s_batch.reserve(1 << 16);
    g_gl.inside_begin_end = true;
    g_gl.begin_mode = mode;
    s_assembly.count = 0;
}

void end() {
    if (!g_gl.inside_begin_end) return;
    if (g_gl.begin_mode == GL_LINE_LOOP && s_assembly.count >= 2)
        emit_segment(s_assembly.previous, s_assembly.first);
    g_gl.inside_begin_end = false;
}

void vertex(float x, float y, float z) {
    if (!g_gl.inside_begin_end) return; // a vertex outside glBegin/glEnd draws nothing
    Vertex v;
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = z;
    for (int i = 0; i < 3; ++i)
        v.normal[i] = g_gl.normal[i];
    for (int i = 0; i < 4; ++i)
        v.colour[i] = g_gl.colour[i];
    assemble(v);
}

void normal(float x, float y, float z) {
    g_gl.normal[0] = x;
    g_gl.normal[1] = y;
    g_gl.normal[2] = z;
}

void colour(float r, float g, float b, float a) {
    float* c = g_gl.colour;
    c[0] = r;
    c[1] = g;
    c[2] = b;
    c[3] = a;
    track_colour();
}

} // namespace glw

using namespace glw;

extern "C" {

void glBegin(GLenum mode) {
    if (execute_now(ListOp::begin, mode)) begin(mode);
}

void glEnd() {
    if (execute_now(ListOp::end)) end();
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (execute_now(ListOp::vertex, x, y, z)) vertex(x, y, z);
}

void glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    glVertex3f(GLfloat(x), GLfloat(y), GLfloat(z));
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    if (execute_now(ListOp::normal, x, y, z)) normal(x, y, z);
}

void glNormal3fv(const GLfloat* v) {
    glNormal3f(v[0], v[1], v[2]);
}

void glNormal3d(GLdouble x, GLdouble y, GLdouble z) {
    glNormal3f(GLfloat(x), GLfloat(y), GLfloat(z));
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    if (execute_now(ListOp::colour, r, g, b, 1.0f)) colour(r, g, b, 1.0f);
}

} // extern "C"
