// The programs that draw: a vertex shader that computes what GL 1.1's fixed function computes
// per vertex, in the order Mesa's generated vertex program does (Gouraud lighting in eye space
// with an infinite viewer, colours clamped per vertex), and a fragment shader that applies fog
// per fragment from |z| in eye space, as Mesa does.
//
// Like Mesa, the layer builds a variant of its program for each state: which lights are on and
// of which kind (positional, spot, attenuated), what the vertex colour stands for, fog, shading,
// lines. Each such key gets its own program, built when first drawn with; the values stay uniforms.
#include "web/gl/gl_internal.h"
#include "web/gl/gles_entry_points.h"

#include <GL/gl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace glw {

namespace {

// Key bits.
constexpr uint64_t kKeyLighting = 1u << 0;
constexpr uint64_t kKeyNormalize = 1u << 1;
constexpr int kKeyColourMaterialShift = 2; // 4 bits: 1 ambient, 2 diffuse, 4 specular, 8 emission
constexpr uint64_t kKeyShininessZero = 1u << 6;
constexpr int kKeyFogShift = 7; // 2 bits: 0 off, 1 linear, 2 exp, 3 exp2
constexpr uint64_t kKeyFlat = 1u << 9;
constexpr uint64_t kKeyLines = 1u << 10;
constexpr int kKeyLightCountShift = 11; // 4 bits
constexpr int kKeyLightShift = 16;      // 3 bits a light, in the order of the packed lights
constexpr uint64_t kLightPositional = 1, kLightSpot = 2, kLightAttenuated = 4;

// A program is built for each key the frames draw with; a program that lives through many
// keys keeps this many and starts anew beyond.
constexpr size_t kMaxPrograms = 64;

const char* const k_vertex_common = R"(
uniform mat4 u_mvp;
uniform mat4 u_modelview;
uniform mat3 u_normal_matrix;

in vec3 a_position;
in vec3 a_normal;
in vec4 a_colour;

#if FLAT
flat out vec4 v_colour;
#else
out vec4 v_colour;
#endif
#if FOG_MODE != 0
out float v_fog_z;
#endif

#if LIGHTING
// The enabled lights, in order. Positions and spot directions in eye coordinates; a
// directional light's position is its unit direction and half its half vector; spot.w is the
// cosine of the cutoff, attenuation.w the spot exponent.
uniform vec4 u_light_ambient[8];
uniform vec4 u_light_diffuse[8];
uniform vec4 u_light_specular[8];
uniform vec4 u_light_position[8];
uniform vec4 u_light_half[8];
uniform vec4 u_light_spot[8];
uniform vec4 u_light_attenuation[8];
uniform vec4 u_model_ambient;
uniform vec4 u_material_ambient;
uniform vec4 u_material_diffuse;
uniform vec4 u_material_specular;
uniform vec4 u_material_emission;
uniform float u_shininess;
#endif

#if LINES
uniform float u_line_width;
uniform vec2 u_viewport_half;
in vec3 a_other;
in float a_side;

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
#endif
)";

const char* const k_vertex_lighting_start = R"(
#if LIGHTING
vec4 lit_colour(vec3 eye) {
#if (COLOUR_MATERIAL & 1) != 0
    vec4 ambient = a_colour;
#else
    vec4 ambient = u_material_ambient;
#endif
#if (COLOUR_MATERIAL & 2) != 0
    vec4 diffuse = a_colour;
#else
    vec4 diffuse = u_material_diffuse;
#endif
#if (COLOUR_MATERIAL & 4) != 0
    vec4 specular = a_colour;
#else
    vec4 specular = u_material_specular;
#endif
#if (COLOUR_MATERIAL & 8) != 0
    vec4 emission = a_colour;
#else
    vec4 emission = u_material_emission;
#endif

    vec3 n = u_normal_matrix * a_normal;
#if NORMALIZE
    n *= inversesqrt(dot(n, n));
#endif

    vec3 c = u_model_ambient.rgb * ambient.rgb + emission.rgb;
    vec3 vp, h;
    float att, nl, d, s;
)";

const char* const k_vertex_lighting_end = R"(
    return vec4(c, diffuse.a);
}
#endif

void main() {
    vec4 position = vec4(a_position, 1.0);
    vec4 clip = u_mvp * position;
#if LINES
    gl_Position = line_corner(clip);
#else
    gl_Position = clip;
#endif
    gl_PointSize = 1.0;
#if LIGHTING || FOG_MODE != 0
    vec3 eye = (u_modelview * position).xyz;
#endif
#if LIGHTING
    vec4 c = lit_colour(eye);
#else
    vec4 c = a_colour;
#endif
    v_colour = clamp(c, 0.0, 1.0);
#if FOG_MODE != 0
    v_fog_z = abs(eye.z);
#endif
}
)";

const char* const k_fragment = R"(
#if FLAT
flat in vec4 v_colour;
#else
in vec4 v_colour;
#endif
#if FOG_MODE != 0
in float v_fog_z;
// -1/(end-start), end/(end-start), density/ln(2), density/sqrt(ln(2))
uniform vec4 u_fog;
uniform vec4 u_fog_colour;
#endif

out vec4 o_colour;

void main() {
    vec4 c = v_colour;
#if FOG_MODE == 1
    float f = v_fog_z * u_fog.x + u_fog.y;
#elif FOG_MODE == 2
    float f = exp2(-(v_fog_z * u_fog.z));
#elif FOG_MODE == 3
    float t = v_fog_z * u_fog.w;
    float f = exp2(-(t * t));
#endif
#if FOG_MODE != 0
    c.rgb = mix(u_fog_colour.rgb, c.rgb, clamp(f, 0.0, 1.0));
#endif
    o_colour = c;
}
)";

// One light's share, as Mesa's generated program has it: the distance and spot attenuation
// scale the light's ambient, diffuse and specular terms alike. Written once for every light:
// @ stands for the light's place among the enabled ones, and the light's kind is defined
// before it (POSITIONAL, ATTENUATED: positional with attenuation, SPOT).
const char* const k_light_template = R"(    // light @
#if POSITIONAL
    vp = u_light_position[@].xyz / u_light_position[@].w - eye;
    d = inversesqrt(dot(vp, vp));
    vp *= d;
#if ATTENUATED
    d = 1.0 / d;
    att = 1.0 / (u_light_attenuation[@].x + u_light_attenuation[@].y * d + u_light_attenuation[@].z * d * d);
#endif
#else
    vp = u_light_position[@].xyz;
#endif
#if SPOT
    s = dot(-vp, u_light_spot[@].xyz);
    s = u_light_spot[@].w < s ? pow(s, u_light_attenuation[@].w) : 0.0;
#if ATTENUATED
    att *= s;
#else
    att = s;
#endif
#endif
    nl = dot(n, vp);
    d = max(nl, 0.0);
#if SHININESS_ZERO
    s = nl > 0.0 ? 1.0 : 0.0;
#else
#if POSITIONAL
    h = normalize(vp + vec3(0.0, 0.0, 1.0));
#else
    h = u_light_half[@].xyz;
#endif
    s = nl > 0.0 ? pow(max(dot(n, h), 0.0), u_shininess) : 0.0;
#endif
#if ATTENUATED || SPOT
    c += att * u_light_ambient[@].rgb * ambient.rgb;
    c += att * d * u_light_diffuse[@].rgb * diffuse.rgb;
    c += att * s * u_light_specular[@].rgb * specular.rgb;
#else
    c += u_light_ambient[@].rgb * ambient.rgb;
    c += d * u_light_diffuse[@].rgb * diffuse.rgb;
    c += s * u_light_specular[@].rgb * specular.rgb;
#endif
#undef POSITIONAL
#undef ATTENUATED
#undef SPOT
)";

std::string light_code(int i, uint64_t kind) {
    const bool positional = kind & kLightPositional;
    const bool attenuated = positional && (kind & kLightAttenuated);
    const bool spot = kind & kLightSpot;
    std::string code = std::string("#define POSITIONAL ") + (positional ? "1" : "0") +
                       "\n#define ATTENUATED " + (attenuated ? "1" : "0") + "\n#define SPOT " +
                       (spot ? "1" : "0") + "\n";
    const std::string index = std::to_string(i);
    for (const char* t = k_light_template; *t; ++t)
        if (*t == '@')
            code += index;
        else
            code += *t;
    return code;
}

std::string header(uint64_t key) {
    const int fog = int((key >> kKeyFogShift) & 3);
    std::string h = "#version 300 es\nprecision highp float;\nprecision highp int;\n";
    h += "#define LIGHTING " + std::to_string((key & kKeyLighting) ? 1 : 0) + "\n";
    h += "#define NORMALIZE " + std::to_string((key & kKeyNormalize) ? 1 : 0) + "\n";
    h += "#define COLOUR_MATERIAL " + std::to_string((key >> kKeyColourMaterialShift) & 15) + "\n";
    h += "#define FOG_MODE " + std::to_string(fog) + "\n";
    h += "#define FLAT " + std::to_string((key & kKeyFlat) ? 1 : 0) + "\n";
    h += "#define LINES " + std::to_string((key & kKeyLines) ? 1 : 0) + "\n";
    h += "#define SHININESS_ZERO " + std::to_string((key & kKeyShininessZero) ? 1 : 0) + "\n";
    return h;
}

std::string vertex_source(uint64_t key) {
    std::string source = header(key) + k_vertex_common + k_vertex_lighting_start;
    const int count = int((key >> kKeyLightCountShift) & 15);
    for (int i = 0; i < count; ++i)
        source += light_code(i, (key >> (kKeyLightShift + 3 * i)) & 7);
    source += k_vertex_lighting_end;
    return source;
}

struct Program {
    uint64_t key;
    GLuint id;
    ProgramUniforms uniforms;
};

std::vector<Program> s_programs;
int s_current = -1;

GLuint compile(GLenum type, const std::string& source) {
    const GLuint shader = emscripten_glCreateShader(type);
    const char* text = source.c_str();
    emscripten_glShaderSource(shader, 1, &text, nullptr);
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

GLuint link(uint64_t key) {
    const GLuint vs = compile(GL_VERTEX_SHADER, vertex_source(key));
    const GLuint fs = compile(GL_FRAGMENT_SHADER, header(key) + k_fragment);
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
    return program;
}

void find_uniforms(GLuint program, ProgramUniforms& u) {
    const auto at = [program](const char* name) {
        return emscripten_glGetUniformLocation(program, name);
    };
    u.mvp = at("u_mvp");
    u.modelview = at("u_modelview");
    u.normal_matrix = at("u_normal_matrix");
    u.light_ambient = at("u_light_ambient");
    u.light_diffuse = at("u_light_diffuse");
    u.light_specular = at("u_light_specular");
    u.light_position = at("u_light_position");
    u.light_half = at("u_light_half");
    u.light_spot = at("u_light_spot");
    u.light_attenuation = at("u_light_attenuation");
    u.model_ambient = at("u_model_ambient");
    u.material_ambient = at("u_material_ambient");
    u.material_diffuse = at("u_material_diffuse");
    u.material_specular = at("u_material_specular");
    u.material_emission = at("u_material_emission");
    u.shininess = at("u_shininess");
    u.line_width = at("u_line_width");
    u.viewport_half = at("u_viewport_half");
    u.fog = at("u_fog");
    u.fog_colour = at("u_fog_colour");
    u.applied = UniformSet{};
    u.applied.transform = u.applied.lights = u.applied.material = u.applied.fog = u.applied.raster =
        kNoValues;
}

int find_or_build(uint64_t key) {
    for (size_t i = 0; i < s_programs.size(); ++i)
        if (s_programs[i].key == key) return int(i);
    if (s_programs.size() >= kMaxPrograms) forget_programs(true);
    const GLuint id = link(key);
    if (!id) return -1;
    Program p;
    p.key = key;
    p.id = id;
    find_uniforms(id, p.uniforms);
    s_programs.push_back(p);
    return int(s_programs.size() - 1);
}

} // namespace

uint64_t shader_key(BatchKind kind) {
    const State& s = g_gl;
    uint64_t key = 0;
    if (s.lighting) {
        key |= kKeyLighting;
        if (s.normalize) key |= kKeyNormalize;
        key |= uint64_t(colour_material_bits()) << kKeyColourMaterialShift;
        if (s.front.shininess == 0.0f) key |= kKeyShininessZero;
        int count = 0;
        for (const Light& l : s.lights) {
            if (!l.enabled) continue;
            uint64_t kind_bits = 0;
            if (l.position[3] != 0.0f) kind_bits |= kLightPositional;
            if (l.spot_cutoff != 180.0f) kind_bits |= kLightSpot;
            if (l.attenuation[0] != 1.0f || l.attenuation[1] != 0.0f || l.attenuation[2] != 0.0f)
                kind_bits |= kLightAttenuated;
            key |= kind_bits << (kKeyLightShift + 3 * count);
            ++count;
        }
        key |= uint64_t(count) << kKeyLightCountShift;
    }
    if (s.fog) {
        const uint64_t mode = s.fog_mode == GL_LINEAR ? 1 : s.fog_mode == GL_EXP ? 2 : 3;
        key |= mode << kKeyFogShift;
    }
    if (s.shade_model == GL_FLAT) key |= kKeyFlat;
    if (kind == BatchKind::lines) key |= kKeyLines;
    return key;
}

int colour_material_bits() {
    const State& s = g_gl;
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

bool build_programs() {
    forget_programs(true);
    // The program of GL's initial state, and one with every part of the shaders in it, so that
    // a shader WebGL refuses shows now rather than as draws that never appear.
    uint64_t everything = kKeyLighting | kKeyNormalize | (uint64_t(3) << kKeyColourMaterialShift) |
                          (uint64_t(3) << kKeyFogShift) | kKeyLines |
                          (uint64_t(kMaxLights) << kKeyLightCountShift);
    for (int i = 0; i < kMaxLights; ++i)
        everything |= uint64_t(i % 8) << (kKeyLightShift + 3 * i);
    return find_or_build(shader_key(BatchKind::triangles)) >= 0 && find_or_build(everything) >= 0 &&
           find_or_build(everything | kKeyFlat) >= 0;
}

ProgramUniforms* use_program(uint64_t key) {
    const int i = find_or_build(key);
    if (i < 0) return nullptr;
    if (i != s_current) {
        emscripten_glUseProgram(s_programs[size_t(i)].id);
        s_current = i;
    }
    return &s_programs[size_t(i)].uniforms;
}

void forget_applied_uniforms() {
    for (Program& p : s_programs)
        p.uniforms.applied.transform = p.uniforms.applied.lights = p.uniforms.applied.material =
            p.uniforms.applied.fog = p.uniforms.applied.raster = kNoValues;
}

void forget_programs(bool delete_them) {
    if (delete_them)
        for (const Program& p : s_programs)
            emscripten_glDeleteProgram(p.id);
    s_programs.clear();
    s_current = -1;
}

} // namespace glw
