// The modelview and projection stacks and the commands that multiply their top, computed as
// Mesa does: each command's matrix built in single precision (from double-precision sines and
// cosines) and multiplied onto the top on the right.
#include "web/gl/gl_internal.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstring>

namespace glw {

namespace {

float* top() {
    State& s = g_gl;
    return s.matrix_mode == GL_PROJECTION ? s.projection[s.projection_top]
                                          : s.modelview[s.modelview_top];
}

void set_identity(float* m) {
    std::memset(m, 0, 16 * sizeof(float));
    m[0] = m[5] = m[10] = m[15] = 1.0f;
}

// Only operations outside glBegin/glEnd change a matrix; every change reaches the shader.
bool begin_matrix_change() {
    if (!begin_state_change()) return false;
    g_gl.dirty |= kDirtyTransform;
    ++g_gl.transform_serial;
    return true;
}

} // namespace

const float* modelview_top() {
    return g_gl.modelview[g_gl.modelview_top];
}
const float* projection_top() {
    return g_gl.projection[g_gl.projection_top];
}

void multiply(float a[16], const float b[16]) {
    float r[16];
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row)
            r[col * 4 + row] = a[row] * b[col * 4] + a[4 + row] * b[col * 4 + 1] +
                               a[8 + row] * b[col * 4 + 2] + a[12 + row] * b[col * 4 + 3];
    std::memcpy(a, r, sizeof r);
}

void normal_matrix(const float m[16], float out[9]) {
    // Upper 3x3 a (column-major: a[c][r] = m[c*4+r]); out = transpose(inverse(a)), which is
    // the cofactor matrix divided by the determinant.
    const double a00 = m[0], a01 = m[4], a02 = m[8];
    const double a10 = m[1], a11 = m[5], a12 = m[9];
    const double a20 = m[2], a21 = m[6], a22 = m[10];
    const double c00 = a11 * a22 - a12 * a21, c01 = a12 * a20 - a10 * a22,
                 c02 = a10 * a21 - a11 * a20;
    const double c10 = a02 * a21 - a01 * a22, c11 = a00 * a22 - a02 * a20,
                 c12 = a01 * a20 - a00 * a21;
    const double c20 = a01 * a12 - a02 * a11, c21 = a02 * a10 - a00 * a12,
                 c22 = a00 * a11 - a01 * a10;
    const double det = a00 * c00 + a01 * c01 + a02 * c02;
    // A singular modelview has no inverse; its normals come out as zero rather than infinite.
    const double k = det != 0.0 ? 1.0 / det : 0.0;
    // Row r, column c of the result is cofactor (r, c); stored column-major.
    const double cof[3][3] = {{c00, c01, c02}, {c10, c11, c12}, {c20, c21, c22}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out[c * 3 + r] = float(cof[r][c] * k);
}

void matrix_mode(GLenum mode) {
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION) return; // GL_TEXTURE: no textures here
    if (!begin_state_change()) return;
    g_gl.matrix_mode = mode;
}

void load_identity() {
    if (!begin_matrix_change()) return;
    set_identity(top());
}

void push_matrix() {
    State& s = g_gl;
    const bool projection = s.matrix_mode == GL_PROJECTION;
    int& depth = projection ? s.projection_top : s.modelview_top;
    const int max = projection ? kMaxProjectionDepth : kMaxModelviewDepth;
    if (depth + 1 >= max) return; // stack overflow: the command is ignored
    if (!begin_state_change()) return;
    float* from = top();
    ++depth;
    std::memcpy(top(), from, 16 * sizeof(float));
}

void pop_matrix() {
    State& s = g_gl;
    int& depth = s.matrix_mode == GL_PROJECTION ? s.projection_top : s.modelview_top;
    if (depth == 0) return; // stack underflow: the command is ignored
    if (!begin_matrix_change()) return;
    --depth;
}

void mult_matrix(const float m[16]) {
    if (!begin_matrix_change()) return;
    multiply(top(), m);
}

void translate(float x, float y, float z) {
    if (!begin_matrix_change()) return;
    float* m = top();
    for (int row = 0; row < 4; ++row)
        m[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
}

void scale(float x, float y, float z) {
    if (!begin_matrix_change()) return;
    float* m = top();
    for (int row = 0; row < 4; ++row) {
        m[row] *= x;
        m[4 + row] *= y;
        m[8 + row] *= z;
    }
}

void rotate(float angle, float x, float y, float z) {
    const double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    if (length == 0.0) return; // no axis, no rotation
    const double radians = double(angle) * M_PI / 180.0;
    const double s = std::sin(radians), c = std::cos(radians), t = 1.0 - c;
    const double ax = x / length, ay = y / length, az = z / length;
    const float r[16] = {float(ax * ax * t + c),
                         float(ay * ax * t + az * s),
                         float(az * ax * t - ay * s),
                         0.0f,
                         float(ax * ay * t - az * s),
                         float(ay * ay * t + c),
                         float(az * ay * t + ax * s),
                         0.0f,
                         float(ax * az * t + ay * s),
                         float(ay * az * t - ax * s),
                         float(az * az * t + c),
                         0.0f,
                         0.0f,
                         0.0f,
                         0.0f,
                         1.0f};
    mult_matrix(r);
}

void ortho(float left, float right, float bottom, float top_, float near_val, float far_val) {
    // A degenerate volume is refused (GL_INVALID_VALUE).
    if (left == right || bottom == top_ || near_val == far_val) return;
    float m[16] = {};
    m[0] = 2.0f / (right - left);
    m[5] = 2.0f / (top_ - bottom);
    m[10] = -2.0f / (far_val - near_val);
    m[12] = -(right + left) / (right - left);
    m[13] = -(top_ + bottom) / (top_ - bottom);
    m[14] = -(far_val + near_val) / (far_val - near_val);
    m[15] = 1.0f;
    mult_matrix(m);
}

} // namespace glw

using namespace glw;

extern "C" {

void glMatrixMode(GLenum mode) {
    if (execute_now(ListOp::matrix_mode, mode)) matrix_mode(mode);
}

void glLoadIdentity() {
    if (execute_now(ListOp::load_identity)) load_identity();
}

void glPushMatrix() {
    if (execute_now(ListOp::push_matrix)) push_matrix();
}

void glPopMatrix() {
    if (execute_now(ListOp::pop_matrix)) pop_matrix();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    if (execute_now(ListOp::translate, x, y, z)) translate(x, y, z);
}

void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    if (execute_now(ListOp::scale, x, y, z)) scale(x, y, z);
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    if (execute_now(ListOp::rotate, angle, x, y, z)) rotate(angle, x, y, z);
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near_val,
             GLdouble far_val) {
    const float v[6] = {float(left), float(right),    float(bottom),
                        float(top),  float(near_val), float(far_val)};
    if (execute_now(ListOp::ortho, v[0], v[1], v[2], v[3], v[4], v[5]))
        ortho(v[0], v[1], v[2], v[3], v[4], v[5]);
}

// GLU's perspective: its matrix is computed in double precision and multiplied on as
// glMultMatrixd would, which a display list records as that matrix.
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble z_near, GLdouble z_far) {
    const double radians = fovy / 2 * M_PI / 180;
    const double delta_z = z_far - z_near;
    const double sine = std::sin(radians);
    if (delta_z == 0 || sine == 0 || aspect == 0) return;
    const double cotangent = std::cos(radians) / sine;
    float m[16] = {};
    m[0] = float(cotangent / aspect);
    m[5] = float(cotangent);
    m[10] = float(-(z_far + z_near) / delta_z);
    m[11] = -1.0f;
    m[14] = float(-2 * z_near * z_far / delta_z);
    uint32_t args[16];
    for (int i = 0; i < 16; ++i)
        args[i] = list_arg(m[i]);
    if (execute_now_array(ListOp::mult_matrix, args, 16)) mult_matrix(m);
}

} // extern "C"
