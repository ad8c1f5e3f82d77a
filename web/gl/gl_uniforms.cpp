// The uniform values a draw is done with, in groups (transform, lights, material, fog,
// rasterisation). A recorded draw keeps the groups the state changed since the draw before and
// points at the earlier values of the rest; the frame's submission uploads each group where it
// differs from what the draw's program holds (a program without some of the uniforms ignores
// their values: WebGL takes location -1 as none).
#include "web/gl/gl_internal.h"
#include "web/gl/gles_entry_points.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

namespace glw {

namespace {

struct TransformValues {
    float mvp[16];
    float modelview[16];
    float normal_matrix[9];
};

struct LightValues {
    int count; // the enabled lights, packed in order
    float ambient[kMaxLights][4];
    float diffuse[kMaxLights][4];
    float specular[kMaxLights][4];
    float position[kMaxLights][4];
    float half[kMaxLights][4];
    float spot[kMaxLights][4];
    float attenuation[kMaxLights][4];
    float model_ambient[4];
};

struct MaterialValues {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float emission[4];
    float shininess;
};

struct FogValues {
    float params[4];
    float colour[4];
};

struct RasterValues {
    float line_width;
    float viewport_half[2];
};

std::vector<TransformValues> s_transforms;
std::vector<LightValues> s_lights;
std::vector<MaterialValues> s_materials;
std::vector<FogValues> s_fogs;
std::vector<RasterValues> s_rasters;
UniformSet s_last; // the groups of the frame's latest draw

void normalize3(float* v) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    const float k = length > 0.0f ? 1.0f / length : 0.0f;
    for (int i = 0; i < 3; ++i)
        v[i] *= k;
}

TransformValues transform_values(const State& s) {
    TransformValues v;
    const float* mv = s.modelview[s.modelview_top];
    std::memcpy(v.mvp, s.projection[s.projection_top], sizeof v.mvp);
    multiply(v.mvp, mv);
    std::memcpy(v.modelview, mv, sizeof v.modelview);
    normal_matrix(mv, v.normal_matrix);
    return v;
}

LightValues light_values(const State& s) {
    LightValues v = {};
    int n = 0;
    for (const Light& l : s.lights) {
        if (!l.enabled) continue;
        std::memcpy(v.ambient[n], l.ambient, sizeof v.ambient[n]);
        std::memcpy(v.diffuse[n], l.diffuse, sizeof v.diffuse[n]);
        std::memcpy(v.specular[n], l.specular, sizeof v.specular[n]);
        std::memcpy(v.position[n], l.position, sizeof v.position[n]);
        if (l.position[3] == 0.0f) {
            // A directional light: its unit direction, and the half vector with the infinite
            // viewer's (0, 0, 1), both computed once, as Mesa does.
            normalize3(v.position[n]);
            for (int i = 0; i < 3; ++i)
                v.half[n][i] = v.position[n][i];
            v.half[n][2] += 1.0f;
            normalize3(v.half[n]);
        }
        // The spot direction is taken as a unit vector, with the cutoff's cosine beside it.
        for (int i = 0; i < 3; ++i)
            v.spot[n][i] = l.spot_direction[i];
        normalize3(v.spot[n]);
        v.spot[n][3] = float(std::cos(double(l.spot_cutoff) * M_PI / 180.0));
        for (int i = 0; i < 3; ++i)
            v.attenuation[n][i] = l.attenuation[i];
        v.attenuation[n][3] = l.spot_exponent;
        ++n;
    }
    v.count = n;
    std::memcpy(v.model_ambient, s.model_ambient, sizeof v.model_ambient);
    return v;
}

MaterialValues material_values(const State& s) {
    MaterialValues v;
    std::memcpy(v.ambient, s.front.ambient, sizeof v.ambient);
    std::memcpy(v.diffuse, s.front.diffuse, sizeof v.diffuse);
    std::memcpy(v.specular, s.front.specular, sizeof v.specular);
    std::memcpy(v.emission, s.front.emission, sizeof v.emission);
    v.shininess = s.front.shininess;
    return v;
}

FogValues fog_values(const State& s) {
    FogValues v;
    // GL's fog factors, rearranged as Mesa evaluates them: (end - z) / (end - start) as a
    // multiply-add, e^x as 2^(x / ln 2).
    const float n = s.fog_end == s.fog_start ? 1.0f : float(1.0 / (s.fog_end - s.fog_start));
    v.params[0] = -n;
    v.params[1] = s.fog_end * n;
    v.params[2] = float(s.fog_density * M_LOG2E);
    v.params[3] = float(s.fog_density / std::sqrt(M_LN2));
    std::memcpy(v.colour, s.fog_colour, sizeof v.colour);
    return v;
}

RasterValues raster_values(const State& s) {
    RasterValues v;
    // Aliased lines are as wide as the width rounded, and at least a pixel.
    const float width = std::floor(s.line_width + 0.5f);
    v.line_width = width < 1.0f ? 1.0f : width;
    v.viewport_half[0] = 0.5f * float(s.viewport[2]);
    v.viewport_half[1] = 0.5f * float(s.viewport[3]);
    return v;
}

void apply(const ProgramUniforms& u, const TransformValues& v) {
    emscripten_glUniformMatrix4fv(u.mvp, 1, GL_FALSE, v.mvp);
    emscripten_glUniformMatrix4fv(u.modelview, 1, GL_FALSE, v.modelview);
    emscripten_glUniformMatrix3fv(u.normal_matrix, 1, GL_FALSE, v.normal_matrix);
}

void apply(const ProgramUniforms& u, const LightValues& v) {
    if (v.count > 0) {
        emscripten_glUniform4fv(u.light_ambient, v.count, v.ambient[0]);
        emscripten_glUniform4fv(u.light_diffuse, v.count, v.diffuse[0]);
        emscripten_glUniform4fv(u.light_specular, v.count, v.specular[0]);
        emscripten_glUniform4fv(u.light_position, v.count, v.position[0]);
        emscripten_glUniform4fv(u.light_half, v.count, v.half[0]);
        emscripten_glUniform4fv(u.light_spot, v.count, v.spot[0]);
        emscripten_glUniform4fv(u.light_attenuation, v.count, v.attenuation[0]);
    }
    emscripten_glUniform4fv(u.model_ambient, 1, v.model_ambient);
}

void apply(const ProgramUniforms& u, const MaterialValues& v) {
    emscripten_glUniform4fv(u.material_ambient, 1, v.ambient);
    emscripten_glUniform4fv(u.material_diffuse, 1, v.diffuse);
    emscripten_glUniform4fv(u.material_specular, 1, v.specular);
    emscripten_glUniform4fv(u.material_emission, 1, v.emission);
    emscripten_glUniform1f(u.shininess, v.shininess);
}

void apply(const ProgramUniforms& u, const FogValues& v) {
    emscripten_glUniform4fv(u.fog, 1, v.params);
    emscripten_glUniform4fv(u.fog_colour, 1, v.colour);
}

void apply(const ProgramUniforms& u, const RasterValues& v) {
    emscripten_glUniform1f(u.line_width, v.line_width);
    emscripten_glUniform2fv(u.viewport_half, 1, v.viewport_half);
}

template <typename T> uint32_t keep(std::vector<T>& pool, const T& values) {
    pool.push_back(values);
    return uint32_t(pool.size() - 1);
}

template <typename T>
void apply_if_changed(const ProgramUniforms& u, const std::vector<T>& pool, uint32_t index,
                      uint32_t& applied) {
    if (index == applied || index >= pool.size()) return;
    apply(u, pool[index]);
    applied = index;
}

} // namespace

UniformSet record_uniforms(BatchKind kind) {
    State& s = g_gl;
    if (s.dirty & kDirtyTransform) s_last.transform = keep(s_transforms, transform_values(s));
    if (s.dirty & kDirtyLights) s_last.lights = keep(s_lights, light_values(s));
    if (s.dirty & kDirtyMaterial) s_last.material = keep(s_materials, material_values(s));
    if (s.dirty & kDirtyFog) s_last.fog = keep(s_fogs, fog_values(s));
    if (s.dirty & kDirtyRaster) s_last.raster = keep(s_rasters, raster_values(s));
    s.dirty = 0;
    s_last.shader = shader_key(kind);
    return s_last;
}

bool apply_uniforms(const UniformSet& set) {
    ProgramUniforms* u = use_program(set.shader);
    if (!u) return false;
    apply_if_changed(*u, s_transforms, set.transform, u->applied.transform);
    apply_if_changed(*u, s_lights, set.lights, u->applied.lights);
    apply_if_changed(*u, s_materials, set.material, u->applied.material);
    apply_if_changed(*u, s_fogs, set.fog, u->applied.fog);
    apply_if_changed(*u, s_rasters, set.raster, u->applied.raster);
    return true;
}

void forget_recorded_uniforms() {
    s_transforms.clear();
    s_lights.clear();
    s_materials.clear();
    s_fogs.clear();
    s_rasters.clear();
    forget_applied_uniforms();
    // The next frame keeps its values anew, from the whole state.
    g_gl.dirty = kDirtyAll;
}

} // namespace glw
