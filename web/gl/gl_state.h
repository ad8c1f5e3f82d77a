// The GL 1.1 state of the one context the program draws with, kept in C++: the entry points
// change it, and the draw hands what a batch needs to WebGL as uniforms. Nothing here needs a
// WebGL context, so state may be set before the layer is set up.
#pragma once

#include <GL/gl.h>

#include <cstdint>

namespace glw {

constexpr int kMaxLights = 8;
constexpr int kMaxModelviewDepth = 32;
constexpr int kMaxProjectionDepth = 32;
constexpr int kMaxListNesting = 64; // glCallList within lists, as deep as GL promises

struct Light {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float position[4];       // eye coordinates: transformed by the modelview when it was set
    float spot_direction[3]; // eye coordinates: transformed by the modelview when it was set
    float spot_exponent;
    float spot_cutoff;
    float attenuation[3]; // constant, linear, quadratic
    bool enabled;
};

struct Material {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float emission[4];
    float shininess;
};

// Which groups of uniform values changed since the last draw kept them.
enum Dirty : uint32_t {
    kDirtyTransform = 1u << 0, // matrices, normal matrix
    kDirtyLights = 1u << 1,    // lights, their enables, the light model
    kDirtyMaterial = 1u << 2,  // front material
    kDirtyFog = 1u << 3,       // density, start, end, colour
    kDirtyRaster = 1u << 4,    // line width, viewport
    kDirtyAll = 0x1f,
};

struct State {
    // Transformation.
    GLenum matrix_mode;
    float modelview[kMaxModelviewDepth][16]; // column-major, as GL lays matrices out
    int modelview_top;
    float projection[kMaxProjectionDepth][16];
    int projection_top;
    bool normalize;

    // Current vertex attributes.
    float colour[4];
    float normal[3];

    // Lighting.
    bool lighting;
    Light lights[kMaxLights];
    float model_ambient[4];
    Material front;
    Material back; // kept for glMaterial(GL_BACK); lighting is one-sided and reads the front
    bool colour_material;
    GLenum colour_material_face;
    GLenum colour_material_mode;

    // Fog.
    bool fog;
    GLenum fog_mode;
    float fog_density;
    float fog_start;
    float fog_end;
    float fog_colour[4];

    // Rasterisation and per-fragment operations.
    GLenum shade_model;
    float line_width;
    GLenum front_face;
    bool cull_face;
    bool depth_test;
    bool blend;
    GLenum blend_src;
    GLenum blend_dst;

    // Framebuffer.
    float clear_colour[4];
    float clear_index;
    GLenum draw_buffer;
    int viewport[4];

    // Between glBegin and glEnd.
    bool inside_begin_end;
    GLenum begin_mode;

    uint32_t dirty;
    uint32_t transform_serial; // changes with every change of either matrix
};

// The state a new GL context starts with.
State initial_state();

extern State g_gl;

} // namespace glw
