// What the layer's files call of one another. Each GL command has one operation here that does
// what the command does; the entry point records it into a display list being compiled and
// runs the operation, and glCallList runs the same operations again.
#pragma once

#include "web/gl/gl_state.h"

#include <cstdint>
#include <cstring>

namespace glw {

// gl_raster.cpp ---------------------------------------------------------------------------------

// Every command that changes what a draw uses calls this first: between glBegin and glEnd GL
// refuses such commands (false), otherwise what is batched becomes a draw under the old state.
bool begin_state_change();

void enable(GLenum cap, bool on);
void shade_model(GLenum mode);
void line_width(float width);
void front_face(GLenum mode);
void blend_func(GLenum src, GLenum dst);
void clear_colour(float r, float g, float b, float a);
void clear_index(float index);
void clear(GLbitfield mask);
void viewport(int x, int y, int width, int height);
void draw_buffer(GLenum mode);

// gl_matrix.cpp ---------------------------------------------------------------------------------

void matrix_mode(GLenum mode);
void load_identity();
void push_matrix();
void pop_matrix();
void mult_matrix(const float m[16]);
void translate(float x, float y, float z);
void rotate(float angle, float x, float y, float z);
void scale(float x, float y, float z);
void ortho(float left, float right, float bottom, float top, float near_val, float far_val);

const float* modelview_top();
const float* projection_top();
// a = a * b, column-major.
void multiply(float a[16], const float b[16]);
// The inverse transpose of the upper 3x3 of m, column-major; normals are transformed by it.
void normal_matrix(const float m[16], float out[9]);

// gl_lighting.cpp -------------------------------------------------------------------------------

// params holds as many values as pname takes (4 for colours and positions, 3 for the spot
// direction, 1 for the scalars).
void light(GLenum light, GLenum pname, const float* params);
void material(GLenum face, GLenum pname, const float* params);
void colour_material(GLenum face, GLenum mode);
void fog(GLenum pname, const float* params);
// While GL_COLOR_MATERIAL is on, the current colour replaces the tracked material values.
void track_colour();

// gl_immediate.cpp ------------------------------------------------------------------------------

void begin(GLenum mode);
void end();
void vertex(float x, float y, float z);
void normal(float x, float y, float z);
void colour(float r, float g, float b, float a);
// Makes what glBegin/glEnd have collected so far one draw of the frame.
void flush_batch();

// gl_lists.cpp ----------------------------------------------------------------------------------

// Every command a display list records, and how it is replayed: a list keeps each command's
// values as 32-bit words, read back as u(i) the i-th as a name, mask or count, n(i) as a signed
// integer, f(i) as a float, v(i) the floats from the i-th on. The entry point of a command
// records its values in the order its replay reads them.
#define GLW_LIST_COMMANDS(X)                                                                       \
    X(begin, begin(u(0)))                                                                          \
    X(end, end())                                                                                  \
    X(vertex, vertex(f(0), f(1), f(2)))                                                            \
    X(normal, normal(f(0), f(1), f(2)))                                                            \
    X(colour, colour(f(0), f(1), f(2), f(3)))                                                      \
    X(matrix_mode, matrix_mode(u(0)))                                                              \
    X(load_identity, load_identity())                                                              \
    X(push_matrix, push_matrix())                                                                  \
    X(pop_matrix, pop_matrix())                                                                    \
    X(mult_matrix, mult_matrix(v(0)))                                                              \
    X(translate, translate(f(0), f(1), f(2)))                                                      \
    X(rotate, rotate(f(0), f(1), f(2), f(3)))                                                      \
    X(scale, scale(f(0), f(1), f(2)))                                                              \
    X(ortho, ortho(f(0), f(1), f(2), f(3), f(4), f(5)))                                            \
    X(light, light(u(0), u(1), v(2)))                                                              \
    X(material, material(u(0), u(1), v(2)))                                                        \
    X(colour_material, colour_material(u(0), u(1)))                                                \
    X(fog, fog(u(0), v(1)))                                                                        \
    X(enable, enable(u(0), true))                                                                  \
    X(disable, enable(u(0), false))                                                                \
    X(shade_model, shade_model(u(0)))                                                              \
    X(line_width, line_width(f(0)))                                                                \
    X(front_face, front_face(u(0)))                                                                \
    X(blend_func, blend_func(u(0), u(1)))                                                          \
    X(clear_colour, clear_colour(f(0), f(1), f(2), f(3)))                                          \
    X(clear_index, clear_index(f(0)))                                                              \
    X(clear, clear(u(0)))                                                                          \
    X(viewport, viewport(n(0), n(1), n(2), n(3)))                                                  \
    X(draw_buffer, draw_buffer(u(0)))                                                              \
    X(call_list, call_list(u(0)))

enum class ListOp : uint8_t {
#define GLW_LIST_OP(name, replay) name,
    GLW_LIST_COMMANDS(GLW_LIST_OP)
#undef GLW_LIST_OP
};

inline uint32_t list_arg(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}
inline uint32_t list_arg(uint32_t v) {
    return v;
}
inline uint32_t list_arg(int32_t v) {
    return uint32_t(v);
}

// Records the command while a list is being compiled; true when it is to be executed now (no
// list being compiled, or GL_COMPILE_AND_EXECUTE).
bool execute_now_array(ListOp op, const uint32_t* args, int count);
// The same for a command's values given one by one (names, integers, floats).
template <typename... Values> bool execute_now(ListOp op, Values... values) {
    const uint32_t args[sizeof...(Values) + 1] = {list_arg(values)...};
    return execute_now_array(op, args, int(sizeof...(Values)));
}

void call_list(GLuint list);
// True while glCallList runs a list's commands.
bool replaying_list();

// gl_draw.cpp -----------------------------------------------------------------------------------

enum class BatchKind : uint8_t { none, triangles, lines, points };

// Floats per vertex of each kind: position 3, normal 3, colour 4; line corners add the other
// end of their segment (3) and which side of the line they lie on (1).
constexpr int kTriangleFloats = 10;
constexpr int kLineFloats = 14;
// The shader's attribute locations, in that order.
enum Attribute : uint32_t { kPosition, kNormal, kColour, kOther, kSide };

// Draws and clears are recorded with the state they are done under and sent to WebGL together
// when the frame is flushed: the vertices of a whole frame go up in one upload, since ANGLE
// ends its render pass (and waits) at every upload between draws.
void draw(BatchKind kind, const float* vertices, int vertex_count);
void clear_buffers(GLbitfield mask);
void submit_frame();

// gl_uniforms.cpp -------------------------------------------------------------------------------

constexpr uint32_t kNoValues = ~0u;

// What a draw is done with: its program's key, and one index per uniform group into the
// values the frame keeps.
struct UniformSet {
    uint64_t shader;
    uint32_t transform, lights, material, fog, raster;
};
// Keeps the values of the groups the state has changed since the previous draw.
UniformSet record_uniforms(BatchKind kind);
// Makes the set's program current and uploads the values it does not hold; false when there
// is no program for it.
bool apply_uniforms(const UniformSet& set);
// Ends the frame's values; the next draw keeps every group anew.
void forget_recorded_uniforms();

// gl_shader.cpp ---------------------------------------------------------------------------------

struct ProgramUniforms {
    GLint mvp, modelview, normal_matrix;
    GLint light_ambient, light_diffuse, light_specular, light_position, light_half, light_spot,
        light_attenuation, model_ambient;
    GLint material_ambient, material_diffuse, material_specular, material_emission, shininess;
    GLint line_width, viewport_half;
    GLint fog, fog_colour;
    UniformSet applied; // which of the frame's values the program holds
};

// The program the state calls for: lights and their kinds, colour material, fog, shading.
uint64_t shader_key(BatchKind kind);
// Which material values the vertex colour stands for: 1 ambient, 2 diffuse, 4 specular,
// 8 emission.
int colour_material_bits();
// Builds the first programs; false when WebGL refuses the shaders.
bool build_programs();
// The key's program, built when first asked for, made current; null when it cannot be built.
ProgramUniforms* use_program(uint64_t key);
void forget_applied_uniforms();
// Forgets every program; deletes them only while their context lives.
void forget_programs(bool delete_them);

} // namespace glw
