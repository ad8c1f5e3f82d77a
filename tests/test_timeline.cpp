// The scripted timeline: step operations, the three tracks at their boundary frames, one
// frame's call order and the repeated frame of a repaint.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <new>
#include <string>
#include <vector>

#include "app/main.h"
#include "app/scene.h"
#include "app/timeline.h"
#include "mesh/catalogue.h"
#include "spring/spring.h"
#include "tests/support/app_tk_stub.h"
#include "tests/support/gl_recorder.h"

namespace {

// Back to program start: timeline globals at their initial values and a spring as built.
void restart_animation() {
    g_frame = 0;
    g_crane_lift = 0.0;
    g_crane_angle = 0;
    g_jaw_angle = -60.0f;
    g_stone_visible = 0;
    g_stone_drop = 0.0;
    g_truck_z = 0.0;
    g_use_variant2 = 1;
    g_spring.~Spring();
    new (&g_spring) Spring(12, 4.0f, 0.5f, 0.5f);
}

// The timeline does not depend on the models' geometry: drawing them empty keeps a full pass
// of 1051 recorded frames quick. Their counts are put back before the models are destroyed.
struct EmptyModels {
    AscModel* models[17] = {&g_grua1,    &g_grua2,    &g_pinza1,   &g_pinza2,   &g_pivote1,
                            &g_pivote2,  &g_suelo1,   &g_suelo2,   &g_cilindr1, &g_cilindr2,
                            &g_piedra1,  &g_contene1, &g_contene2, &g_camion1,  &g_camion2,
                            &g_camion2p, &g_camion3};
    int32_t faces[17] = {};
    int32_t vertices[17] = {};
    void empty() {
        for (int i = 0; i < 17; ++i) {
            faces[i] = models[i]->face_count;
            vertices[i] = models[i]->vertex_count;
            models[i]->face_count = 0;
            models[i]->vertex_count = 0;
        }
    }
    void restore() {
        for (int i = 0; i < 17; ++i) {
            models[i]->face_count = faces[i];
            models[i]->vertex_count = vertices[i];
        }
    }
};
EmptyModels g_empty_models;

class Timeline : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { g_empty_models.empty(); }
    static void TearDownTestSuite() { g_empty_models.restore(); }
    void SetUp() override {
        restart_animation();
        glrec::reset();
        tkstub::reset();
    }
    void TearDown() override { restart_animation(); }

    // Draws frames `from` to `to`, each once, as the idle callback would.
    static void play(int32_t from, int32_t to) {
        for (int32_t frame = from; frame <= to; ++frame)
            draw(frame);
    }
    static void draw(int32_t frame) {
        g_frame = frame;
        glrec::reset();
        draw_frame();
    }
    // The crane track's transform in the last drawn frame: what comes between the crane's
    // own push (the third one out of the frame's push, after the scenery's two groups) and
    // the next push, which is draw_crane's.
    static std::vector<glrec::Call> crane_transform() {
        std::vector<glrec::Call> out;
        int depth = 0, groups = 0;
        for (const glrec::Call& c : glrec::calls()) {
            if (c.name == "glPushMatrix") {
                ++depth;
                if (depth == 2) ++groups;
                if (depth == 3 && groups == 3) return out;
            } else if (c.name == "glPopMatrix") {
                --depth;
            } else if (depth == 2 && groups == 3 &&
                       (c.name == "glTranslatef" || c.name == "glRotatef")) {
                out.push_back(c);
            }
        }
        return out;
    }
};

const float k_step = 11.0f / 75.0f;

} // namespace

TEST(TimelineSteps, LowerAndRaiseMoveByTheLiftStepAndReturnTheNewValue) {
    g_crane_lift = 1.0;
    EXPECT_DOUBLE_EQ(lower_crane(), 1.0 - double(g_lift_step));
    EXPECT_DOUBLE_EQ(raise_crane(), 1.0);
    EXPECT_DOUBLE_EQ(g_crane_lift, 1.0);
    g_crane_lift = 0.0;
}

TEST(TimelineSteps, CraneAngleCountsUpAndWrapsFrom359ToZero) {
    g_crane_angle = 0;
    EXPECT_EQ(next_crane_angle(), 1);
    g_crane_angle = 358;
    EXPECT_EQ(next_crane_angle(), 359);
    EXPECT_EQ(next_crane_angle(), 0);
    EXPECT_EQ(g_crane_angle, 0);
}

TEST(TimelineSteps, StoneFallsByPointThreeAndIsCappedAtTwenty) {
    g_stone_drop = 0.0;
    EXPECT_DOUBLE_EQ(drop_stone(), 0.3);
    g_stone_drop = 19.9;
    EXPECT_DOUBLE_EQ(drop_stone(), 19.9 + 0.3); // not yet above 20
    EXPECT_DOUBLE_EQ(drop_stone(), 20.0);       // above 20: set back
    EXPECT_DOUBLE_EQ(drop_stone(), 20.3);
    g_stone_drop = 0.0;
}

TEST(TimelineSteps, TruckAdvancesByPointThreeInDoublePrecision) {
    g_truck_z = 0.0;
    for (int i = 0; i < 10; ++i)
        advance_truck();
    double expected = 0.0;
    for (int i = 0; i < 10; ++i)
        expected = expected + 0.3;
    EXPECT_EQ(g_truck_z, expected);
    g_truck_z = 0.0;
}

TEST_F(Timeline, FrameCallsRunInOrderAndEndWithOneFlushAndOneSwap) {
    draw(10);
    std::vector<std::string> head = glrec::names();
    ASSERT_GE(head.size(), 5u);
    EXPECT_EQ(head[0], "glClear");
    EXPECT_EQ(glrec::calls()[0].args[0], double(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
    EXPECT_EQ(head[1], "glLightfv");
    EXPECT_EQ(head[2], "glLightfv");
    EXPECT_EQ(glrec::calls()[1].args, (std::vector<double>{GL_LIGHT1, GL_POSITION, 26, 25, 8, 1}));
    EXPECT_EQ(glrec::calls()[2].args, (std::vector<double>{GL_LIGHT0, GL_POSITION, -26, 25, 8, 1}));
    EXPECT_EQ(head[3], "glEnable");
    EXPECT_EQ(glrec::calls()[3].args[0], double(GL_LIGHTING));
    EXPECT_EQ(head[4], "glPushMatrix");
    EXPECT_EQ(head.back(), "glFlush");
    EXPECT_EQ(glrec::count("glFlush"), 1u);
    EXPECT_EQ(tkstub::named("tk_swap_buffers").size(), 1u);
    EXPECT_EQ(tkstub::calls().back().gl_calls_before, glrec::calls().size());
    EXPECT_EQ(glrec::state().modelview_stack.size(), 1u);
}

TEST_F(Timeline, TruckIsMovedAlongZBeforeItIsDrawn) {
    g_truck_z = 12.5;
    draw(400); // track C advances first, then the frame translates
    std::vector<glrec::Call> t = glrec::named("glTranslatef");
    bool found = false;
    for (const glrec::Call& c : t)
        if (c.args == std::vector<double>{0, 0, float(12.8)}) found = true;
    EXPECT_TRUE(found);
}

TEST_F(Timeline, CraneGoesDownElevenUnitsInFrames0To74) {
    draw(0);
    EXPECT_DOUBLE_EQ(g_crane_lift, -double(k_step));
    play(1, 74);
    EXPECT_NEAR(g_crane_lift, -11.0, 1e-5);
    std::vector<glrec::Call> t = crane_transform();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].name, "glTranslatef");
    EXPECT_NEAR(t[0].args[1], -11.0, 1e-5);
}

TEST_F(Timeline, CraneIsHeldWhileTheJawsCloseThenRisesBackToZeroAt199) {
    play(0, 74);
    double low = g_crane_lift;
    play(75, 124);
    EXPECT_EQ(g_crane_lift, low);
    EXPECT_NEAR(crane_transform().at(0).args[1], low, 1e-5);
    play(125, 198);
    EXPECT_NEAR(g_crane_lift, -double(k_step), 1e-6);
    play(199, 199);
    EXPECT_NEAR(g_crane_lift, 0.0, 1e-9);
    play(200, 200);
    EXPECT_TRUE(crane_transform().empty());
}

TEST_F(Timeline, AFirstPassFromFrameOneEndsOneStepHigh) {
    play(1, 199);
    EXPECT_NEAR(g_crane_lift, double(k_step), 1e-6);
    play(200, 349);
    EXPECT_TRUE(crane_transform().empty());
}

TEST_F(Timeline, JawsCloseAt75AndOpenAt610) {
    play(0, 74);
    EXPECT_EQ(g_jaw_angle, -60.0f);
    play(75, 75);
    EXPECT_EQ(g_jaw_angle, -15.0f);
    play(76, 609);
    EXPECT_EQ(g_jaw_angle, -15.0f);
    play(610, 610);
    EXPECT_EQ(g_jaw_angle, -60.0f);
}

TEST_F(Timeline, SpringStretchesFrom125To159AndIsReleasedAt160) {
    play(0, 124);
    EXPECT_EQ(g_spring.length, 4.0f);
    play(125, 125);
    EXPECT_FLOAT_EQ(g_spring.length, 4.0f + k_step / 2.0f);
    play(126, 159);
    EXPECT_NEAR(g_spring.length, 6.5666642f, 2e-6f);
    EXPECT_EQ(g_stone_visible, 0);
    float before = g_spring.length;
    g_spring.spread_gain = 0.0f;
    g_spring.amplitude_gain = 0.0f;
    play(160, 160);
    EXPECT_EQ(g_spring.spread_gain, 0.5f);
    EXPECT_EQ(g_spring.amplitude_gain, 0.5f);
    EXPECT_EQ(g_stone_visible, 1);
    // No stretch in 160; the first settle step moves the length by half of 0.0535 times the
    // release amount (4 - length) x scale x 0.5 = -2.5666642.
    float amount = float((4.0 - before) * 2.0 * 0.5);
    EXPECT_NEAR(amount, -2.5666642f, 2e-6f);
    EXPECT_NEAR(g_spring.length, before + 0.5 * amount * 0.0535, 1e-5);
}

TEST_F(Timeline, StoneIsDrawnFrom160To659AndFallsFrom610) {
    play(0, 159);
    EXPECT_EQ(g_stone_visible, 0);
    play(160, 609);
    EXPECT_EQ(g_stone_visible, 1);
    EXPECT_EQ(g_stone_drop, 0.0);
    play(610, 610);
    EXPECT_DOUBLE_EQ(g_stone_drop, 0.3);
    play(611, 659);
    EXPECT_NEAR(g_stone_drop, 15.0, 1e-9);
    EXPECT_EQ(g_stone_visible, 1);
    play(660, 660);
    EXPECT_EQ(g_stone_visible, 0);
    EXPECT_NEAR(g_stone_drop, 15.0, 1e-9);
}

TEST_F(Timeline, SecondReleaseAt610SetsFullGainsAndBringsTheSpringBackToRest) {
    play(0, 609);
    g_spring.spread_gain = 0.0f;
    g_spring.amplitude_gain = 0.0f;
    play(610, 610);
    EXPECT_EQ(g_spring.spread_gain, 1.0f);
    EXPECT_EQ(g_spring.amplitude_gain, 1.0f);
    play(611, 1050);
    EXPECT_NEAR(g_spring.length, 4.0f, 0.002f);
}

TEST_F(Timeline, CraneTurnsHalfWayHoldsAndTurnsOnToZero) {
    play(0, 349);
    EXPECT_EQ(g_crane_angle, 0);
    play(350, 350);
    EXPECT_EQ(g_crane_angle, 1);
    std::vector<glrec::Call> t = crane_transform();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].name, "glRotatef");
    EXPECT_EQ(t[0].args, (std::vector<double>{1, 0, -1, 0}));
    play(351, 529);
    EXPECT_EQ(g_crane_angle, 180);
    play(530, 829);
    EXPECT_EQ(g_crane_angle, 180);
    EXPECT_EQ(crane_transform().at(0).args[0], 180.0);
    play(830, 830);
    EXPECT_EQ(g_crane_angle, 181);
    play(831, 1008);
    EXPECT_EQ(g_crane_angle, 359);
    play(1009, 1009);
    EXPECT_EQ(g_crane_angle, 0);
    play(1010, 1010);
    EXPECT_TRUE(crane_transform().empty());
    play(1011, 1050);
    EXPECT_EQ(g_crane_angle, 0);
}

TEST_F(Timeline, TruckDrivesJumpsBackAndStopsAtZero) {
    play(0, 274);
    EXPECT_EQ(g_truck_z, 0.0);
    play(275, 275);
    EXPECT_DOUBLE_EQ(g_truck_z, 0.3);
    play(276, 574);
    EXPECT_NEAR(g_truck_z, 90.0, 1e-9);
    play(575, 575);
    EXPECT_NEAR(g_truck_z, -89.7, 1e-9);
    play(576, 874);
    EXPECT_NEAR(g_truck_z, 0.0, 1e-9);
    play(875, 875);
    EXPECT_EQ(g_truck_z, 0.0);
    g_truck_z = 4.0;
    play(876, 876);
    EXPECT_EQ(g_truck_z, 0.0);
}

TEST_F(Timeline, TruckResetsToZeroAt275WhereverItWas) {
    g_truck_z = 50.0;
    play(275, 275);
    EXPECT_DOUBLE_EQ(g_truck_z, 0.3);
}

TEST_F(Timeline, TruckOnlyAdvancesWhileBehindTheSceneAfterTheJump) {
    g_truck_z = -0.1;
    play(700, 700);
    EXPECT_DOUBLE_EQ(g_truck_z, -0.1 + 0.3);
    play(701, 701);
    EXPECT_DOUBLE_EQ(g_truck_z, -0.1 + 0.3);
}

TEST_F(Timeline, ARepaintRepeatsTheFramesSteps) {
    draw(10);
    double once = g_crane_lift;
    draw(10);
    EXPECT_DOUBLE_EQ(g_crane_lift, once - double(k_step));

    g_truck_z = 10.0;
    draw(300);
    draw(300);
    EXPECT_DOUBLE_EQ(g_truck_z, 10.0 + 0.3 + 0.3);

    g_crane_angle = 20;
    draw(400);
    draw(400);
    EXPECT_EQ(g_crane_angle, 22);
}

TEST_F(Timeline, ARepaintOnTheReleaseFrameReleasesAgain) {
    play(0, 159);
    draw(160);
    float after_one = g_spring.length;
    restart_animation();
    play(0, 159);
    draw(160);
    draw(160);
    // The second release restarts the settle from the new length: a second large step.
    EXPECT_LT(g_spring.length, after_one - 0.05f);
}

TEST_F(Timeline, ARepaintInAHoldPhaseChangesNothingButTheSpring) {
    play(0, 100);
    double lift = g_crane_lift;
    float jaw = g_jaw_angle;
    draw(100);
    EXPECT_EQ(g_crane_lift, lift);
    EXPECT_EQ(g_jaw_angle, jaw);
    EXPECT_EQ(g_truck_z, 0.0);
}
