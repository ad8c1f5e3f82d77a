// Display lists: while a list is compiled every command is recorded with its values (vertex
// data and state changes alike) and glCallList runs the same operations again. glGenLists,
// glNewList, glEndList and glFlush are never recorded, as in GL.
#include "web/gl/gl_internal.h"

#include <GL/gl.h>

#include <cstdint>
#include <map>
#include <vector>

namespace glw {

namespace {

struct Command {
    ListOp op;
    uint8_t count;  // values in args
    uint32_t first; // index of the first value in args
};

struct List {
    std::vector<Command> commands;
    std::vector<uint32_t> args;
};

// Every name in use, from glGenLists or glNewList, with what it holds.
std::map<GLuint, List> s_lists;
GLuint s_compiling = 0; // the list between glNewList and glEndList, 0 when none
GLenum s_compile_mode = GL_COMPILE;
List s_new; // its commands, which replace the list's old ones at glEndList
int s_call_depth = 0;

float value(const uint32_t* args, int i) {
    float v;
    std::memcpy(&v, &args[i], sizeof v);
    return v;
}

void run(const Command& c, const uint32_t* a) {
    float v[16];
    for (int i = 0; i < c.count && i < 16; ++i)
        v[i] = value(a, i);
    switch (c.op) {
    case ListOp::begin:
        begin(a[0]);
        break;
    case ListOp::end:
        end();
        break;
    case ListOp::vertex:
        vertex(v[0], v[1], v[2]);
        break;
    case ListOp::normal:
        normal(v[0], v[1], v[2]);
        break;
    case ListOp::colour:
        colour(v[0], v[1], v[2], v[3]);
        break;
    case ListOp::matrix_mode:
        matrix_mode(a[0]);
        break;
    case ListOp::load_identity:
        load_identity();
        break;
    case ListOp::push_matrix:
        push_matrix();
        break;
    case ListOp::pop_matrix:
        pop_matrix();
        break;
    case ListOp::mult_matrix:
        mult_matrix(v);
        break;
    case ListOp::translate:
        translate(v[0], v[1], v[2]);
        break;
    case ListOp::rotate:
        rotate(v[0], v[1], v[2], v[3]);
        break;
    case ListOp::scale:
        scale(v[0], v[1], v[2]);
        break;
    case ListOp::ortho:
        ortho(v[0], v[1], v[2], v[3], v[4], v[5]);
        break;
    case ListOp::light:
        light(a[0], a[1], v + 2);
        break;
    case ListOp::material:
        material(a[0], a[1], v + 2);
        break;
    case ListOp::colour_material:
        colour_material(a[0], a[1]);
        break;
    case ListOp::fog:
        fog(a[0], v + 2);
        break;
    case ListOp::enable:
        enable(a[0], true);
        break;
    case ListOp::disable:
        enable(a[0], false);
        break;
    case ListOp::shade_model:
        shade_model(a[0]);
        break;
    case ListOp::line_width:
        line_width(v[0]);
        break;
    case ListOp::front_face:
        front_face(a[0]);
        break;
    case ListOp::blend_func:
        blend_func(a[0], a[1]);
        break;
    case ListOp::clear_colour:
        clear_colour(v[0], v[1], v[2], v[3]);
        break;
    case ListOp::clear_index:
        clear_index(v[0]);
        break;
    case ListOp::clear:
        clear(a[0]);
        break;
    case ListOp::viewport:
        viewport(int32_t(a[0]), int32_t(a[1]), int32_t(a[2]), int32_t(a[3]));
        break;
    case ListOp::draw_buffer:
        draw_buffer(a[0]);
        break;
    case ListOp::call_list:
        call_list(a[0]);
        break;
    }
}

} // namespace

bool execute_now(ListOp op, const uint32_t* args, int count) {
    if (s_compiling == 0) return true;
    s_new.commands.push_back(Command{op, uint8_t(count), uint32_t(s_new.args.size())});
    s_new.args.insert(s_new.args.end(), args, args + count);
    return s_compile_mode == GL_COMPILE_AND_EXECUTE;
}

void call_list(GLuint name) {
    // Lists calling lists stop at GL's nesting limit, which also ends a list calling itself.
    if (s_call_depth >= kMaxListNesting) return;
    const auto found = s_lists.find(name);
    if (found == s_lists.end()) return;
    const List& list = found->second;
    // A list's primitives are drawn apart from those around it, as Mesa draws them.
    flush_batch();
    ++s_call_depth;
    for (const Command& c : list.commands)
        run(c, list.args.data() + c.first);
    --s_call_depth;
    flush_batch();
}

bool replaying_list() {
    return s_call_depth > 0;
}

} // namespace glw

using namespace glw;

extern "C" {

GLuint glGenLists(GLsizei range) {
    if (range <= 0 || g_gl.inside_begin_end) return 0;
    // The first run of `range` unused names.
    uint64_t candidate = 1;
    for (const auto& entry : s_lists) {
        if (entry.first >= candidate + uint64_t(range)) break;
        if (entry.first >= candidate) candidate = uint64_t(entry.first) + 1;
    }
    if (candidate + uint64_t(range) - 1 > UINT32_MAX) return 0;
    for (GLsizei i = 0; i < range; ++i)
        s_lists[GLuint(candidate + uint64_t(i))];
    return GLuint(candidate);
}

void glNewList(GLuint list, GLenum mode) {
    if (list == 0 || (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE)) return;
    if (s_compiling != 0 || g_gl.inside_begin_end) return;
    s_compiling = list;
    s_compile_mode = mode;
    s_new.commands.clear();
    s_new.args.clear();
}

void glEndList() {
    if (s_compiling == 0 || g_gl.inside_begin_end) return;
    List& list = s_lists[s_compiling];
    list.commands.swap(s_new.commands);
    list.args.swap(s_new.args);
    s_compiling = 0;
}

void glCallList(GLuint list) {
    const uint32_t args[] = {list_arg(list)};
    if (execute_now(ListOp::call_list, args, 1)) call_list(list);
}

} // extern "C"
