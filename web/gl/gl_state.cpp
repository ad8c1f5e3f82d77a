#include "web/gl/gl_state.h"

#include <cstring>
#include <initializer_list>

namespace glw {

namespace {

void set4(float* v, float a, float b, float c, float d) {
    v[0] = a;
    v[1] = b;
    v[2] = c;
    v[3] = d;
}

void identity(float* m) {
    std::memset(m, 0, 16 * sizeof(float));
    m[0] = m[5] = m[10] = m[15] = 1.0f;
}

} // namespace

State initial_state() {
    State s;
    std::memset(&s, 0, sizeof s);

    s.matrix_mode = GL_MODELVIEW;
    identity(s.modelview[0]);
    identity(s.projection[0]);

    set4(s.colour, 1, 1, 1, 1);
    s.normal[2] = 1.0f;

    for (int i = 0; i < kMaxLights; ++i) {
        Light& l = s.lights[i];
        set4(l.ambient, 0, 0, 0, 1);
        // Light 0 is white, the others black.
        const float c = i == 0 ? 1.0f : 0.0f;
        set4(l.diffuse, c, c, c, 1);
        set4(l.specular, c, c, c, 1);
        set4(l.position, 0, 0, 1, 0);
        l.spot_direction[2] = -1.0f;
        l.spot_cutoff = 180.0f;
        l.attenuation[0] = 1.0f;
    }
    set4(s.model_ambient, 0.2f, 0.2f, 0.2f, 1);
    for (Material* m : {&s.front, &s.back}) {
        set4(m->ambient, 0.2f, 0.2f, 0.2f, 1);
        set4(m->diffuse, 0.8f, 0.8f, 0.8f, 1);
        set4(m->specular, 0, 0, 0, 1);
        set4(m->emission, 0, 0, 0, 1);
    }
    s.colour_material_face = GL_FRONT_AND_BACK;
    s.colour_material_mode = GL_AMBIENT_AND_DIFFUSE;

    s.fog_mode = GL_EXP;
    s.fog_density = 1.0f;
    s.fog_end = 1.0f;

    s.shade_model = GL_SMOOTH;
    s.line_width = 1.0f;
    s.front_face = GL_CCW;
    s.blend_src = GL_ONE;
    s.blend_dst = GL_ZERO;

    s.draw_buffer = GL_BACK;
    // The window's size is not known here; the program sets the viewport on every resize.
    s.begin_mode = GL_POINTS;
    s.dirty = kDirtyAll;
    return s;
}

State g_gl = initial_state();

} // namespace glw
