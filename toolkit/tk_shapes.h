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

GLuint tk_find_shape_list(int kind, const double* values, int count);
GLuint tk_add_shape_list(int kind, double* values, int count);
void tk_solid_box(double width, double height, double depth);
void tk_wire_box(double width, double height, double depth);
void tk_draw_box(double x0, double x1, double y0, double y1, double z0, double z1, GLenum mode);
