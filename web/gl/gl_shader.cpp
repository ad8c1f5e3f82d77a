// The one program that draws everything: a vertex shader that computes what GL 1.1's fixed
// function computes per vertex, in the order Mesa's generated vertex program does (Gouraud
// lighting in eye space with an infinite viewer, colours clamped per vertex), and a fragment
// shader that applies fog per fragment from |z| in eye space, as Mesa does. Uniforms are
// uploaded from the state when a draw finds them changed.
#include "web/gl/gl_internal.h"

#include <GL/gl.h>
#include <webgl/webgl1.h>
#include <webgl/webgl2.h>

#include <cmath>
#include <cstdio>

namespace glw {

namespace {

const char* const k_vertex_shader = R"(#version 300 es
precision highp float;
precision highp int;

uniform mat4 u_mvp;
uniform mat4 u_modelview;
uniform mat3 u_normal_matrix;

uniform bool u_lighting;
uniform bool u_normalize;
uniform int u_light_count;
// The enabled lights, in order. Positions and spot directions in eye coordinates; spot.w is
// the cosine of the cutoff, below -1 when there is no spot; attenuation.w the spot exponent.
uniform vec4 u_light_ambient[8];
uniform vec4 u_light_diffuse[8];
uniform vec4 u_light_specular[8];
uniform vec4 u_light_position[8];
uniform vec4 u_light_spot[8];
uniform vec4 u_light_attenuation[8];

uniform vec4 u_model_ambient;
uniform vec4 u_material_ambient;
uniform vec4 u_material_diffuse;
uniform vec4 u_material_specular;
uniform vec4 u_material_emission;
uniform float u_shininess;
// Which material values the vertex colour stands for: 1 ambient, 2 diffuse, 4 specular,
// 8 emission.
uniform int u_colour_material;

uniform bool u_lines;
uniform float u_line_width;
uniform vec2 u_viewport_half;

in vec3 a_position;
in vec3 a_normal;
in vec4 a_colour;
in vec3 a_other;
in float a_side;

out vec4 v_colour;
flat out vec4 v_flat_colour;
out float v_fog_z;

vec4 material(int bit, vec4 stored) {
    return (u_colour_material & bit) != 0 ? a_colour : stored;
}

vec4 lit_colour(vec3 eye) {
    vec4 ambient = material(1, u_material_ambient);
    vec4 diffuse = material(2, u_material_diffuse);
    vec4 specular = material(4, u_material_specular);
    vec4 emission = material(8, u_material_emission);

    vec3 n = u_normal_matrix * a_normal;
    if (u_normalize) n *= inversesqrt(dot(n, n));

    vec3 c = u_model_ambient.rgb * ambient.rgb + emission.rgb;
    for (int i = 0; i < 8; ++i) {
        if (i >= u_light_count) break;
        vec4 p = u_light_position[i];
        vec3 vp;
        float att = 1.0;
        if (p.w != 0.0) {
            vp = p.xyz / p.w - eye;
            float inv_d = inversesqrt(dot(vp, vp));
            vp *= inv_d;
            float d = 1.0 / inv_d;
            vec3 k = u_light_attenuation[i].xyz;
            att = 1.0 / (k.x + k.y * d + k.z * d * d);
        } else {
            vp = p.xyz * inversesqrt(dot(p.xyz, p.xyz));
        }
        vec4 spot = u_light_spot[i];
        if (spot.w >= -1.0) {
            float s = dot(-vp, spot.xyz);
            att *= spot.w < s ? pow(s, u_light_attenuation[i].w) : 0.0;
        }
        vec3 h = normalize(vp + vec3(0.0, 0.0, 1.0));
        float nl = dot(n, vp);
        float nh = dot(n, h);
        float d = max(nl, 0.0);
        float s = 0.0;
        if (nl > 0.0) s = u_shininess == 0.0 ? 1.0 : pow(max(nh, 0.0), u_shininess);
        c += att * u_light_ambient[i].rgb * ambient.rgb;
        c += att * d * u_light_diffuse[i].rgb * diffuse.rgb;
        c += att * s * u_light_specular[i].rgb * specular.rgb;
    }
    return vec4(c, diffuse.a);
}

// A line's corner: its end of the segment, clipped to the near plane, moved half the width
// across the segment's minor axis in window space, as GL widens aliased lines.
vec4 line_corner(vec4 self) {
    vec4 other = u_mvp * vec4(a_other, 1.0);
    float ds = self.z + self.w;
    float dt = other.z + other.w;
    if (ds < 0.0 && dt < 0.0) return vec4(0.0, 0.0, 2.0, 1.0);
    vec4 s = ds < 0.0 ? mix(self, other, ds / (ds - dt)) : self;
    vec4 t = dt < 0.0 ? mix(other, self, dt / (dt - ds)) : other;
    vec2 sn = s.xy / s.w;
    vec2 d = (t.xy / t.w - sn) * u_viewport_half;
    vec2 across = abs(d.x) >= abs(d.y) ? vec2(0.0, 1.0) : vec2(1.0, 0.0);
    vec2 offset = across * (a_side * 0.5 * u_line_width) / u_viewport_half;
    return vec4((sn + offset) * s.w, s.z, s.w);
}

void main() {
    vec4 position = vec4(a_position, 1.0);
    vec3 eye = (u_modelview * position).xyz;
    vec4 clip = u_mvp * position;
    gl_Position = u_lines ? line_corner(clip) : clip;
    gl_PointSize = 1.0;

    vec4 c = u_lighting ? lit_colour(eye) : a_colour;
    c = clamp(c, 0.0, 1.0);
    v_colour = c;
    v_flat_colour = c;
    v_fog_z = abs(eye.z);
}
)";

const char* const k_fragment_shader = R"(#version 300 es
precision highp float;
precision highp int;

uniform bool u_flat;
// 0 off, 1 linear, 2 exp, 3 exp2; u_fog holds -1/(end-start), end/(end-start),
// density/ln(2), density/sqrt(ln(2)).
uniform int u_fog_mode;
uniform vec4 u_fog;
uniform vec4 u_fog_colour;

in vec4 v_colour;
flat in vec4 v_flat_colour;
in float v_fog_z;

out vec4 o_colour;

void main() {
    vec4 c = u_flat ? v_flat_colour : v_colour;
    if (u_fog_mode != 0) {
        float f;
        if (u_fog_mode == 1) {
            f = v_fog_z * u_fog.x + u_fog.y;
        } else if (u_fog_mode == 2) {
            f = exp2(-(v_fog_z * u_fog.z));
        } else {
            float t = v_fog_z * u_fog.w;
            f = exp2(-(t * t));
        }
        c.rgb = mix(u_fog_colour.rgb, c.rgb, clamp(f, 0.0, 1.0));
    }
    o_colour = c;
}
)";

struct Uniforms {
    GLint mvp, modelview, normal_matrix;
    GLint lighting, normalize, light_count;
    GLint light_ambient, light_diffuse, light_specular, light_position, light_spot,
        light_attenuation;
    GLint model_ambient, material_ambient, material_diffuse, material_specular, material_emission,
        shininess, colour_material;
    GLint lines, line_width, viewport_half;
    GLint flat, fog_mode, fog, fog_colour;
};

GLuint s_program = 0;
Uniforms s_u;
BatchKind s_uploaded_kind = BatchKind::none;

GLuint compile(GLenum type, const char* source) {
    const GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    GLint ok = 0;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        emscripten_glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "webgl layer: shader not compiled: %s\n", log);
        emscripten_glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLint at(const char* name) {
    return emscripten_glGetUniformLocation(s_program, name);
}

void find_uniforms() {
    s_u.mvp = at("u_mvp");
    s_u.modelview = at("u_modelview");
    s_u.normal_matrix = at("u_normal_matrix");
    s_u.lighting = at("u_lighting");
    s_u.normalize = at("u_normalize");
    s_u.light_count = at("u_light_count");
    s_u.light_ambient = at("u_light_ambient");
    s_u.light_diffuse = at("u_light_diffuse");
    s_u.light_specular = at("u_light_specular");
    s_u.light_position = at("u_light_position");
    s_u.light_spot = at("u_light_spot");
    s_u.light_attenuation = at("u_light_attenuation");
    s_u.model_ambient = at("u_model_ambient");
    s_u.material_ambient = at("u_material_ambient");
    s_u.material_diffuse = at("u_material_diffuse");
    s_u.material_specular = at("u_material_specular");
    s_u.material_emission = at("u_material_emission");
    s_u.shininess = at("u_shininess");
    s_u.colour_material = at("u_colour_material");
    s_u.lines = at("u_lines");
    s_u.line_width = at("u_line_width");
    s_u.viewport_half = at("u_viewport_half");
    s_u.flat = at("u_flat");
    s_u.fog_mode = at("u_fog_mode");
    s_u.fog = at("u_fog");
    s_u.fog_colour = at("u_fog_colour");
}

void upload_transform(const State& s) {
    const float* mv = s.modelview[s.modelview_top];
    float mvp[16];
    std::memcpy(mvp, s.projection[s.projection_top], sizeof mvp);
    multiply(mvp, mv);
    float nm[9];
    normal_matrix(mv, nm);
    emscripten_glUniformMatrix4fv(s_u.mvp, 1, GL_FALSE, mvp);
    emscripten_glUniformMatrix4fv(s_u.modelview, 1, GL_FALSE, mv);
    emscripten_glUniformMatrix3fv(s_u.normal_matrix, 1, GL_FALSE, nm);
}

void upload_lights(const State& s) {
    float ambient[kMaxLights][4], diffuse[kMaxLights][4], specular[kMaxLights][4];
    float position[kMaxLights][4], spot[kMaxLights][4], attenuation[kMaxLights][4];
    int n = 0;
    for (const Light& l : s.lights) {
        if (!l.enabled) continue;
        std::memcpy(ambient[n], l.ambient, sizeof ambient[n]);
        std::memcpy(diffuse[n], l.diffuse, sizeof diffuse[n]);
        std::memcpy(specular[n], l.specular, sizeof specular[n]);
        std::memcpy(position[n], l.position, sizeof position[n]);
        // The spot direction is taken as a unit vector, with the cutoff's cosine beside it.
        const float* d = l.spot_direction;
        const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        const float k = length > 0.0f ? 1.0f / length : 0.0f;
        spot[n][0] = d[0] * k;
        spot[n][1] = d[1] * k;
        spot[n][2] = d[2] * k;
        spot[n][3] =
            l.spot_cutoff == 180.0f ? -2.0f : float(std::cos(double(l.spot_cutoff) * M_PI / 180.0));
        attenuation[n][0] = l.attenuation[0];
        attenuation[n][1] = l.attenuation[1];
        attenuation[n][2] = l.attenuation[2];
        attenuation[n][3] = l.spot_exponent;
        ++n;
    }
    emscripten_glUniform1i(s_u.light_count, n);
    if (n > 0) {
        emscripten_glUniform4fv(s_u.light_ambient, n, ambient[0]);
        emscripten_glUniform4fv(s_u.light_diffuse, n, diffuse[0]);
        emscripten_glUniform4fv(s_u.light_specular, n, specular[0]);
        emscripten_glUniform4fv(s_u.light_position, n, position[0]);
        emscripten_glUniform4fv(s_u.light_spot, n, spot[0]);
        emscripten_glUniform4fv(s_u.light_attenuation, n, attenuation[0]);
    }
    emscripten_glUniform4fv(s_u.model_ambient, 1, s.model_ambient);
}

int colour_material_bits(const State& s) {
    // Lighting is one-sided: only colour material on the front face shows.
    if (!s.colour_material || s.colour_material_face == GL_BACK) return 0;
    switch (s.colour_material_mode) {
    case GL_AMBIENT:
        return 1;
    case GL_DIFFUSE:
        return 2;
    case GL_AMBIENT_AND_DIFFUSE:
        return 3;
    case GL_SPECULAR:
        return 4;
    case GL_EMISSION:
        return 8;
    default:
        return 0;
    }
}

void upload_material(const State& s) {
    emscripten_glUniform1i(s_u.lighting, s.lighting);
    emscripten_glUniform1i(s_u.normalize, s.normalize);
    emscripten_glUniform4fv(s_u.material_ambient, 1, s.front.ambient);
    emscripten_glUniform4fv(s_u.material_diffuse, 1, s.front.diffuse);
    emscripten_glUniform4fv(s_u.material_specular, 1, s.front.specular);
    emscripten_glUniform4fv(s_u.material_emission, 1, s.front.emission);
    emscripten_glUniform1f(s_u.shininess, s.front.shininess);
    emscripten_glUniform1i(s_u.colour_material, colour_material_bits(s));
}

void upload_fog(const State& s) {
    int mode = 0;
    if (s.fog) mode = s.fog_mode == GL_LINEAR ? 1 : s.fog_mode == GL_EXP ? 2 : 3;
    const float n = s.fog_end == s.fog_start ? 1.0f : float(1.0 / (s.fog_end - s.fog_start));
    const float params[4] = {-n, s.fog_end * n, float(s.fog_density * M_LOG2E),
                             float(s.fog_density / std::sqrt(M_LN2))};
    emscripten_glUniform1i(s_u.fog_mode, mode);
    emscripten_glUniform4fv(s_u.fog, 1, params);
    emscripten_glUniform4fv(s_u.fog_colour, 1, s.fog_colour);
}

void upload_raster(const State& s) {
    emscripten_glUniform1i(s_u.flat, s.shade_model == GL_FLAT);
    // Aliased lines are as wide as the width rounded, and at least a pixel.
    const float width = std::floor(s.line_width + 0.5f);
    emscripten_glUniform1f(s_u.line_width, width < 1.0f ? 1.0f : width);
    const float half[2] = {0.5f * float(s.viewport[2]), 0.5f * float(s.viewport[3])};
    emscripten_glUniform2fv(s_u.viewport_half, 1, half);
}

} // namespace

unsigned build_program() {
    const GLuint vs = compile(GL_VERTEX_SHADER, k_vertex_shader);
    const GLuint fs = compile(GL_FRAGMENT_SHADER, k_fragment_shader);
    if (!vs || !fs) {
        if (vs) emscripten_glDeleteShader(vs);
        if (fs) emscripten_glDeleteShader(fs);
        return 0;
    }
    const GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, vs);
    emscripten_glAttachShader(program, fs);
    emscripten_glBindAttribLocation(program, kPosition, "a_position");
    emscripten_glBindAttribLocation(program, kNormal, "a_normal");
    emscripten_glBindAttribLocation(program, kColour, "a_colour");
    emscripten_glBindAttribLocation(program, kOther, "a_other");
    emscripten_glBindAttribLocation(program, kSide, "a_side");
    emscripten_glLinkProgram(program);
    emscripten_glDeleteShader(vs);
    emscripten_glDeleteShader(fs);
    GLint ok = 0;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        emscripten_glGetProgramInfoLog(program, sizeof log, nullptr, log);
        std::fprintf(stderr, "webgl layer: program not linked: %s\n", log);
        emscripten_glDeleteProgram(program);
        return 0;
    }
    s_program = program;
    emscripten_glUseProgram(program);
    find_uniforms();
    // A new program has every uniform at zero: all of them are sent with the next draw.
    g_gl.dirty = kDirtyAll;
    s_uploaded_kind = BatchKind::none;
    return program;
}

void upload_uniforms(BatchKind kind) {
    State& s = g_gl;
    if (s.dirty & kDirtyTransform) upload_transform(s);
    if (s.dirty & kDirtyLights) upload_lights(s);
    if (s.dirty & kDirtyMaterial) upload_material(s);
    if (s.dirty & kDirtyFog) upload_fog(s);
    if (s.dirty & kDirtyRaster) upload_raster(s);
    s.dirty = 0;
    if (kind != s_uploaded_kind) {
        emscripten_glUniform1i(s_u.lines, kind == BatchKind::lines);
        s_uploaded_kind = kind;
    }
}

void forget_program() {
    if (s_program) emscripten_glDeleteProgram(s_program);
    s_program = 0;
}

} // namespace glw
