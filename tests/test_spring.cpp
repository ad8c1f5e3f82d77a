#include "spring/spring.h"

#include "tests/support/gl_recorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

// Reads the spring's private state; the spring names this struct as its friend.
struct SpringProbe {
    static float settle_phase(const Spring& s) { return s.settle_phase; }
    static int32_t spread_counter(const Spring& s) { return s.spread_counter; }
    static int32_t stretch_counter(const Spring& s) { return s.stretch_counter; }
    static float spread(const Spring& s) { return s.spread; }
    static float coil_z(const Spring& s, int i) { return s.coil_z[i]; }
    static const TrigTable& table(const Spring& s) { return s.table; }
    static float amount(const Spring& s) { return s.amount; }
    static float amplitude(const Spring& s) { return s.amplitude; }
    static float envelope(const Spring& s) { return s.envelope; }
    static float stretch(const Spring& s) { return s.stretch; }
    static int32_t active(const Spring& s) { return s.active; }
};

namespace {

using P = SpringProbe;

// The figures are quoted to six significant digits: half a unit in the last of them.
::testing::AssertionResult near_f(float actual, double expected, double rel = 5e-6) {
    if (std::fabs(actual - expected) <= rel * std::fabs(expected) + 1e-9)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " is not " << expected;
}

// The global spring's construction, built locally so each test starts from rest.
class FreshSpring : public ::testing::Test {
  protected:
    void SetUp() override { glrec::reset(); }
    void draw_steps(int n, float size = 2.0f) {
        for (int i = 0; i < n; ++i)
            spring.draw(size);
    }
    Spring spring{12, 4.0f, 0.5f, 0.5f};
};

} // namespace

// Reads the global spring's length during static initialisation, a priority after the spring's,
// as the app's lift step does.
struct LengthSeenLater {
    float value = g_spring.length;
};
LengthSeenLater g_length_seen_later __attribute__((init_priority(CRANE_INIT_SPRING + 100)));

TEST(GlobalSpring, IsBuiltAtRestWithItsTables) {
    EXPECT_EQ(g_spring.length, 4.0f);
    EXPECT_EQ(g_spring.scale, 1.0f);
    EXPECT_EQ(g_spring.spread_gain, 0.5f);
    EXPECT_EQ(g_spring.amplitude_gain, 0.5f);
    EXPECT_EQ(P::table(g_spring).count, 100);
    EXPECT_EQ(P::active(g_spring), 0);
    EXPECT_EQ(P::stretch(g_spring), 1.0f);
    EXPECT_EQ(P::spread_counter(g_spring), 0);
    EXPECT_EQ(P::stretch_counter(g_spring), 0);
}

TEST(GlobalSpring, IsBuiltBeforeLaterInitialisersReadIt) {
    EXPECT_EQ(g_length_seen_later.value, 4.0f);
}

TEST_F(FreshSpring, StartsAtRestWithZeroedCounters) {
    EXPECT_EQ(P::settle_phase(spring), 0.0f);
    EXPECT_EQ(P::spread_counter(spring), 0);
    EXPECT_EQ(P::stretch_counter(spring), 0);
    EXPECT_EQ(P::amount(spring), 0.0f);
    EXPECT_EQ(P::amplitude(spring), 0.0f);
    EXPECT_EQ(P::envelope(spring), 0.0f);
    EXPECT_EQ(P::spread(spring), 0.0f);
    EXPECT_EQ(P::stretch(spring), 1.0f);
    EXPECT_EQ(P::active(spring), 0);
}

TEST_F(FreshSpring, CoilsStartAsAnEvenRamp) {
    EXPECT_TRUE(near_f(P::coil_z(spring, 0), 0.01));
    EXPECT_TRUE(near_f(P::coil_z(spring, 99), 0.9999993, 1e-7));
    for (int i = 1; i < 100; ++i)
        EXPECT_NEAR(P::coil_z(spring, i) - P::coil_z(spring, i - 1), 0.01, 1e-6) << i;
}

TEST_F(FreshSpring, NeverReleasedDrawsTheSameEvenHelix) {
    draw_steps(30);
    EXPECT_EQ(spring.length, 4.0f);
    EXPECT_EQ(P::stretch(spring), 1.0f);
    EXPECT_TRUE(near_f(P::coil_z(spring, 0), 0.01));
    EXPECT_TRUE(near_f(P::coil_z(spring, 99), 0.9999993, 1e-7));
    EXPECT_EQ(P::spread_counter(spring), 0);
    // The envelope runs whether or not the spring is active.
    EXPECT_TRUE(near_f(P::envelope(spring), 6.0, 1e-5));
}

TEST_F(FreshSpring, ReleaseSetsTheAmplitudeFromTheLength) {
    spring.release(-2.0f);
    EXPECT_TRUE(near_f(P::amplitude(spring), -0.5));
    EXPECT_EQ(P::active(spring), 1);
    EXPECT_EQ(P::amount(spring), -2.0f);
    // Nothing moves until the next step.
    EXPECT_EQ(spring.length, 4.0f);
    EXPECT_EQ(P::stretch(spring), 1.0f);
}

TEST_F(FreshSpring, FirstStepAfterAShorteningRelease) {
    spring.release(-2.0f);
    spring.draw(2.0f);
    EXPECT_TRUE(near_f(P::amplitude(spring), -0.4975));
    EXPECT_TRUE(near_f(P::stretch(spring), 0.968762));
    EXPECT_TRUE(near_f(spring.length, 3.9465));
    EXPECT_TRUE(near_f(P::spread(spring), 0.00249507));
    EXPECT_TRUE(near_f(P::coil_z(spring, 0), 0.0124951));
    EXPECT_TRUE(near_f(P::coil_z(spring, 99), 1.0024973));
    EXPECT_EQ(P::stretch_counter(spring), 1);
    EXPECT_EQ(P::spread_counter(spring), 1);
}

TEST_F(FreshSpring, SettleMovesTheLengthOverFortyNineSteps) {
    spring.release(-2.0f);
    draw_steps(48);
    const float before_last = spring.length;
    draw_steps(1);
    EXPECT_LT(spring.length, before_last);
    EXPECT_TRUE(near_f(spring.length, 3.00109));
    const float settled = spring.length;
    draw_steps(200);
    EXPECT_EQ(spring.length, settled);
    EXPECT_EQ(P::settle_phase(spring), 98.0f);
}

TEST_F(FreshSpring, SettleIsFastFirstAndSlowLater) {
    spring.release(2.0f);
    float last = spring.length, last_change = 1e9f;
    for (int i = 0; i < 49; ++i) {
        spring.draw(2.0f);
        const float change = spring.length - last;
        EXPECT_GT(change, 0.0f) << i;
        EXPECT_LE(change, last_change) << i;
        last = spring.length, last_change = change;
    }
}

TEST_F(FreshSpring, ZeroReleaseSpreadsTheCoilsButKeepsLengthAndStretch) {
    spring.release(0.0f);
    bool spread_seen = false;
    for (int i = 0; i < 60; ++i) {
        spring.draw(2.0f);
        EXPECT_EQ(spring.length, 4.0f);
        EXPECT_EQ(P::stretch(spring), 1.0f);
        spread_seen |= std::fabs(P::coil_z(spring, 99) - 0.9999993f) > 1e-4f;
    }
    EXPECT_TRUE(spread_seen);
    EXPECT_NE(P::spread(spring), 0.0f);
}

TEST_F(FreshSpring, ReleaseByMinusTheLengthGivesNoOscillation) {
    spring.release(-4.0f);
    EXPECT_EQ(P::amplitude(spring), 0.0f);
    for (int i = 0; i < 120; ++i) {
        spring.draw(2.0f);
        ASSERT_TRUE(std::isfinite(P::stretch(spring))) << i;
        EXPECT_EQ(P::stretch(spring), 1.0f) << i;
        ASSERT_TRUE(std::isfinite(spring.length)) << i;
    }
    // The settle and the spread still run: the length heads towards 4 + 0.49945 x -4.
    EXPECT_TRUE(near_f(spring.length, 4.0 - 0.49945 * 4.0, 1e-5));
}

TEST_F(FreshSpring, ReleaseNextToMinusTheLengthKeepsTheFormula) {
    spring.release(-3.0f);
    EXPECT_TRUE(near_f(P::amplitude(spring), -3.0 / 1.0 * 0.5));
}

TEST_F(FreshSpring, OscillationRepeatsEveryHundredSteps) {
    spring.release(-2.0f);
    std::vector<float> phase;
    for (int n = 1; n <= 250; ++n) {
        spring.draw(2.0f);
        EXPECT_EQ(P::stretch_counter(spring), n % 100) << n;
        EXPECT_EQ(P::spread_counter(spring), n % 100) << n;
        // The stretch over the damped amplitude is the cycle alone.
        phase.push_back((P::stretch(spring) - 1) / P::amplitude(spring));
    }
    for (int n = 0; n + 100 < 250; ++n)
        EXPECT_NEAR(phase[n], phase[n + 100], 2e-5) << n;
    // Step 25 is the crest of the cycle, step 75 its trough.
    EXPECT_NEAR(phase[24], 1.0, 2e-5);
    EXPECT_NEAR(phase[74], -1.0, 2e-5);
}

TEST_F(FreshSpring, AmplitudeIsDampedHalfAPercentFirstThenOnePercent) {
    spring.release(-2.0f);
    float a = P::amplitude(spring);
    spring.draw(2.0f);
    EXPECT_NEAR(P::amplitude(spring) / a, 0.995, 1e-6);
    draw_steps(600);
    a = P::amplitude(spring);
    spring.draw(2.0f);
    EXPECT_NEAR(P::amplitude(spring) / a, 0.9900006, 1e-6);
    EXPECT_TRUE(near_f(P::envelope(spring), 99.19963, 1e-6));
}

TEST_F(FreshSpring, PositiveAmountExtendsFirstNegativeContracts) {
    Spring shortened{12, 4.0f, 0.5f, 0.5f};
    spring.release(1.0f);
    shortened.release(-1.0f);
    for (int i = 0; i < 49; ++i) {
        spring.draw(2.0f);
        shortened.draw(2.0f);
        EXPECT_GT(P::stretch(spring), 1.0f) << i;
        EXPECT_LT(P::stretch(shortened), 1.0f) << i;
    }
}

TEST_F(FreshSpring, ReleaseDuringAnEpisodeRestartsIt) {
    spring.release(-2.0f);
    draw_steps(30);
    const float length = spring.length;
    spring.release(1.0f);
    EXPECT_EQ(P::settle_phase(spring), 0.0f);
    EXPECT_EQ(P::envelope(spring), 0.0f);
    EXPECT_EQ(P::stretch_counter(spring), 0);
    EXPECT_EQ(spring.length, length);
    EXPECT_TRUE(near_f(P::amplitude(spring), 1.0 / (length + 1.0) * 0.5));
}

TEST_F(FreshSpring, CoilSpreadFadesOut) {
    spring.release(-2.0f);
    float early = 0, late = 0;
    for (int n = 1; n <= 700; ++n) {
        spring.draw(2.0f);
        if (n <= 100) early = std::fmax(early, std::fabs(P::spread(spring)));
        if (n > 600) late = std::fmax(late, std::fabs(P::spread(spring)));
    }
    EXPECT_GT(early, 0.002f);
    EXPECT_LT(late, early * 1e-3f);
}

// ---- GL call stream -------------------------------------------------------------------------

namespace {

std::vector<std::string> expected_names(bool released) {
    std::vector<std::string> n = {"glPushMatrix", "glRotatef", "glTranslatef", "glScalef"};
    if (released) n.push_back("glScalef");
    n.push_back("glBegin");
    for (int i = 0; i < 100; ++i) {
        n.push_back("glNormal3f");
        n.push_back("glVertex3f");
    }
    n.push_back("glEnd");
    n.push_back("glPopMatrix");
    n.push_back("glTranslatef");
    return n;
}

void expect_args(const glrec::Call& c, std::vector<double> args, double tol = 1e-6) {
    ASSERT_EQ(c.args.size(), args.size()) << c.name;
    for (size_t i = 0; i < args.size(); ++i)
        EXPECT_NEAR(c.args[i], args[i], tol) << c.name << i;
}

} // namespace

TEST_F(FreshSpring, DrawEmitsOneLineStripInsideAPushPop) {
    spring.draw(2.0f);
    spring.move_to_end();
    ASSERT_EQ(glrec::names(), expected_names(false));
    const auto& c = glrec::calls();
    expect_args(c[1], {-90, 0, 0, 1});
    expect_args(c[2], {0, 0, -1});
    expect_args(c[3], {2, 2, 2});
    expect_args(c[4], {GL_LINE_STRIP});
    EXPECT_EQ(glrec::state().modelview_stack.size(), 1u);
    // Never released: the load hangs from (0.5 x scale, -length x scale, 0).
    expect_args(c.back(), {1, -8, 0});
}

TEST_F(FreshSpring, HelixNormalsAndVerticesComeFromTheTables) {
    spring.draw(2.0f);
    const TrigTable& t = P::table(spring);
    const auto normals = glrec::named("glNormal3f");
    const auto vertices = glrec::named("glVertex3f");
    ASSERT_EQ(normals.size(), 100u);
    ASSERT_EQ(vertices.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        expect_args(normals[i], {0, t.helix_sin[i], t.helix_cos[i]});
        expect_args(vertices[i], {P::coil_z(spring, i) * 4.0, t.helix_sin01[i], t.helix_cos01[i]});
    }
}

TEST_F(FreshSpring, HelixHangsDownFromTheCallersOrigin) {
    spring.draw(2.0f);
    const auto vertices = glrec::named("glVertex3f");
    for (const auto& v : vertices) {
        const glrec::Vec3 p = glrec::apply(v.modelview, v.args[0], v.args[1], v.args[2]);
        // Radius 1 around the line x = 1, z = 0, running down along -y.
        EXPECT_NEAR(std::hypot(p.x - 1, p.z), 1.0, 1e-5);
        EXPECT_LT(p.y, 0.0);
    }
    const auto& top = vertices.front();
    const auto& bottom = vertices.back();
    EXPECT_NEAR(glrec::apply(top.modelview, top.args[0], top.args[1], top.args[2]).y, -0.08, 1e-5);
    EXPECT_NEAR(glrec::apply(bottom.modelview, bottom.args[0], bottom.args[1], bottom.args[2]).y,
                -8 * 0.9999993, 1e-5);
}

TEST_F(FreshSpring, ReleasedDrawAddsTheStretchAndTheLoadFollowsIt) {
    spring.release(-2.0f);
    spring.draw(2.0f);
    spring.move_to_end();
    ASSERT_EQ(glrec::names(), expected_names(true));
    const auto& c = glrec::calls();
    expect_args(c[4], {0.968762, 1, 1});
    expect_args(c.back(), {1, -(3.9465 * 2 * 0.968762), 0}, 1e-5);
}

TEST_F(FreshSpring, DrawWithZeroKeepsTheScale) {
    spring.draw(2.0f);
    glrec::reset();
    spring.draw(0.0f);
    EXPECT_EQ(spring.scale, 2.0f);
    const auto& c = glrec::calls();
    expect_args(c[2], {0, 0, 0});
    expect_args(c[3], {2, 2, 2});
    spring.move_to_end();
    expect_args(glrec::calls().back(), {1, -8, 0});
}
