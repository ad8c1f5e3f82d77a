#include "tests/support/gl_recorder.h"

#include <GL/glu.h>

#include <cmath>
#include <initializer_list>

namespace glrec {
namespace {

std::vector<Call> g_calls;
State g_state;

std::vector<Mat4>& stack() {
    return g_state.matrix_mode == GL_PROJECTION ? g_state.projection_stack
                                                : g_state.modelview_stack;
}

void log(const char* name, std::initializer_list<double> args, const double* extra = nullptr,
         int extra_count = 0) {
    Call c;
    c.name = name;
    c.args.assign(args.begin(), args.end());
    for (int i = 0; i < extra_count; ++i)
        c.args.push_back(extra[i]);
    c.modelview = g_state.modelview_stack.back();
    c.compiling_list = g_state.compiling_list;
    g_calls.push_back(std::move(c));
}

void log_floats(const char* name, std::initializer_list<double> args, const GLfloat* v, int n) {
    double d[16];
    for (int i = 0; i < n; ++i)
        d[i] = v[i];
    log(name, args, d, n);
}

// Executes unless the list being compiled was opened with GL_COMPILE.
bool executing() {
    return g_state.compiling_list == 0 || g_state.compile_mode != GL_COMPILE;
}

void mult(const Mat4& m) {
    if (!executing()) return;
    stack().back() = multiply(stack().back(), m);
}

int param_count(GLenum pname) {
    switch (pname) {
    case GL_AMBIENT:
    case GL_DIFFUSE:
    case GL_SPECULAR:
    case GL_POSITION:
    case GL_EMISSION:
    case GL_AMBIENT_AND_DIFFUSE:
    case GL_FOG_COLOR:
    case GL_LIGHT_MODEL_AMBIENT:
        return 4;
    case GL_SPOT_DIRECTION:
        return 3;
    default:
        return 1;
    }
}

} // namespace

void reset() {
    g_calls.clear();
    g_state = State();
    g_state.modelview_stack.assign(1, identity());
    g_state.projection_stack.assign(1, identity());
    g_state.enabled.insert(GL_DITHER);
    g_state.lights[0].params[GL_DIFFUSE] = {1, 1, 1, 1};
}

const std::vector<Call>& calls() {
    return g_calls;
}
State& state() {
    return g_state;
}

size_t count(const std::string& name) {
    size_t n = 0;
    for (const Call& c : g_calls)
        n += c.name == name;
    return n;
}

std::vector<std::string> names(const std::set<std::string>& skip) {
    std::vector<std::string> out;
    for (const Call& c : g_calls)
        if (!skip.count(c.name)) out.push_back(c.name);
    return out;
}

std::vector<Call> named(const std::string& name) {
    std::vector<Call> out;
    for (const Call& c : g_calls)
        if (c.name == name) out.push_back(c);
    return out;
}

Mat4 identity() {
    return Mat4{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

Mat4 multiply(const Mat4& a, const Mat4& b) {
    Mat4 r{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double s = 0;
            for (int k = 0; k < 4; ++k)
                s += a[k * 4 + row] * b[col * 4 + k];
            r[col * 4 + row] = s;
        }
    return r;
}

Mat4 current_modelview() {
    return g_state.modelview_stack.back();
}

Vec3 apply(const Mat4& m, double x, double y, double z) {
    double w = m[3] * x + m[7] * y + m[11] * z + m[15];
    if (w == 0) w = 1;
    return Vec3{(m[0] * x + m[4] * y + m[8] * z + m[12]) / w,
                (m[1] * x + m[5] * y + m[9] * z + m[13]) / w,
                (m[2] * x + m[6] * y + m[10] * z + m[14]) / w};
}

Mat4 inverse(const Mat4& m) {
    // Gauss-Jordan on a 4x8 block; the matrices here are affine and well conditioned.
    double a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            a[r][c] = m[c * 4 + r];
            a[r][c + 4] = r == c;
        }
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
        for (int k = 0; k < 8; ++k)
            std::swap(a[c][k], a[pivot][k]);
        double p = a[c][c];
        if (p == 0) return identity();
        for (int k = 0; k < 8; ++k)
            a[c][k] /= p;
        for (int r = 0; r < 4; ++r)
            if (r != c) {
                double f = a[r][c];
                for (int k = 0; k < 8; ++k)
                    a[r][k] -= f * a[c][k];
            }
    }
    Mat4 out{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[c * 4 + r] = a[r][c + 4];
    return out;
}

Vec3 in_frame(const Mat4& view, const Mat4& m, double x, double y, double z) {
    return apply(multiply(inverse(view), m), x, y, z);
}

bool is_enabled(GLenum cap) {
    return g_state.enabled.count(cap) != 0;
}

// Runs once before main: a fresh recorder looks like a fresh context.
static const bool g_initialised = (reset(), true);

} // namespace glrec

using namespace glrec;

// ---- GL 1.1 entry points -------------------------------------------------------------------

extern "C" {

void glBegin(GLenum mode) {
    log("glBegin", {double(mode)});
    ++g_state.begin_depth;
}
void glEnd() {
    log("glEnd", {});
    --g_state.begin_depth;
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    log("glVertex3f", {x, y, z});
}
void glVertex3fv(const GLfloat* v) {
    log_floats("glVertex3fv", {}, v, 3);
}
void glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    log("glVertex3d", {x, y, z});
}
void glVertex2f(GLfloat x, GLfloat y) {
    log("glVertex2f", {x, y});
}
void glVertex2i(GLint x, GLint y) {
    log("glVertex2i", {double(x), double(y)});
}
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    log("glNormal3f", {x, y, z});
    g_state.normal = {x, y, z};
}
void glNormal3fv(const GLfloat* v) {
    log_floats("glNormal3fv", {}, v, 3);
    g_state.normal = {v[0], v[1], v[2]};
}
void glNormal3d(GLdouble x, GLdouble y, GLdouble z) {
    log("glNormal3d", {x, y, z});
    g_state.normal = {x, y, z};
}
void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    log("glColor3f", {r, g, b});
    g_state.colour = {r, g, b, 1};
}
void glColor3fv(const GLfloat* v) {
    log_floats("glColor3fv", {}, v, 3);
    g_state.colour = {v[0], v[1], v[2], 1};
}
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    log("glColor4f", {r, g, b, a});
    g_state.colour = {r, g, b, a};
}
void glColor4fv(const GLfloat* v) {
    log_floats("glColor4fv", {}, v, 4);
    g_state.colour = {v[0], v[1], v[2], v[3]};
}

void glMatrixMode(GLenum mode) {
    log("glMatrixMode", {double(mode)});
    g_state.matrix_mode = mode;
}
void glPushMatrix() {
    log("glPushMatrix", {});
    if (executing()) stack().push_back(stack().back());
}
void glPopMatrix() {
    log("glPopMatrix", {});
    // Popping the last matrix is a GL stack underflow: keep it and let tests see the depth.
    if (executing() && stack().size() > 1) stack().pop_back();
}
void glLoadIdentity() {
    log("glLoadIdentity", {});
    if (executing()) stack().back() = identity();
}
void glLoadMatrixf(const GLfloat* m) {
    log_floats("glLoadMatrixf", {}, m, 16);
    if (executing())
        for (int i = 0; i < 16; ++i)
            stack().back()[i] = m[i];
}
void glMultMatrixf(const GLfloat* m) {
    log_floats("glMultMatrixf", {}, m, 16);
    Mat4 t;
    for (int i = 0; i < 16; ++i)
        t[i] = m[i];
    mult(t);
}
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    log("glTranslatef", {x, y, z});
    Mat4 t = identity();
    t[12] = x;
    t[13] = y;
    t[14] = z;
    mult(t);
}
void glTranslated(GLdouble x, GLdouble y, GLdouble z) {
    log("glTranslated", {x, y, z});
    Mat4 t = identity();
    t[12] = x;
    t[13] = y;
    t[14] = z;
    mult(t);
}
void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    log("glScalef", {x, y, z});
    Mat4 t = identity();
    t[0] = x;
    t[5] = y;
    t[10] = z;
    mult(t);
}
void glScaled(GLdouble x, GLdouble y, GLdouble z) {
    log("glScaled", {x, y, z});
    Mat4 t = identity();
    t[0] = x;
    t[5] = y;
    t[10] = z;
    mult(t);
}
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    log("glRotatef", {angle, x, y, z});
    double len = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    if (len == 0) return;
    double ax = x / len, ay = y / len, az = z / len;
    double a = angle * M_PI / 180.0, c = std::cos(a), s = std::sin(a), t = 1 - c;
    Mat4 r = identity();
    r[0] = t * ax * ax + c;
    r[1] = t * ax * ay + s * az;
    r[2] = t * ax * az - s * ay;
    r[4] = t * ax * ay - s * az;
    r[5] = t * ay * ay + c;
    r[6] = t * ay * az + s * ax;
    r[8] = t * ax * az + s * ay;
    r[9] = t * ay * az - s * ax;
    r[10] = t * az * az + c;
    mult(r);
}
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    log("glOrtho", {l, r, b, t, n, f});
    Mat4 m = identity();
    m[0] = 2 / (r - l);
    m[5] = 2 / (t - b);
    m[10] = -2 / (f - n);
    m[12] = -(r + l) / (r - l);
    m[13] = -(t + b) / (t - b);
    m[14] = -(f + n) / (f - n);
    mult(m);
}
void glFrustum(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    log("glFrustum", {l, r, b, t, n, f});
    Mat4 m{};
    m[0] = 2 * n / (r - l);
    m[5] = 2 * n / (t - b);
    m[8] = (r + l) / (r - l);
    m[9] = (t + b) / (t - b);
    m[10] = -(f + n) / (f - n);
    m[11] = -1;
    m[14] = -2 * f * n / (f - n);
    mult(m);
}
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    log("glViewport", {double(x), double(y), double(w), double(h)});
}

void glEnable(GLenum cap) {
    log("glEnable", {double(cap)});
    g_state.enabled.insert(cap);
}
void glDisable(GLenum cap) {
    log("glDisable", {double(cap)});
    g_state.enabled.erase(cap);
}
GLboolean glIsEnabled(GLenum cap) {
    return is_enabled(cap) ? GL_TRUE : GL_FALSE;
}

void glLightfv(GLenum light, GLenum pname, const GLfloat* v) {
    int n = param_count(pname);
    log_floats("glLightfv", {double(light), double(pname)}, v, n);
    Light& l = g_state.lights[(light - GL_LIGHT0) & 7];
    l.params[pname].assign(v, v + n);
    if (pname == GL_POSITION) {
        const Mat4& m = g_state.modelview_stack.back();
        for (int r = 0; r < 4; ++r)
            l.position_eye[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r] * v[3];
    }
}
void glLightf(GLenum light, GLenum pname, GLfloat v) {
    log("glLightf", {double(light), double(pname), v});
    g_state.lights[(light - GL_LIGHT0) & 7].params[pname] = {v};
}
void glLighti(GLenum light, GLenum pname, GLint v) {
    log("glLighti", {double(light), double(pname), double(v)});
    g_state.lights[(light - GL_LIGHT0) & 7].params[pname] = {double(v)};
}
void glLightModelfv(GLenum pname, const GLfloat* v) {
    log_floats("glLightModelfv", {double(pname)}, v, param_count(pname));
}
void glLightModeli(GLenum pname, GLint v) {
    log("glLightModeli", {double(pname), double(v)});
}
void glMaterialfv(GLenum face, GLenum pname, const GLfloat* v) {
    int n = param_count(pname);
    log_floats("glMaterialfv", {double(face), double(pname)}, v, n);
    if (pname == GL_SPECULAR) g_state.specular = {v[0], v[1], v[2], v[3]};
    if (pname == GL_SHININESS) g_state.shininess = v[0];
}
void glMaterialf(GLenum face, GLenum pname, GLfloat v) {
    log("glMaterialf", {double(face), double(pname), v});
    if (pname == GL_SHININESS) g_state.shininess = v;
}
void glMateriali(GLenum face, GLenum pname, GLint v) {
    log("glMateriali", {double(face), double(pname), double(v)});
    if (pname == GL_SHININESS) g_state.shininess = v;
}
void glColorMaterial(GLenum face, GLenum mode) {
    log("glColorMaterial", {double(face), double(mode)});
    g_state.settings[GL_COLOR_MATERIAL_FACE] = face;
    g_state.settings[GL_COLOR_MATERIAL_PARAMETER] = mode;
}
void glShadeModel(GLenum mode) {
    log("glShadeModel", {double(mode)});
    g_state.settings[GL_SHADE_MODEL] = mode;
}
void glFrontFace(GLenum mode) {
    log("glFrontFace", {double(mode)});
    g_state.settings[GL_FRONT_FACE] = mode;
}
void glCullFace(GLenum mode) {
    log("glCullFace", {double(mode)});
}
void glDepthFunc(GLenum func) {
    log("glDepthFunc", {double(func)});
}
void glBlendFunc(GLenum s, GLenum d) {
    log("glBlendFunc", {double(s), double(d)});
    g_state.settings[GL_BLEND_SRC] = s;
    g_state.settings[GL_BLEND_DST] = d;
}
void glHint(GLenum target, GLenum mode) {
    log("glHint", {double(target), double(mode)});
}
void glLineWidth(GLfloat w) {
    log("glLineWidth", {w});
    g_state.line_width = w;
}
void glPointSize(GLfloat s) {
    log("glPointSize", {s});
}

void glFogf(GLenum pname, GLfloat v) {
    log("glFogf", {double(pname), v});
    g_state.settings[pname] = v;
}
void glFogi(GLenum pname, GLint v) {
    log("glFogi", {double(pname), double(v)});
    g_state.settings[pname] = v;
}
void glFogfv(GLenum pname, const GLfloat* v) {
    int n = param_count(pname);
    log_floats("glFogfv", {double(pname)}, v, n);
    if (pname == GL_FOG_COLOR) g_state.fog_colour = {v[0], v[1], v[2], v[3]};
}

void glClear(GLbitfield mask) {
    log("glClear", {double(mask)});
}
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    log("glClearColor", {r, g, b, a});
    g_state.clear_colour = {r, g, b, a};
}
void glClearIndex(GLfloat c) {
    log("glClearIndex", {c});
}
void glClearDepth(GLclampd d) {
    log("glClearDepth", {d});
}
void glFlush() {
    log("glFlush", {});
}
void glFinish() {
    log("glFinish", {});
}
void glDrawBuffer(GLenum mode) {
    log("glDrawBuffer", {double(mode)});
}
void glReadBuffer(GLenum mode) {
    log("glReadBuffer", {double(mode)});
}
void glPixelStorei(GLenum pname, GLint v) {
    log("glPixelStorei", {double(pname), double(v)});
}
void glReadPixels(GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type, void*) {
    log("glReadPixels", {double(x), double(y), double(w), double(h), double(format), double(type)});
}

GLuint glGenLists(GLsizei range) {
    GLuint first = g_state.next_list;
    g_state.next_list += range;
    for (GLsizei i = 0; i < range; ++i)
        g_state.lists.insert(first + i);
    log("glGenLists", {double(range)});
    return first;
}
void glNewList(GLuint list, GLenum mode) {
    log("glNewList", {double(list), double(mode)});
    g_state.compiling_list = list;
    g_state.compile_mode = mode;
}
void glEndList() {
    g_state.compiling_list = 0;
    g_state.compile_mode = 0;
    log("glEndList", {});
}
void glCallList(GLuint list) {
    log("glCallList", {double(list)});
}
void glDeleteLists(GLuint list, GLsizei range) {
    log("glDeleteLists", {double(list), double(range)});
    for (GLsizei i = 0; i < range; ++i)
        g_state.lists.erase(list + i);
}
GLboolean glIsList(GLuint list) {
    return g_state.lists.count(list) ? GL_TRUE : GL_FALSE;
}

GLenum glGetError() {
    return GL_NO_ERROR;
}
void glGetFloatv(GLenum pname, GLfloat* v) {
    if (pname == GL_MODELVIEW_MATRIX || pname == GL_PROJECTION_MATRIX) {
        const Mat4& m = pname == GL_MODELVIEW_MATRIX ? g_state.modelview_stack.back()
                                                     : g_state.projection_stack.back();
        for (int i = 0; i < 16; ++i)
            v[i] = float(m[i]);
    } else {
        auto it = g_state.settings.find(pname);
        v[0] = it == g_state.settings.end() ? 0.0f : float(it->second);
    }
}
void glGetIntegerv(GLenum pname, GLint* v) {
    if (pname == GL_MODELVIEW_STACK_DEPTH)
        v[0] = GLint(g_state.modelview_stack.size());
    else if (pname == GL_PROJECTION_STACK_DEPTH)
        v[0] = GLint(g_state.projection_stack.size());
    else {
        auto it = g_state.settings.find(pname);
        v[0] = it == g_state.settings.end() ? 0 : GLint(it->second);
    }
}
const GLubyte* glGetString(GLenum) {
    return reinterpret_cast<const GLubyte*>("gl-recorder");
}

// ---- GLU ------------------------------------------------------------------------------------

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble znear, GLdouble zfar) {
    log("gluPerspective", {fovy, aspect, znear, zfar});
    double f = 1.0 / std::tan(fovy * M_PI / 360.0);
    Mat4 m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zfar + znear) / (znear - zfar);
    m[11] = -1;
    m[14] = 2 * zfar * znear / (znear - zfar);
    mult(m);
}
void gluOrtho2D(GLdouble l, GLdouble r, GLdouble b, GLdouble t) {
    log("gluOrtho2D", {l, r, b, t});
    Mat4 m = identity();
    m[0] = 2 / (r - l);
    m[5] = 2 / (t - b);
    m[10] = -1;
    m[12] = -(r + l) / (r - l);
    m[13] = -(t + b) / (t - b);
    mult(m);
}

} // extern "C"
