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

void run(const Command& c, const uint32_t* a) {
    float floats[16];
    for (int i = 0; i < c.count && i < 16; ++i)
        std::memcpy(&floats[i], &a[i], sizeof floats[i]);
    const auto u = [a](int i) { return a[i]; };
    const auto n = [a](int i) { return int32_t(a[i]); };
    const auto f = [&floats](int i) { return floats[i]; };
    const auto v = [&floats](int i) { return floats + i; };
    switch (c.op) {
#define GLW_REPLAY(name, replay)                                                                   \
    case ListOp::name:                                                                             \
        replay;                                                                                    \
        break;
        GLW_LIST_COMMANDS(GLW_REPLAY)
#undef GLW_REPLAY
    }
}

} // namespace

bool execute_now_array(ListOp op, const uint32_t* args, int count) {
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
    if (execute_now(ListOp::call_list, list)) call_list(list);
}

} // extern "C"
