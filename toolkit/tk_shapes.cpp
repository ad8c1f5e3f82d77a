#include "toolkit/tk_shapes.h"

#include <new>
#include <utility>

ShapeListEntry* tk_shape_lists[TK_SHAPE_KINDS];

namespace {

bool valid_kind(int kind) {
    return kind >= 0 && kind < TK_SHAPE_KINDS;
}

bool same_values(const ShapeListEntry* e, const double* values, int count) {
    // An entry with fewer values cannot match on the ones it lacks, and reading past its array
    // would be reading someone else's memory.
    if (e->value_count < count) return false;
    for (int i = 0; i < count; ++i)
        if (e->values[i] != values[i]) return false;
    return true;
}

// The key is allocated on every call, hit or miss, because a miss hands it to the cache.
double* make_key(double a, double b, double c) {
    double* key = new (std::nothrow) double[3];
    if (key) {
        key[0] = a;
        key[1] = b;
        key[2] = c;
    }
    return key;
}

void box(int kind, GLenum mode, double width, double height, double depth) {
    const double x = 0.5 * width, y = 0.5 * height, z = 0.5 * depth;
    double* key = make_key(width, height, depth);
    if (!key) {
        // Out of memory: still draw, just without caching.
        tk_draw_box(-x, x, -y, y, -z, z, mode);
        return;
    }
    if (GLuint list = tk_find_shape_list(kind, key, 3)) {
        glCallList(list);
        delete[] key;
        return;
    }
    GLuint list = tk_add_shape_list(kind, key, 3);
    if (list == 0) {
        tk_draw_box(-x, x, -y, y, -z, z, mode);
        return;
    }
    // Compiled and drawn in one pass, so the first frame shows the box too.
    glNewList(list, GL_COMPILE_AND_EXECUTE);
    tk_draw_box(-x, x, -y, y, -z, z, mode);
    glEndList();
}

} // namespace

GLuint tk_find_shape_list(int kind, const double* values, int count) {
    if (!valid_kind(kind)) return 0;
    for (const ShapeListEntry* e = tk_shape_lists[kind]; e; e = e->next)
        if (same_values(e, values, count)) return e->list;
    return 0;
}

GLuint tk_add_shape_list(int kind, double* values, int count) {
    // The entry owns `values` from here on; when no entry can be made they are released and 0
    // tells the caller to draw without a list.
    if (!valid_kind(kind)) {
        delete[] values;
        return 0;
    }
    ShapeListEntry* e = new (std::nothrow) ShapeListEntry;
    if (!e) {
        delete[] values;
        return 0;
    }
    const GLuint list = glGenLists(1);
    if (list == 0) {
        delete e;
        delete[] values;
        return 0;
    }
    e->list = list;
    e->next = tk_shape_lists[kind];
    e->value_count = count;
    e->values = values;
    tk_shape_lists[kind] = e;
    return list;
}

void tk_solid_box(double width, double height, double depth) {
    box(TK_SHAPE_SOLID_BOX, GL_QUADS, width, height, depth);
}

void tk_wire_box(double width, double height, double depth) {
    box(TK_SHAPE_WIRE_BOX, GL_LINE_LOOP, width, height, depth);
}

void tk_draw_box(double x0, double x1, double y0, double y1, double z0, double z1, GLenum mode) {
    if (x0 > x1) std::swap(x0, x1);
    if (!(y1 >= y0)) std::swap(y0, y1);
    if (!(z1 >= z0)) std::swap(z0, z1);

    const double corner[8][3] = {{x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0},
                                 {x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x1, y1, z0}};
    // Counter-clockwise seen from outside, so that front faces point outward.
    static const int face[6][4] = {{0, 1, 2, 3}, {3, 2, 6, 7}, {7, 6, 5, 4},
                                   {4, 5, 1, 0}, {5, 6, 2, 1}, {7, 4, 0, 3}};
    static const double normal[6][3] = {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0},
                                        {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (int f = 0; f < 6; ++f) {
        glBegin(mode);
        for (int c = 0; c < 4; ++c) {
            glNormal3d(normal[f][0], normal[f][1], normal[f][2]);
            const double* v = corner[face[f][c]];
            glVertex3d(v[0], v[1], v[2]);
        }
        glEnd();
    }
}
