// A recording stand-in for the GL and GLU entry points the code calls. Test binaries link it
// instead of libGL/libGLU: every call is logged with its arguments and the modelview matrix in
// force, and a small state model (matrix stacks, enables, material, lights, lists) is kept so
// that tests can ask where things were drawn and what state a routine left behind.
#pragma once

#include <GL/gl.h>

#include <array>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace glrec {

// Column-major, as GL keeps it.
using Mat4 = std::array<double, 16>;

struct Vec3 {
    double x, y, z;
};

struct Call {
    std::string name;          // "glVertex3f", "gluPerspective", ...
    std::vector<double> args;  // scalar arguments, then the values behind pointer arguments
    Mat4 modelview;            // modelview matrix current at the call
    GLuint compiling_list = 0; // list being compiled when the call came, 0 outside glNewList
};

struct Light {
    std::array<double, 4> position_eye{{0, 0, 1, 0}}; // GL_POSITION times the modelview
    std::map<GLenum, std::vector<double>> params;     // last value given per parameter
};

struct State {
    GLenum matrix_mode = GL_MODELVIEW;
    std::vector<Mat4> modelview_stack; // top is back()
    std::vector<Mat4> projection_stack;
    std::set<GLenum> enabled;
    double shininess = 0;
    std::array<double, 4> specular{{0, 0, 0, 1}};
    std::array<double, 4> colour{{1, 1, 1, 1}};
    std::array<double, 3> normal{{0, 0, 1}};
    std::array<double, 4> clear_colour{{0, 0, 0, 0}};
    std::array<double, 4> fog_colour{{0, 0, 0, 0}};
    // Last value set per query name, answered by glGetIntegerv and glGetFloatv: fog mode and
    // density, shade model, front face, blend factors, colour material's face and parameter.
    std::map<GLenum, double> settings;
    double line_width = 1;
    Light lights[8];
    GLuint next_list = 1;
    GLuint compiling_list = 0;
    GLenum compile_mode = 0;
    std::set<GLuint> lists;
    int begin_depth = 0; // glBegin without glEnd
};

// Clears the log and returns the state to a fresh context's.
void reset();
const std::vector<Call>& calls();
State& state();

// Number of logged calls with this name.
size_t count(const std::string& name);
// The names of the logged calls, in order, leaving out those in `skip`.
std::vector<std::string> names(const std::set<std::string>& skip = {});
// The logged calls with this name, in order.
std::vector<Call> named(const std::string& name);

Mat4 identity();
Mat4 multiply(const Mat4& a, const Mat4& b);
Mat4 current_modelview();
// The point (x, y, z, 1) under matrix m.
Vec3 apply(const Mat4& m, double x, double y, double z);
// Scene coordinates: undoes the viewing transform `view` that was on the stack first.
Vec3 in_frame(const Mat4& view, const Mat4& m, double x, double y, double z);
Mat4 inverse(const Mat4& m);
bool is_enabled(GLenum cap);

} // namespace glrec
