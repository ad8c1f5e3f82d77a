// Stock shapes drawn through a display-list cache keyed by their exact parameter values.
#pragma once

#include <GL/gl.h>

enum { TK_SHAPE_WIRE_BOX = 2, TK_SHAPE_SOLID_BOX = 12, TK_SHAPE_KINDS = 19 };

struct ShapeListEntry {
    GLuint list;
    ShapeListEntry* next;
    int value_count;
    double* values;
};

// One chain head per shape kind, newest entry first.
extern ShapeListEntry* tk_shape_lists[TK_SHAPE_KINDS];

// The list of the newest entry of `kind` whose first `count` values equal `values` exactly, or 0.
GLuint tk_find_shape_list(int kind, const double* values, int count);
// Reserves a list name for a new entry at the head of `kind`, which takes over `values`
// (allocated with new[]). Returns 0, releasing `values`, when no entry can be made.
GLuint tk_add_shape_list(int kind, double* values, int count);
// A box centred on the origin, compiled into a list on first use and replayed afterwards.
void tk_solid_box(double width, double height, double depth);
void tk_wire_box(double width, double height, double depth);
// The six faces between two corners, each its own primitive of `mode`, counter-clockwise seen
// from outside.
void tk_draw_box(double x0, double x1, double y0, double y1, double z0, double z1, GLenum mode);
