// The scene's drawing routines: which models, in what order, where, and in what state.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <new>
#include <string>
#include <vector>

#include "app/main.h"
#include "app/scene.h"
#include "app/timeline.h"
#include "mesh/catalogue.h"
#include "spring/spring.h"
#include "tests/support/app_model_draws.h"
#include "tests/support/app_tk_stub.h"
#include "tests/support/gl_recorder.h"

namespace {

using Names = std::vector<std::string>;

const double k_eps = 1e-5;

// The length of the image of local axis `axis` (0 x, 1 y, 2 z) under m.
double axis_length(const glrec::Mat4& m, int axis) {
    return std::sqrt(m[axis * 4] * m[axis * 4] + m[axis * 4 + 1] * m[axis * 4 + 1] +
                     m[axis * 4 + 2] * m[axis * 4 + 2]);
}

// How much m stretches the scene's axis `axis`: the length of that row of its linear part.
double row_length(const glrec::Mat4& m, int axis) {
    return std::sqrt(m[axis] * m[axis] + m[4 + axis] * m[4 + axis] + m[8 + axis] * m[8 + axis]);
}

// The direction of local axis `axis` under m, as a unit vector.
glrec::Vec3 direction(const glrec::Mat4& m, int axis) {
    double l = axis_length(m, axis);
    return glrec::Vec3{m[axis * 4] / l, m[axis * 4 + 1] / l, m[axis * 4 + 2] / l};
}

glrec::Vec3 origin(const glrec::Mat4& m) {
    return glrec::apply(m, 0, 0, 0);
}

::testing::AssertionResult near(const glrec::Vec3& got, double x, double y, double z,
                                double eps = k_eps) {
    if (std::fabs(got.x - x) <= eps && std::fabs(got.y - y) <= eps && std::fabs(got.z - z) <= eps)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << got.x << ", " << got.y << ", " << got.z
                                         << ") is not (" << x << ", " << y << ", " << z << ")";
}

// The last logged call named `name` before log index `before` whose leading arguments are
// `lead`; null when there is none.
const glrec::Call* last_before(const std::string& name, size_t before,
                               std::vector<double> lead = {}) {
    const std::vector<glrec::Call>& log = glrec::calls();
    for (size_t i = std::min(before, log.size()); i-- > 0;) {
        if (log[i].name != name || log[i].args.size() < lead.size()) continue;
        if (std::equal(lead.begin(), lead.end(), log[i].args.begin())) return &log[i];
    }
    return nullptr;
}

double shininess_at(size_t index) {
    const glrec::Call* c = last_before("glMaterialf", index, {GL_FRONT, GL_SHININESS});
    return c ? c->args[2] : 128.0; // as the render state left it
}

std::vector<double> colour_at(size_t index) {
    const glrec::Call* c = last_before("glColor3f", index);
    return c ? c->args : std::vector<double>{};
}

std::vector<double> specular_at(size_t index) {
    const glrec::Call* c = last_before("glMaterialfv", index, {GL_FRONT, GL_SPECULAR});
    return c ? std::vector<double>(c->args.begin() + 2, c->args.end())
             : std::vector<double>{1, 1, 1, 1}; // as the render state left it
}

// Whether `cap` was enabled at log index `index`, from the enables and disables before it,
// starting from `initially`.
bool enabled_at(GLenum cap, size_t index, bool initially) {
    const glrec::Call* on = nullptr;
    const std::vector<glrec::Call>& log = glrec::calls();
    for (size_t i = 0; i < index && i < log.size(); ++i)
        if ((log[i].name == "glEnable" || log[i].name == "glDisable") && log[i].args[0] == cap)
            on = &log[i];
    return on ? on->name == "glEnable" : initially;
}

std::vector<double> scales(const std::vector<ModelDraw>& draws) {
    std::vector<double> out;
    for (const ModelDraw& d : draws)
        out.push_back(d.scale);
    return out;
}

std::vector<double> floats(std::initializer_list<float> v) {
    return std::vector<double>(v.begin(), v.end());
}

class Scene : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        glrec::reset();
        init_render_state(); // the four flat-shaded models
        ASSERT_TRUE(learn_model_signatures()) << "two models draw the same calls";
    }

    // The state a frame is in when it calls the scene's routines: the render state, lighting
    // on, identity modelview so that recorded positions are scene coordinates.
    void SetUp() override {
        g_use_variant2 = 1;
        g_jaw_angle = -60.0f;
        g_stone_visible = 0;
        g_stone_drop = 0.0;
        glrec::reset();
        init_render_state();
        glEnable(GL_LIGHTING);
        glrec::State s = glrec::state();
        glrec::reset();
        glrec::state() = s;
        tkstub::reset();
    }
    void TearDown() override {
        g_use_variant2 = 1;
        g_jaw_angle = -60.0f;
        g_stone_visible = 0;
        g_stone_drop = 0.0;
    }

    static void fresh_spring() {
        g_spring.~Spring();
        new (&g_spring) Spring(12, 4.0f, 0.5f, 0.5f);
    }

    // What each routine must leave as it found it.
    static void expect_state_restored() {
        EXPECT_EQ(glrec::state().modelview_stack.size(), 1u);
        EXPECT_EQ(glrec::current_modelview(), glrec::identity());
        EXPECT_EQ(glrec::state().shininess, 128.0);
        EXPECT_EQ(glrec::state().specular, (std::array<double, 4>{{1, 1, 1, 1}}));
        EXPECT_TRUE(glrec::is_enabled(GL_LIGHTING));
        EXPECT_TRUE(glrec::is_enabled(GL_FOG));
        EXPECT_FALSE(glrec::is_enabled(GL_LIGHT2));
        EXPECT_EQ(glrec::state().begin_depth, 0);
    }
};

} // namespace

// ---- scenery ------------------------------------------------------------------------------

TEST_F(Scene, SceneryDrawsTheSecondVariantsAtStartUp) {
    draw_scenery();
    std::vector<ModelDraw> d = model_draws();
    EXPECT_EQ(drawn_models(d),
              (Names{"g_suelo1", "g_suelo1", "g_suelo2", "g_cilindr2", "g_pivote2", "g_contene2",
                     "g_camion3", "g_camion3", "g_camion3", "g_camion3", "g_camion3"}));
    EXPECT_EQ(scales(d), floats({10, 20, 20, 30, 5, 20, 10, 10, 2, 2.5f, 1.5f}));
}

TEST_F(Scene, SceneryDrawsTheFirstVariantsAfterKeyP) {
    g_use_variant2 = 0;
    draw_scenery();
    EXPECT_EQ(drawn_models(model_draws()),
              (Names{"g_suelo1", "g_suelo1", "g_suelo1", "g_cilindr1", "g_pivote1", "g_contene1",
                     "g_camion3", "g_camion3", "g_camion3", "g_camion3", "g_camion3"}));
}

TEST_F(Scene, GroundStripsLieSideBySideAroundZMinus35StretchedAlongZ) {
    draw_scenery();
    std::vector<ModelDraw> d = model_draws();
    ASSERT_GE(d.size(), 3u);
    const double xs[] = {0, -15, 15}, stretch[] = {10, 5, 5};
    const std::vector<double> colours[] = {floats({0.1f, 0.1f, 0.1f}), floats({0.3f, 0.1f, 0}),
                                           floats({0.3f, 0.3f, 0.3f})};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(near(origin(d[i].modelview), xs[i], 0, -35)) << "strip " << i;
        EXPECT_NEAR(axis_length(d[i].modelview, 0), 1.0, k_eps);
        EXPECT_NEAR(axis_length(d[i].modelview, 1), 1.0, k_eps);
        EXPECT_NEAR(axis_length(d[i].modelview, 2), stretch[i], k_eps);
        EXPECT_EQ(colour_at(d[i].first_call), colours[i]) << "strip " << i;
    }
    EXPECT_EQ(shininess_at(d[0].first_call), 128.0);
    EXPECT_EQ(shininess_at(d[1].first_call), 128.0);
    EXPECT_EQ(shininess_at(d[2].first_call), 2.0);
}

TEST_F(Scene, BarsLieAtXMinus5AndPlus5UnstretchedAroundZMinus35) {
    draw_scenery();
    std::vector<tkstub::Call> boxes = tkstub::named("tk_solid_box");
    ASSERT_EQ(boxes.size(), 2u);
    const double xs[] = {-5, 5};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(boxes[i].args, (std::vector<double>{0.5, 0.5, 100.0}));
        EXPECT_TRUE(near(origin(boxes[i].modelview), xs[i], 0, -35)) << "bar " << i;
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_NEAR(axis_length(boxes[i].modelview, axis), 1.0, k_eps);
        EXPECT_EQ(colour_at(boxes[i].gl_calls_before), floats({0.7f, 0.7f, 0.7f}));
        EXPECT_EQ(shininess_at(boxes[i].gl_calls_before), 128.0);
    }
}

TEST_F(Scene, TowerAndFootingStandAtTheSceneOriginAndTheContainerBeside) {
    draw_scenery();
    std::vector<ModelDraw> d = model_draws();
    ASSERT_GE(d.size(), 6u);
    EXPECT_TRUE(near(origin(d[3].modelview), 0, 0, 0)); // the tower, upright
    EXPECT_TRUE(near(direction(d[3].modelview, 1), 0, 1, 0));
    EXPECT_EQ(colour_at(d[3].first_call), floats({0.5f, 0.5f, 0.5f}));
    EXPECT_TRUE(near(origin(d[4].modelview), 0, 0, 0)); // the footing, its +z up
    EXPECT_TRUE(near(direction(d[4].modelview, 2), 0, 1, 0));
    EXPECT_TRUE(near(origin(d[5].modelview), -15, 3, 0)); // the container
    EXPECT_EQ(colour_at(d[5].first_call), floats({1, 0.5f, 0}));
    // Turned so that its local +y runs along the scene's +x and its local +z points up.
    EXPECT_TRUE(near(direction(d[5].modelview, 1), 1, 0, 0));
    EXPECT_TRUE(near(direction(d[5].modelview, 2), 0, 1, 0));
    for (int axis = 0; axis < 3; ++axis)
        EXPECT_NEAR(axis_length(d[5].modelview, axis), 1, k_eps);
}

TEST_F(Scene, FiveUnlitObjectsHangHighUpFlattenedToATenthAlongZ) {
    draw_scenery();
    std::vector<ModelDraw> d = model_draws();
    ASSERT_EQ(d.size(), 11u);
    const double at[5][3] = {
        {-45, 40, -50}, {-40, 40, -49.95}, {20, 50, -49.95}, {50, 60, -49.95}, {55, 40, -49.95}};
    const std::vector<double> colours[] = {floats({1, 1, 1}), floats({0, 0, 0}),
                                           floats({0.7f, 0.7f, 0.8f}), floats({0.7f, 0.7f, 0.8f}),
                                           floats({0.7f, 0.7f, 0.8f})};
    for (int i = 0; i < 5; ++i) {
        const ModelDraw& o = d[6 + i];
        EXPECT_TRUE(near(origin(o.modelview), at[i][0], at[i][1], at[i][2])) << "object " << i;
        EXPECT_NEAR(row_length(o.modelview, 0), 1.0, k_eps);
        EXPECT_NEAR(row_length(o.modelview, 1), 1.0, k_eps);
        EXPECT_NEAR(row_length(o.modelview, 2), 0.1, k_eps);
        EXPECT_EQ(colour_at(o.first_call), colours[i]) << "object " << i;
        EXPECT_FALSE(enabled_at(GL_LIGHTING, o.first_call, true)) << "object " << i;
        EXPECT_FALSE(enabled_at(GL_FOG, o.first_call, true)) << "object " << i;
    }
    // The first six are lit and fogged.
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(enabled_at(GL_LIGHTING, d[i].first_call, true));
        EXPECT_TRUE(enabled_at(GL_FOG, d[i].first_call, true));
    }
}

TEST_F(Scene, SceneryTurnsFogOffBeforeLightingAndLightingOnBeforeFog) {
    draw_scenery();
    std::vector<double> order;
    for (const glrec::Call& c : glrec::calls())
        if (c.name == "glEnable" || c.name == "glDisable")
            order.push_back((c.name == "glEnable" ? 1 : -1) * double(c.args[0]));
    EXPECT_EQ(order, (std::vector<double>{-double(GL_FOG), -double(GL_LIGHTING),
                                          double(GL_LIGHTING), double(GL_FOG)}));
}

TEST_F(Scene, SceneryLeavesTheStateAsItFoundIt) {
    draw_scenery();
    expect_state_restored();
}

// ---- crane --------------------------------------------------------------------------------

TEST_F(Scene, CraneDrawsBodyPivotAndFourJawsOfTheChosenVariant) {
    fresh_spring();
    draw_crane();
    std::vector<ModelDraw> d = model_draws();
    EXPECT_EQ(drawn_models(d),
              (Names{"g_grua2", "g_pivote2", "g_pinza2", "g_pinza2", "g_pinza2", "g_pinza2"}));
    EXPECT_EQ(scales(d), floats({25, 1, 1, 1, 1, 1}));
    glrec::reset();
    g_use_variant2 = 0;
    draw_crane();
    EXPECT_EQ(drawn_models(model_draws()),
              (Names{"g_grua1", "g_pivote1", "g_pinza1", "g_pinza1", "g_pinza1", "g_pinza1"}));
}

TEST_F(Scene, CraneBodySitsAt25AndTheSpringHangsFromTheJibInLinesOfWidthTwo) {
    fresh_spring();
    draw_crane();
    std::vector<ModelDraw> d = model_draws();
    ASSERT_GE(d.size(), 1u);
    EXPECT_TRUE(near(origin(d[0].modelview), 0, 25, 0));
    EXPECT_EQ(colour_at(d[0].first_call), floats({0.6f, 0.6f, 0.6f}));
    std::vector<glrec::Call> strips;
    size_t strip_index = 0;
    for (size_t i = 0; i < glrec::calls().size(); ++i)
        if (glrec::calls()[i].name == "glBegin" && glrec::calls()[i].args[0] == GL_LINE_STRIP) {
            strips.push_back(glrec::calls()[i]);
            strip_index = i;
        }
    ASSERT_EQ(strips.size(), 1u);
    EXPECT_EQ(colour_at(strip_index), floats({0.5f, 0.5f, 0.4f}));
    const glrec::Call* width = last_before("glLineWidth", strip_index);
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(width->args[0], 2.0);
    EXPECT_EQ(glrec::state().line_width, 2.0);
    EXPECT_EQ(g_spring.scale, 2.0f);
}

TEST_F(Scene, PivotHangsAtTheSpringsEndPointingDownAtThreeTimesScale) {
    fresh_spring(); // at rest: the end is (1, -8, 0) below the hook point (15, 25, 0)
    draw_crane();
    std::vector<ModelDraw> d = model_draws();
    ASSERT_GE(d.size(), 2u);
    const glrec::Mat4& pivot = d[1].modelview;
    EXPECT_TRUE(near(origin(pivot), 16, 17, 0));
    EXPECT_TRUE(near(direction(pivot, 2), 0, -1, 0));
    EXPECT_NEAR(axis_length(pivot, 2), 3.0, k_eps);
    EXPECT_EQ(colour_at(d[1].first_call), floats({0.6f, 0.5f, 0.5f}));
    EXPECT_EQ(shininess_at(d[1].first_call), 8.0);
}

TEST_F(Scene, FourJawsStandAQuarterTurnApartTiltedByTheJawAngle) {
    fresh_spring();
    g_jaw_angle = -15.0f;
    draw_crane();
    std::vector<ModelDraw> d = model_draws();
    ASSERT_EQ(d.size(), 6u);
    const glrec::Mat4& pivot = d[1].modelview;
    double a = -15.0 * M_PI / 180.0, s = std::sin(a), c = std::cos(a);
    const double finger[4][3] = {{s, 0, c}, {0, s, c}, {-s, 0, c}, {0, -s, c}};
    for (int j = 0; j < 4; ++j) {
        const glrec::Mat4& jaw = d[2 + j].modelview;
        // 0.4 below the pivot, in the pivot's units.
        EXPECT_TRUE(near(glrec::in_frame(pivot, jaw, 0, 0, 0), 0, 0, 0.4)) << "jaw " << j;
        glrec::Vec3 tip = glrec::in_frame(pivot, jaw, 0, 0, 1);
        EXPECT_TRUE(
            near(glrec::Vec3{tip.x, tip.y, tip.z - 0.4}, finger[j][0], finger[j][1], finger[j][2]))
            << "jaw " << j;
        EXPECT_EQ(colour_at(d[2 + j].first_call), floats({0.6f, 0.5f, 0.5f}));
    }
}

TEST_F(Scene, NoStoneWhileItIsNotHeldAndTheShininessStays128) {
    fresh_spring();
    draw_crane();
    std::vector<double> shine;
    for (const glrec::Call& c : glrec::named("glMaterialf"))
        shine.push_back(c.args[2]);
    EXPECT_EQ(shine, (std::vector<double>{8, 128}));
    for (const ModelDraw& m : model_draws())
        EXPECT_NE(m.model, "g_piedra1");
    expect_state_restored();
}

TEST_F(Scene, StoneHangsBelowTheJawsByItsDrop) {
    fresh_spring();
    g_stone_visible = 1;
    g_stone_drop = 2.0;
    draw_crane();
    std::vector<ModelDraw> d = model_draws();
    ASSERT_EQ(d.size(), 7u);
    EXPECT_EQ(d[6].model, "g_piedra1");
    EXPECT_NEAR(d[6].scale, 0.7, 1e-7);
    EXPECT_TRUE(
        near(glrec::in_frame(d[1].modelview, d[6].modelview, 0, 0, 0), 0, 0, 0.4 + 0.7 + 2.0));
    EXPECT_EQ(colour_at(d[6].first_call), floats({0.9f, 0.1f, 0.1f}));
    EXPECT_EQ(shininess_at(d[6].first_call), 12.0);
    std::vector<double> shine;
    for (const glrec::Call& c : glrec::named("glMaterialf"))
        shine.push_back(c.args[2]);
    EXPECT_EQ(shine, (std::vector<double>{8, 128, 12, 128}));
    expect_state_restored();
}

TEST_F(Scene, EveryCraneDrawAdvancesTheSpringOneStep) {
    fresh_spring();
    g_spring.release(-2.0f);
    draw_crane();
    EXPECT_NEAR(g_spring.length, 3.9465f, 1e-4f);
    float after_one = g_spring.length;
    draw_crane();
    EXPECT_LT(g_spring.length, after_one);
    size_t strips = 0;
    for (const glrec::Call& c : glrec::named("glBegin"))
        strips += c.args[0] == GL_LINE_STRIP;
    EXPECT_EQ(strips, 2u);
    fresh_spring();
}

TEST_F(Scene, CraneLeavesTheStateAsItFoundIt) {
    fresh_spring();
    draw_crane();
    expect_state_restored();
}

// ---- truck --------------------------------------------------------------------------------

TEST_F(Scene, TruckDrawsChassisCabTwoHeadlampsAndFourWheels) {
    draw_truck();
    std::vector<ModelDraw> d = model_draws();
    EXPECT_EQ(drawn_models(d), (Names{"g_camion1", "g_camion2p", "g_camion3", "g_camion3",
                                      "g_camion3", "g_camion3", "g_camion3", "g_camion3"}));
    EXPECT_EQ(scales(d), floats({11, 6.5f, 1, 1, 3, 3, 3, 3}));
    glrec::reset();
    g_use_variant2 = 0;
    draw_truck();
    EXPECT_EQ(drawn_models(model_draws())[1], "g_camion2");
}

TEST_F(Scene, TruckFrameIsShiftedAlongXAndTheChassisIsBlue) {
    draw_truck();
    std::vector<ModelDraw> d = model_draws();
    ASSERT_GE(d.size(), 2u);
    EXPECT_TRUE(near(origin(d[0].modelview), 15.5, -0.5, 0));
    EXPECT_EQ(colour_at(d[0].first_call), floats({0.1f, 0, 0.7f}));
    EXPECT_EQ(d[1].modelview, d[0].modelview);
    EXPECT_EQ(colour_at(d[1].first_call), floats({0.7f, 0.7f, 0.7f}));
    EXPECT_EQ(shininess_at(d[0].first_call), 44.0);
    EXPECT_EQ(specular_at(d[0].first_call), (std::vector<double>{0, 0, 0, 1}));
}

TEST_F(Scene, LightTwoIsOnOnlyAroundTheCab) {
    draw_truck();
    std::vector<ModelDraw> d = model_draws();
    ASSERT_EQ(d.size(), 8u);
    for (size_t i = 0; i < d.size(); ++i)
        EXPECT_EQ(enabled_at(GL_LIGHT2, d[i].first_call, false), i == 1) << d[i].model << " " << i;
    const glrec::Call* on = last_before("glEnable", d[1].first_call, {GL_LIGHT2});
    ASSERT_NE(on, nullptr);
    EXPECT_GT(on - glrec::calls().data(), std::ptrdiff_t(d[0].last_call));
    // Placed in the truck frame, at (0, 7, 10).
    const std::array<double, 4>& p = glrec::state().lights[2].position_eye;
    EXPECT_TRUE(near(glrec::Vec3{p[0], p[1], p[2]}, 15.5, 6.5, 10));
    EXPECT_EQ(p[3], 1.0);
}

TEST_F(Scene, HeadlampsAreUnlitYellowAtTheFrontAndCarryLightsThreeAndFour) {
    draw_truck();
    std::vector<ModelDraw> d = model_draws();
    ASSERT_EQ(d.size(), 8u);
    const glrec::Mat4& truck = d[0].modelview;
    EXPECT_TRUE(near(glrec::in_frame(truck, d[2].modelview, 0, 0, 0), 2.7, 2.5, 10.5));
    EXPECT_TRUE(near(glrec::in_frame(truck, d[3].modelview, 0, 0, 0), -1.8, 2.5, 10.5));
    for (int i = 2; i < 4; ++i) {
        EXPECT_EQ(colour_at(d[i].first_call), floats({1, 1, 0}));
        EXPECT_FALSE(enabled_at(GL_LIGHTING, d[i].first_call, true));
        EXPECT_FALSE(enabled_at(GL_FOG, d[i].first_call, true));
    }
    const std::array<double, 4>& l3 = glrec::state().lights[3].position_eye;
    const std::array<double, 4>& l4 = glrec::state().lights[4].position_eye;
    glrec::Vec3 second = origin(d[3].modelview), first = origin(d[2].modelview);
    EXPECT_TRUE(near(glrec::Vec3{l3[0], l3[1], l3[2]}, second.x, second.y, second.z));
    EXPECT_TRUE(near(glrec::Vec3{l4[0], l4[1], l4[2]}, first.x, first.y, first.z));
    EXPECT_EQ(l3[3], 1.0);
    EXPECT_EQ(l4[3], 1.0);
}

TEST_F(Scene, WheelsAreBlackAtTheirFourPointsOfTheTruckFrame) {
    draw_truck();
    std::vector<ModelDraw> d = model_draws();
    ASSERT_EQ(d.size(), 8u);
    const double at[4][3] = {{-3, 1.85, -2.5}, {-3, 1.85, 7.5}, {3, 1.85, 7.5}, {3, 1.85, -2.5}};
    for (int w = 0; w < 4; ++w) {
        const ModelDraw& wheel = d[4 + w];
        EXPECT_TRUE(near(glrec::in_frame(d[0].modelview, wheel.modelview, 0, 0, 0), at[w][0],
                         at[w][1], at[w][2]))
            << "wheel " << w;
        EXPECT_EQ(colour_at(wheel.first_call), floats({0, 0, 0}));
        EXPECT_EQ(specular_at(wheel.first_call), (std::vector<double>{0, 0, 0, 1}));
        EXPECT_TRUE(enabled_at(GL_LIGHTING, wheel.first_call, true));
        EXPECT_TRUE(enabled_at(GL_FOG, wheel.first_call, true));
    }
}

TEST_F(Scene, TruckLeavesTheStateAsItFoundIt) {
    draw_truck();
    expect_state_restored();
}

TEST_F(Scene, PointsModeChangesOnlyHowModelsAreDrawn) {
    fresh_spring();
    draw_crane();
    draw_truck();
    std::vector<glrec::Call> before = glrec::named("glTranslatef");
    size_t boxes = 0;
    glrec::reset();
    toggle_points_mode();
    fresh_spring();
    draw_crane();
    draw_truck();
    draw_scenery();
    toggle_points_mode();
    std::vector<glrec::Call> after = glrec::named("glTranslatef");
    after.resize(before.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i].args, before[i].args);
    size_t point_blocks = 0;
    for (const glrec::Call& c : glrec::named("glBegin"))
        point_blocks += c.args[0] == GL_POINTS;
    EXPECT_EQ(point_blocks, 6u + 8u + 11u); // every model draw, but not the spring
    boxes = tkstub::named("tk_solid_box").size();
    EXPECT_EQ(boxes, 2u);
    fresh_spring();
}
