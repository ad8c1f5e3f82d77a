// Start-up, render state, key handlers, resize and the idle callback's clock and report.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <ctime>
#include <string>
#include <vector>

#include "app/main.h"
#include "app/timeline.h"
#include "mesh/catalogue.h"
#include "spring/spring.h"
#include "tests/support/app_stdout_capture.h"
#include "tests/support/app_tk_stub.h"
#include "tests/support/gl_recorder.h"

namespace {

// Whether `text` is exactly one report "\n<rate>\tFrames por segundo.\tTiempo: <frame>" with
// the rate given to two decimals; stores the rate.
bool parse_report(const std::string& text, double* rate, int frame) {
    if (text.size() < 2 || text[0] != '\n') return false;
    size_t point = text.find('.');
    if (point == std::string::npos || point < 2 || point + 3 > text.size()) return false;
    for (size_t i = 1; i < point + 3; ++i)
        if (i != point && (text[i] < '0' || text[i] > '9')) return false;
    *rate = std::stod(text.substr(1, point + 2));
    return text.substr(point + 3) == "\tFrames por segundo.\tTiempo: " + std::to_string(frame);
}

} // namespace

TEST(LiftStep, IsElevenSeventyFifthsOfTheSpringsRestLengthInSinglePrecision) {
    EXPECT_EQ(g_lift_step, float(11.0 / 75.0));
    EXPECT_NEAR(g_lift_step, 0.14666666f, 1e-8f);
    // Derived from the spring: a different rest length gives a different step.
    float kept = g_spring.length;
    g_spring.length = 6.0f;
    init_lift_step();
    EXPECT_EQ(g_lift_step, float(9.0 / 75.0));
    g_spring.length = kept;
    init_lift_step();
    EXPECT_EQ(g_lift_step, float(11.0 / 75.0));
}

// The state the scene is drawn in: what the GL answers afterwards, whatever the order of the
// calls that set it.
TEST(RenderState, LeavesTheSceneLitFoggedAndCulled) {
    glrec::reset();
    init_render_state();
    for (GLenum cap : {GL_DEPTH_TEST, GL_CULL_FACE, GL_NORMALIZE, GL_COLOR_MATERIAL, GL_BLEND,
                       GL_FOG, GL_LIGHT0, GL_LIGHT1, GL_LIGHT3, GL_LIGHT4})
        EXPECT_TRUE(glIsEnabled(cap)) << "capability 0x" << std::hex << cap;
    // The scene switches lighting on as it draws; the truck's own light only around the cab.
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));

    auto integer = [](GLenum name) {
        GLint v = -1;
        glGetIntegerv(name, &v);
        return GLenum(v);
    };
    EXPECT_EQ(integer(GL_FRONT_FACE), GLenum(GL_CCW)); // with back faces culled
    EXPECT_EQ(integer(GL_SHADE_MODEL), GLenum(GL_SMOOTH));
    EXPECT_EQ(integer(GL_FOG_MODE), GLenum(GL_EXP));
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_PARAMETER), GLenum(GL_AMBIENT_AND_DIFFUSE));
    EXPECT_EQ(integer(GL_BLEND_SRC), GLenum(GL_SRC_ALPHA));
    EXPECT_EQ(integer(GL_BLEND_DST), GLenum(GL_ONE_MINUS_SRC_ALPHA));
    GLfloat density = 0;
    glGetFloatv(GL_FOG_DENSITY, &density);
    EXPECT_EQ(density, 0.013f);

    // Black fog over a black background, white highlights.
    const glrec::State& gl = glrec::state();
    const std::array<double, 4> black{{0, 0, 0, 1}}, white{{1, 1, 1, 1}};
    EXPECT_EQ(gl.fog_colour, black);
    EXPECT_EQ(gl.clear_colour, black);
    EXPECT_EQ(gl.specular, white);
    EXPECT_EQ(gl.shininess, 128);
    // The headlamps: yellowish spots of 80 degrees, looking ahead and a little down.
    for (int i : {3, 4}) {
        const auto& p = gl.lights[i].params;
        EXPECT_EQ(p.at(GL_DIFFUSE), (std::vector<double>{1, 1, 0.5, 1}));
        EXPECT_EQ(p.at(GL_SPOT_CUTOFF), std::vector<double>{80});
        EXPECT_EQ(p.at(GL_SPOT_DIRECTION), (std::vector<double>{0, double(-0.3f), 1}));
    }
}

TEST(RenderState, DrawsFourModelsWithFaceNormalsAndTheRestSmooth) {
    glrec::reset();
    init_render_state();
    EXPECT_EQ(g_camion1.smooth_normals, 0);
    EXPECT_EQ(g_camion2.smooth_normals, 0);
    EXPECT_EQ(g_contene1.smooth_normals, 0);
    EXPECT_EQ(g_piedra1.smooth_normals, 0);
    for (AscModel* m : {&g_grua1, &g_grua2, &g_pinza1, &g_pinza2, &g_pivote1, &g_pivote2, &g_suelo1,
                        &g_suelo2, &g_cilindr1, &g_cilindr2, &g_contene2, &g_camion2p, &g_camion3})
        EXPECT_EQ(m->smooth_normals, 1) << m->file_name;
}

TEST(KeyP, FlipsTheVariantFlagAndBack) {
    ASSERT_EQ(g_use_variant2, 1);
    toggle_model_variant();
    EXPECT_EQ(g_use_variant2, 0);
    toggle_model_variant();
    EXPECT_EQ(g_use_variant2, 1);
}

TEST(KeyI, TurnsBackgroundAndFogWhiteThenBlackAgain) {
    glrec::reset();
    ASSERT_EQ(g_dark_background, 1);
    toggle_background();
    EXPECT_EQ(g_dark_background, 0);
    std::array<double, 4> white{{1, 1, 1, 1}}, black{{0, 0, 0, 1}};
    EXPECT_EQ(glrec::state().clear_colour, white);
    EXPECT_EQ(glrec::state().fog_colour, white);
    toggle_background();
    EXPECT_EQ(g_dark_background, 1);
    EXPECT_EQ(glrec::state().clear_colour, black);
    EXPECT_EQ(glrec::state().fog_colour, black);
    EXPECT_EQ(glrec::count("glClearColor"), 2u);
    EXPECT_EQ(glrec::count("glFogfv"), 2u);
}

class Reshape : public ::testing::Test {
  protected:
    void SetUp() override { glrec::reset(); }
    static glrec::Call only(const char* name) {
        std::vector<glrec::Call> c = glrec::named(name);
        EXPECT_EQ(c.size(), 1u) << name;
        return c.empty() ? glrec::Call{} : c[0];
    }
};

TEST_F(Reshape, SetsViewportPerspectiveAndTheViewingTransform) {
    on_reshape(632, 425);
    EXPECT_EQ(only("glViewport").args, (std::vector<double>{0, 0, 632, 425}));
    glrec::Call p = only("gluPerspective");
    ASSERT_EQ(p.args.size(), 4u);
    EXPECT_DOUBLE_EQ(p.args[0], 62.0);
    EXPECT_DOUBLE_EQ(p.args[1], 632.0 / 425.0);
    EXPECT_DOUBLE_EQ(p.args[2], 8.0);
    EXPECT_DOUBLE_EQ(p.args[3], 200.0);
    EXPECT_EQ(glrec::state().matrix_mode, GLenum(GL_MODELVIEW));
    glrec::Vec3 eye = glrec::apply(glrec::inverse(glrec::current_modelview()), 0, 0, 0);
    EXPECT_NEAR(eye.x, 0.0, 1e-9);
    EXPECT_NEAR(eye.y, 13.0, 1e-9);
    EXPECT_NEAR(eye.z, 34.0, 1e-9);
    EXPECT_EQ(glrec::state().modelview_stack.size(), 1u);
    EXPECT_EQ(glrec::state().projection_stack.size(), 1u);
}

TEST_F(Reshape, ReplacesTheMatricesRatherThanBuildingOnThem) {
    on_reshape(632, 425);
    glrec::Mat4 first = glrec::current_modelview();
    on_reshape(632, 425);
    EXPECT_EQ(glrec::current_modelview(), first);
    EXPECT_EQ(glrec::count("glLoadIdentity"), 4u);
}

TEST_F(Reshape, TreatsHeightZeroAsOneForViewportAndAspect) {
    on_reshape(300, 0);
    EXPECT_EQ(only("glViewport").args, (std::vector<double>{0, 0, 300, 1}));
    EXPECT_DOUBLE_EQ(only("gluPerspective").args[1], 300.0);
}

TEST(Clock, IsTheUtcTimeOfDayInMilliseconds) {
    double before = double(std::time(nullptr) % 86400) * 1000.0;
    double now = clock_ms();
    EXPECT_GE(now, 0.0);
    EXPECT_LE(now, 86399999.0);
    EXPECT_EQ(now, std::floor(now));
    // Skip the comparison in the two seconds around midnight UTC.
    if (before > 1000.0 && before < 86398000.0) {
        EXPECT_GE(now, before);
        EXPECT_LT(now, before + 2000.0);
    }
}

class Idle : public ::testing::Test {
  protected:
    void SetUp() override {
        glrec::reset();
        tkstub::reset();
    }
};

TEST_F(Idle, AdvancesTheFrameAndDrawsIt) {
    g_frame = 41;
    StdoutCapture out;
    on_idle();
    EXPECT_EQ(g_frame, 42);
    EXPECT_EQ(tkstub::named("tk_swap_buffers").size(), 1u);
    EXPECT_EQ(glrec::count("glFlush"), 1u);
    EXPECT_EQ(out.written(), "");
}

TEST_F(Idle, WrapsAfterFrame1050ResettingOnlyLiftDropAndAngle) {
    g_frame = 1050;
    g_crane_lift = 5.0;
    g_stone_drop = 7.0;
    g_crane_angle = 100;
    g_truck_z = 3.0;
    g_jaw_angle = -15.0f;
    g_stone_visible = 1;
    float length = g_spring.length;
    StdoutCapture out;
    on_idle();
    EXPECT_EQ(g_frame, 0);
    // Frame 0 itself lowers the crane once from the reset offset.
    EXPECT_DOUBLE_EQ(g_crane_lift, -double(g_lift_step));
    EXPECT_EQ(g_stone_drop, 0.0);
    EXPECT_EQ(g_crane_angle, 0);
    EXPECT_EQ(g_truck_z, 3.0);
    EXPECT_EQ(g_jaw_angle, -15.0f);
    EXPECT_EQ(g_stone_visible, 1);
    EXPECT_EQ(g_spring.length, length);
    g_jaw_angle = -60.0f;
    g_stone_visible = 0;
    g_truck_z = 0.0;
}

TEST_F(Idle, ReportsEveryFifthFrameWithRateAndFrameNumber) {
    g_frame = 4;
    g_last_report_ms = clock_ms() - 1000.0;
    StdoutCapture out;
    on_idle();
    std::string text = out.written();
    double rate = 0;
    ASSERT_TRUE(parse_report(text, &rate, 5)) << text;
    EXPECT_GT(rate, 4.0);
    EXPECT_LE(rate, 5.0);
    EXPECT_NEAR(g_last_report_ms, clock_ms(), 1000.0);

    on_idle(); // frame 6: no report
    EXPECT_EQ(out.written(), text);
}

TEST_F(Idle, ReportsAtFrameZeroAfterTheWrap) {
    g_frame = 1050;
    g_last_report_ms = clock_ms() - 2000.0;
    StdoutCapture out;
    on_idle();
    double rate = 0;
    EXPECT_TRUE(parse_report(out.written(), &rate, 0)) << out.written();
    EXPECT_GT(rate, 2.0);
    EXPECT_LE(rate, 2.5);
    g_jaw_angle = -60.0f;
}

TEST_F(Idle, ReachesAFileWithoutWaitingForExitOrALineBreak) {
    // written() reads the file directly: a report left in stdio's buffer would be lost when
    // Escape ends the process at once.
    g_frame = 9;
    StdoutCapture out;
    on_idle();
    EXPECT_NE(out.written().find("\tTiempo: 10"), std::string::npos);
}

class Startup : public ::testing::Test {
  protected:
    void SetUp() override {
        glrec::reset();
        tkstub::reset();
    }
    static std::vector<std::string> tk_names() {
        std::vector<std::string> out;
        for (const tkstub::Call& c : tkstub::calls())
            out.push_back(c.name);
        return out;
    }
};

TEST_F(Startup, OpensTheWindowSetsUpGlBindsKeysAndRuns) {
    char* argv[] = {nullptr};
    EXPECT_EQ(app_main(0, argv), 0);
    EXPECT_EQ(tk_names(),
              (std::vector<std::string>{"tk_set_display_mode", "tk_set_window_rect",
                                        "tk_open_window", "tk_bind_key", "tk_bind_key",
                                        "tk_bind_key", "tk_on_reshape", "tk_on_idle", "tk_run"}));
    const std::vector<tkstub::Call>& c = tkstub::calls();
    EXPECT_EQ(c[0].args, (std::vector<double>{TK_MODE_DOUBLE}));
    EXPECT_EQ(c[1].args, (std::vector<double>{0, 0, 632, 425}));
    EXPECT_EQ(c[2].text, "Creado por: Velmora                    TARVENIL.");
    EXPECT_EQ(c[2].text.find("Velmora") + 7 + 20, c[2].text.find("TARVENIL"));

    // The render state goes in between opening the window and binding the keys.
    EXPECT_EQ(c[2].gl_calls_before, 0u);
    EXPECT_GT(c[3].gl_calls_before, 40u);
    EXPECT_EQ(c[8].gl_calls_before, c[3].gl_calls_before);

    const tkstub::Registered& r = tkstub::registered();
    ASSERT_EQ(r.keys.size(), 3u);
    EXPECT_EQ(r.keys[0], std::make_pair(112, &toggle_model_variant));
    EXPECT_EQ(r.keys[1], std::make_pair(111, &toggle_points_mode));
    EXPECT_EQ(r.keys[2], std::make_pair(105, &toggle_background));
    EXPECT_EQ(r.reshape, &on_reshape);
    EXPECT_EQ(r.idle, &on_idle);
    EXPECT_EQ(r.display, &draw_frame);
}

TEST_F(Startup, EndsWithStatusOneWhenTheWindowCannotBeOpened) {
    tkstub::open_result = 0;
    char* argv[] = {nullptr};
    EXPECT_EQ(app_main(0, argv), 1);
    EXPECT_EQ(tk_names(), (std::vector<std::string>{"tk_set_display_mode", "tk_set_window_rect",
                                                    "tk_open_window"}));
    EXPECT_EQ(glrec::calls().size(), 0u);
}
