// Start-up, render state, key handlers, resize and the idle callback's clock and report.
#include <gtest/gtest.h>

#include <GL/gl.h>

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

struct ExpectedCall {
    std::string name;
    std::vector<double> args;
};

// Compares the recorder's log with `expected`; floats given as float so that the comparison
// is exact in single precision.
void expect_calls(const std::vector<ExpectedCall>& expected) {
    const std::vector<glrec::Call>& got = glrec::calls();
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(got[i].name, expected[i].name) << "call " << i;
        ASSERT_EQ(got[i].args.size(), expected[i].args.size())
            << "call " << i << " " << got[i].name;
        for (size_t k = 0; k < expected[i].args.size(); ++k)
            EXPECT_DOUBLE_EQ(got[i].args[k], expected[i].args[k])
                << "call " << i << " " << got[i].name << " argument " << k;
    }
}

double f(float v) {
    return double(v);
}
double e(GLenum v) {
    return double(v);
}

std::vector<double> light_params(GLenum light, GLenum pname, std::vector<double> values) {
    std::vector<double> out{e(light), e(pname)};
    out.insert(out.end(), values.begin(), values.end());
    return out;
}

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

TEST(RenderState, IssuesTheSetUpCallsInOrder) {
    glrec::reset();
    init_render_state();
    const double h1 = f(1.0f), h05 = f(0.5f);
    std::vector<ExpectedCall> expected = {
        {"glEnable", {e(GL_DEPTH_TEST)}},
        {"glEnable", {e(GL_CULL_FACE)}},
        {"glShadeModel", {e(GL_SMOOTH)}},
        {"glFrontFace", {e(GL_CCW)}},
        {"glLightfv", light_params(GL_LIGHT0, GL_AMBIENT, {0, 0, 0, 1})},
        {"glLightfv", light_params(GL_LIGHT0, GL_DIFFUSE, {1, 1, 1, 1})},
        {"glLightfv", light_params(GL_LIGHT0, GL_SPECULAR, {1, 1, 1, 1})},
        {"glLightf", {e(GL_LIGHT0), e(GL_CONSTANT_ATTENUATION), 1.0}},
        {"glEnable", {e(GL_LIGHT0)}},
        {"glLightfv", light_params(GL_LIGHT1, GL_AMBIENT, {0, 0, 0, 1})},
        {"glLightfv", light_params(GL_LIGHT1, GL_DIFFUSE, {f(0.9f), f(0.9f), 1, 1})},
        {"glLightfv", light_params(GL_LIGHT1, GL_SPECULAR, {1, 1, 1, 1})},
        {"glLightf", {e(GL_LIGHT1), e(GL_CONSTANT_ATTENUATION), f(2.6f)}},
        {"glEnable", {e(GL_LIGHT1)}},
        {"glLightfv", light_params(GL_LIGHT2, GL_AMBIENT, {0, 0, 0, 1})},
        {"glLightfv", light_params(GL_LIGHT2, GL_DIFFUSE, {f(0.45f), f(0.3f), f(0.1f), 1})},
        {"glLightfv", light_params(GL_LIGHT2, GL_SPECULAR, {0, 0, 0, 1})},
        {"glLightfv", light_params(GL_LIGHT3, GL_AMBIENT, {0, 0, 0, 1})},
        {"glLightfv", light_params(GL_LIGHT3, GL_DIFFUSE, {h1, h1, h05, h1})},
        {"glLightfv", light_params(GL_LIGHT3, GL_SPECULAR, {h1, h1, h05, h1})},
        {"glLightf", {e(GL_LIGHT3), e(GL_SPOT_CUTOFF), 80}},
        {"glLightf", {e(GL_LIGHT3), e(GL_CONSTANT_ATTENUATION), 2}},
        {"glLightf", {e(GL_LIGHT3), e(GL_SPOT_EXPONENT), 128}},
        {"glLightfv", light_params(GL_LIGHT3, GL_SPOT_DIRECTION, {0, f(-0.3f), 1})},
        {"glEnable", {e(GL_LIGHT3)}},
        {"glLightfv", light_params(GL_LIGHT4, GL_AMBIENT, {0, 0, 0, 1})},
        {"glLightfv", light_params(GL_LIGHT4, GL_DIFFUSE, {h1, h1, h05, h1})},
        {"glLightfv", light_params(GL_LIGHT4, GL_SPECULAR, {h1, h1, h05, h1})},
        {"glLightf", {e(GL_LIGHT4), e(GL_SPOT_CUTOFF), 80}},
        {"glLightf", {e(GL_LIGHT4), e(GL_CONSTANT_ATTENUATION), 2}},
        {"glLightf", {e(GL_LIGHT4), e(GL_SPOT_EXPONENT), 128}},
        {"glLightfv", light_params(GL_LIGHT4, GL_SPOT_DIRECTION, {0, f(-0.3f), 1})},
        {"glEnable", {e(GL_LIGHT4)}},
        {"glEnable", {e(GL_COLOR_MATERIAL)}},
        {"glColorMaterial", {e(GL_FRONT), e(GL_AMBIENT_AND_DIFFUSE)}},
        {"glMaterialfv", {e(GL_FRONT), e(GL_SPECULAR), 1, 1, 1, 1}},
        {"glMaterialf", {e(GL_FRONT), e(GL_SHININESS), 128}},
        {"glEnable", {e(GL_NORMALIZE)}},
        {"glClearColor", {0, 0, 0, 1}},
        {"glEnable", {e(GL_BLEND)}},
        {"glBlendFunc", {e(GL_SRC_ALPHA), e(GL_ONE_MINUS_SRC_ALPHA)}},
        {"glEnable", {e(GL_FOG)}},
        {"glFogf", {e(GL_FOG_DENSITY), f(0.013f)}},
        {"glFogi", {e(GL_FOG_MODE), e(GL_EXP)}},
        {"glFogfv", {e(GL_FOG_COLOR), 0, 0, 0, 1}},
    };
    expect_calls(expected);
    EXPECT_FALSE(glrec::is_enabled(GL_LIGHTING));
    EXPECT_FALSE(glrec::is_enabled(GL_LIGHT2));
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
