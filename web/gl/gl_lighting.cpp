// Lights, materials, colour material and fog: the values the shader's lighting and fog read.
// Light positions and spot directions are taken into eye coordinates here, by the modelview
// matrix in force when they are set, as GL does; a later change of the matrix leaves them be.
#include "web/gl/gl_internal.h"

#include <GL/gl.h>

#include <cstring>
#include <initializer_list>

namespace glw {

namespace {

// How many values each parameter takes; 0 for names these commands do not know.
int light_values(GLenum pname) {
    switch (pname) {
    case GL_AMBIENT:
    case GL_DIFFUSE:
    case GL_SPECULAR:
    case GL_POSITION:
        return 4;
    case GL_SPOT_DIRECTION:
        return 3;
    case GL_SPOT_EXPONENT:
    case GL_SPOT_CUTOFF:
    case GL_CONSTANT_ATTENUATION:
    case GL_LINEAR_ATTENUATION:
    case GL_QUADRATIC_ATTENUATION:
        return 1;
    default:
        return 0;
    }
}

int material_values(GLenum pname) {
    switch (pname) {
    case GL_AMBIENT:
    case GL_DIFFUSE:
    case GL_SPECULAR:
    case GL_EMISSION:
    case GL_AMBIENT_AND_DIFFUSE:
        return 4;
    case GL_COLOR_INDEXES:
        return 3;
    case GL_SHININESS:
        return 1;
    default:
        return 0;
    }
}

int fog_values(GLenum pname) {
    switch (pname) {
    case GL_FOG_COLOR:
        return 4;
    case GL_FOG_MODE:
    case GL_FOG_DENSITY:
    case GL_FOG_START:
    case GL_FOG_END:
    case GL_FOG_INDEX:
        return 1;
    default:
        return 0;
    }
}

bool valid_face(GLenum face) {
    return face == GL_FRONT || face == GL_BACK || face == GL_FRONT_AND_BACK;
}

void copy4(float* to, const float* from) {
    std::memcpy(to, from, 4 * sizeof(float));
}

float clamp01(float v) {
    return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
}

// Sets one material's property; the caller has checked name and value.
void set_material(Material& m, GLenum pname, const float* p) {
    switch (pname) {
    case GL_AMBIENT:
        copy4(m.ambient, p);
        break;
    case GL_DIFFUSE:
        copy4(m.diffuse, p);
        break;
    case GL_AMBIENT_AND_DIFFUSE:
        copy4(m.ambient, p);
        copy4(m.diffuse, p);
        break;
    case GL_SPECULAR:
        copy4(m.specular, p);
        break;
    case GL_EMISSION:
        copy4(m.emission, p);
        break;
    case GL_SHININESS:
        m.shininess = p[0];
        break;
    default: // GL_COLOR_INDEXES: colour-index lighting only
        break;
    }
}

// Records a command whose values are a counted array after its names (one or two).
bool record(ListOp op, std::initializer_list<GLenum> names, const float* values, int count) {
    uint32_t args[6];
    int n = 0;
    for (GLenum name : names)
        args[n++] = list_arg(name);
    for (int i = 0; i < count; ++i)
        args[n++] = list_arg(values[i]);
    return execute_now_array(op, args, n);
}

} // namespace

void light(GLenum which, GLenum pname, const float* p) {
    if (which < GL_LIGHT0 || which >= GL_LIGHT0 + kMaxLights || light_values(pname) == 0) return;
    // Values outside GL's ranges are refused (GL_INVALID_VALUE).
    if (pname == GL_SPOT_EXPONENT && (p[0] < 0.0f || p[0] > 128.0f)) return;
    if (pname == GL_SPOT_CUTOFF && p[0] != 180.0f && (p[0] < 0.0f || p[0] > 90.0f)) return;
    if ((pname == GL_CONSTANT_ATTENUATION || pname == GL_LINEAR_ATTENUATION ||
         pname == GL_QUADRATIC_ATTENUATION) &&
        p[0] < 0.0f)
        return;
    if (!begin_state_change()) return;

    Light& l = g_gl.lights[which - GL_LIGHT0];
    const float* m = modelview_top();
    switch (pname) {
    case GL_AMBIENT:
        copy4(l.ambient, p);
        break;
    case GL_DIFFUSE:
        copy4(l.diffuse, p);
        break;
    case GL_SPECULAR:
        copy4(l.specular, p);
        break;
    case GL_POSITION:
        for (int r = 0; r < 4; ++r)
            l.position[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r] * p[3];
        break;
    case GL_SPOT_DIRECTION:
        for (int r = 0; r < 3; ++r)
            l.spot_direction[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2];
        break;
    case GL_SPOT_EXPONENT:
        l.spot_exponent = p[0];
        break;
    case GL_SPOT_CUTOFF:
        l.spot_cutoff = p[0];
        break;
    case GL_CONSTANT_ATTENUATION:
        l.attenuation[0] = p[0];
        break;
    case GL_LINEAR_ATTENUATION:
        l.attenuation[1] = p[0];
        break;
    case GL_QUADRATIC_ATTENUATION:
        l.attenuation[2] = p[0];
        break;
    }
    g_gl.dirty |= kDirtyLights;
}

void material(GLenum face, GLenum pname, const float* p) {
    if (!valid_face(face) || material_values(pname) == 0) return;
    if (pname == GL_SHININESS && (p[0] < 0.0f || p[0] > 128.0f)) return;
    // Within glBegin/glEnd GL would change the material from the next vertex on; this layer
    // takes material changes between primitives only.
    if (!begin_state_change()) return;
    if (face != GL_BACK) set_material(g_gl.front, pname, p);
    if (face != GL_FRONT) set_material(g_gl.back, pname, p);
    g_gl.dirty |= kDirtyMaterial;
}

void colour_material(GLenum face, GLenum mode) {
    if (!valid_face(face)) return;
    if (mode != GL_EMISSION && mode != GL_AMBIENT && mode != GL_DIFFUSE && mode != GL_SPECULAR &&
        mode != GL_AMBIENT_AND_DIFFUSE)
        return;
    if (!begin_state_change()) return;
    g_gl.colour_material_face = face;
    g_gl.colour_material_mode = mode;
    g_gl.dirty |= kDirtyMaterial;
    track_colour();
}

void track_colour() {
    State& s = g_gl;
    if (!s.colour_material) return;
    if (s.colour_material_face != GL_BACK) set_material(s.front, s.colour_material_mode, s.colour);
    if (s.colour_material_face != GL_FRONT) set_material(s.back, s.colour_material_mode, s.colour);
    // While tracked, these values come from each vertex's colour in the shader: what is batched
    // does not change and the shader need not hear of them until tracking ends (an enable or a
    // glColorMaterial, which send the material anew).
}

void fog(GLenum pname, const float* p) {
    if (fog_values(pname) == 0) return;
    if (pname == GL_FOG_MODE) {
        const GLenum mode = GLenum(p[0]);
        if (mode != GL_LINEAR && mode != GL_EXP && mode != GL_EXP2) return;
    }
    if (pname == GL_FOG_DENSITY && p[0] < 0.0f) return;
    if (!begin_state_change()) return;
    State& s = g_gl;
    switch (pname) {
    case GL_FOG_MODE:
        s.fog_mode = GLenum(p[0]);
        break;
    case GL_FOG_DENSITY:
        s.fog_density = p[0];
        break;
    case GL_FOG_START:
        s.fog_start = p[0];
        break;
    case GL_FOG_END:
        s.fog_end = p[0];
        break;
    case GL_FOG_COLOR:
        for (int i = 0; i < 4; ++i)
            s.fog_colour[i] = clamp01(p[i]);
        break;
    default: // GL_FOG_INDEX: colour-index mode only
        break;
    }
    s.dirty |= kDirtyFog;
}

} // namespace glw

using namespace glw;

extern "C" {

void glLightfv(GLenum which, GLenum pname, const GLfloat* params) {
    const int n = light_values(pname);
    if (n == 0) return;
    if (record(ListOp::light, {which, pname}, params, n)) light(which, pname, params);
}

void glLightf(GLenum which, GLenum pname, GLfloat param) {
    if (light_values(pname) != 1) return; // a vector parameter needs glLightfv
    if (record(ListOp::light, {which, pname}, &param, 1)) light(which, pname, &param);
}

void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params) {
    const int n = material_values(pname);
    if (n == 0) return;
    if (record(ListOp::material, {face, pname}, params, n)) material(face, pname, params);
}

void glMaterialf(GLenum face, GLenum pname, GLfloat param) {
    if (pname != GL_SHININESS) return;
    if (record(ListOp::material, {face, pname}, &param, 1)) material(face, pname, &param);
}

void glColorMaterial(GLenum face, GLenum mode) {
    if (execute_now(ListOp::colour_material, face, mode)) colour_material(face, mode);
}

void glFogfv(GLenum pname, const GLfloat* params) {
    const int n = fog_values(pname);
    if (n == 0) return;
    if (record(ListOp::fog, {pname}, params, n)) fog(pname, params);
}

void glFogf(GLenum pname, GLfloat param) {
    if (fog_values(pname) != 1) return;
    if (record(ListOp::fog, {pname}, &param, 1)) fog(pname, &param);
}

void glFogi(GLenum pname, GLint param) {
    if (fog_values(pname) != 1) return;
    const float value = float(param);
    if (record(ListOp::fog, {pname}, &value, 1)) fog(pname, &value);
}

} // extern "C"
