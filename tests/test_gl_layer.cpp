// The GL 1.1 layer of web/gl/ against Mesa's own fixed-function GL: each scene is drawn here
// through Mesa's GL on the headless backend, and through the layer over OpenGL ES 3 by a helper
// program (the layer defines glEnable and the rest itself, so it cannot share this process
// with libGL); the pictures must agree within the tolerances the web build is held to. The
// program's own frames are compared in test_gl_layer_frames.cpp.
#include "tests/support/gl_layer_pictures.h"
#include "tests/support/gl_scenes.h"
#include "render/render_image.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Every scene once, and the nested lists replayed: one run on each side for the whole suite.
const std::vector<std::string>& feature_steps() {
    static std::vector<std::string> steps;
    if (steps.empty()) {
        for (const std::string& name : gl_scene_names())
            if (name.compare(0, 8, "restore_") != 0) steps.push_back(name);
        steps.push_back("display_lists");
    }
    return steps;
}

struct Drawn {
    std::vector<RenderImage> mesa, layer;
};

const Drawn& drawn() {
    static Drawn d;
    static bool done = false;
    if (!done) {
        done = true;
        d.mesa = draw_gl_scenes(feature_steps());
        d.layer = layer_frames(GL_LAYER_SCENES, feature_steps());
    }
    return d;
}

// Share of pixels unlike the top left one: the scene drew something.
double drawn_share(const RenderImage& p) {
    size_t unlike = 0;
    for (size_t i = 0; i < p.rgba.size(); i += 4)
        unlike += std::abs(p.rgba[i] - p.rgba[0]) + std::abs(p.rgba[i + 1] - p.rgba[1]) +
                      std::abs(p.rgba[i + 2] - p.rgba[2]) >
                  24;
    return p.rgba.empty() ? 0 : double(unlike) / (p.rgba.size() / 4);
}

void expect_scene_matches(const std::string& name, int occurrence = 0) {
    const Drawn& d = drawn();
    const std::vector<std::string>& steps = feature_steps();
    ASSERT_EQ(d.mesa.size(), steps.size());
    ASSERT_EQ(d.layer.size(), steps.size()) << "the layer's helper failed";
    size_t at = steps.size();
    for (size_t i = 0, seen = 0; i < steps.size(); ++i)
        if (steps[i] == name && int(seen++) == occurrence) at = i;
    ASSERT_LT(at, steps.size());
    EXPECT_GT(drawn_share(d.mesa[at]), 0.05) << name << " draws next to nothing";
    const PictureDifference diff = report_difference(name, d.layer[at], d.mesa[at]);
    EXPECT_LE(diff.mean, kLayerMeanLimit) << name;
    EXPECT_LE(diff.over_16, kLayerOver16Limit) << name;
}

TEST(GlLayer, DirectionalLightsWithSpecular) {
    expect_scene_matches("directional_light");
}
TEST(GlLayer, PointLightWithAttenuation) {
    expect_scene_matches("point_light");
}
TEST(GlLayer, SpotLightCutoffAndExponent) {
    expect_scene_matches("spot_light");
}
TEST(GlLayer, ColourMaterial) {
    expect_scene_matches("colour_material");
}
TEST(GlLayer, LinearFog) {
    expect_scene_matches("linear_fog");
}
TEST(GlLayer, FlatAndSmoothShading) {
    expect_scene_matches("shading");
}
TEST(GlLayer, PointsAndWideLines) {
    expect_scene_matches("points_and_lines");
}
TEST(GlLayer, MatrixStacksAndPerspective) {
    expect_scene_matches("matrix_stacks");
}
TEST(GlLayer, NestedDisplayListsCompiledAndReplayed) {
    expect_scene_matches("display_lists", 0);
    expect_scene_matches("display_lists", 1);
}

// A lost context: the layer makes its programs and buffers anew in a new context from the
// state it kept (projection, lights, material, fog, lists), and the next frame, which sets
// none of it again, is drawn as before.
TEST(GlLayer, DrawsOnAfterTheContextIsReplaced) {
    const std::vector<std::string> steps = {"restore_setup", "restore_again"};
    const std::vector<RenderImage> mesa = draw_gl_scenes(steps);
    const std::vector<RenderImage> layer =
        layer_frames(GL_LAYER_SCENES, {"restore_setup", "lose-context", "restore_again"});
    ASSERT_EQ(mesa.size(), 2u);
    ASSERT_EQ(layer.size(), 2u) << "the layer's helper failed";
    EXPECT_GT(drawn_share(mesa[1]), 0.05);
    const PictureDifference same = report_difference("after restore", layer[1], layer[0]);
    EXPECT_LE(same.mean, 0.01);
    const PictureDifference d = report_difference("restored vs Mesa", layer[1], mesa[1]);
    EXPECT_LE(d.mean, kLayerMeanLimit);
    EXPECT_LE(d.over_16, kLayerOver16Limit);
}

} // namespace
