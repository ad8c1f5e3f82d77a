#include "spring/trig_table.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Single-precision values near 1 are good to about 1e-7; the oracles are given to 7 digits.
constexpr float kTol = 2e-7f;

class BuiltTable : public ::testing::Test {
  protected:
    void SetUp() override { table.build(100, 12); }
    TrigTable table;
};

float* const TrigTable::*const kArrays[13] = {
    &TrigTable::helix_sin01,  &TrigTable::helix_sin,   &TrigTable::helix_cos01,
    &TrigTable::helix_cos,    &TrigTable::cycle_sin01, &TrigTable::cycle_sin,
    &TrigTable::cycle_cos01,  &TrigTable::cycle_cos,   &TrigTable::half_sin01,
    &TrigTable::half_cos01,   &TrigTable::half_cos,    &TrigTable::quarter_sin01,
    &TrigTable::quarter_cos01};

// The angle of entry i for a range, accumulated the way the table does it.
float accumulated_angle(float range, int count, int i) {
    float x = 0;
    for (int k = 0; k < i; ++k)
        x = float(x + double(range) / count);
    return x;
}

} // namespace

TEST(TrigTable, DefaultConstructedIsEmptyAndDestroysCleanly) {
    TrigTable table;
    EXPECT_EQ(table.count, 0);
    for (auto member : kArrays)
        EXPECT_EQ(table.*member, nullptr);
}

TEST_F(BuiltTable, EveryArrayHasCountEntries) {
    EXPECT_EQ(table.count, 100);
    for (auto member : kArrays)
        ASSERT_NE(table.*member, nullptr);
}

TEST_F(BuiltTable, FirstEntriesAreSineZeroAndCosineOne) {
    EXPECT_EQ(table.helix_sin01[0], 0.5f);
    EXPECT_EQ(table.helix_cos01[0], 1.0f);
    EXPECT_EQ(table.helix_sin[0], 0.0f);
    EXPECT_EQ(table.helix_cos[0], 1.0f);
    EXPECT_EQ(table.cycle_sin[0], 0.0f);
    EXPECT_EQ(table.cycle_cos[0], 1.0f);
    EXPECT_EQ(table.half_cos[0], 1.0f);
    EXPECT_EQ(table.quarter_sin01[0], 0.5f);
    EXPECT_EQ(table.quarter_cos01[0], 1.0f);
}

TEST_F(BuiltTable, QuarterRampRisesToItsLastEntry) {
    EXPECT_NEAR(table.quarter_sin01[99], 0.9999383f, kTol);
    for (int i = 1; i < 100; ++i)
        EXPECT_GT(table.quarter_sin01[i], table.quarter_sin01[i - 1]);
}

TEST_F(BuiltTable, HalfCosineSumsToJustOverOne) {
    double sum = 0;
    for (int i = 0; i < 100; ++i)
        sum += table.half_cos[i];
    EXPECT_NEAR(sum, 1.00096, 5e-6);
}

TEST_F(BuiltTable, CycleSineReachesOneAfterAQuarter) {
    EXPECT_NEAR(table.cycle_sin[25], 1.0f, 1e-6f);
    EXPECT_NEAR(table.cycle_cos[25], 0.0f, 2e-5f);
    EXPECT_NEAR(table.cycle_sin[75], -1.0f, 1e-6f);
}

TEST_F(BuiltTable, LastEntryStopsOneStepShortOfTheRange) {
    // Entry 99 of the full cycle sits at 0.99 of 6.2831254, not at the end where sine is ~0.
    EXPECT_NEAR(table.cycle_sin[99], std::sin(0.99 * 6.2831254), 1e-5);
    EXPECT_NEAR(table.half_cos[99], std::cos(0.99 * 3.1415627), 1e-5);
    EXPECT_NEAR(table.quarter_cos01[99], std::cos(0.99 * 1.5707964) / 2 + 0.5, 1e-5);
    EXPECT_NEAR(table.half_sin01[50], std::sin(0.5 * 3.1415627) / 2 + 0.5, 1e-6);
}

TEST_F(BuiltTable, ShiftedArraysAreHalfThePlainOnePlusAHalf) {
    for (int i = 0; i < 100; ++i) {
        EXPECT_NEAR(table.helix_sin01[i], table.helix_sin[i] / 2 + 0.5f, kTol) << i;
        EXPECT_NEAR(table.helix_cos01[i], table.helix_cos[i] / 2 + 0.5f, kTol) << i;
        EXPECT_NEAR(table.cycle_sin01[i], table.cycle_sin[i] / 2 + 0.5f, kTol) << i;
        EXPECT_NEAR(table.cycle_cos01[i], table.cycle_cos[i] / 2 + 0.5f, kTol) << i;
        EXPECT_NEAR(table.half_cos01[i], table.half_cos[i] / 2 + 0.5f, kTol) << i;
        EXPECT_GE(table.helix_sin01[i], 0.0f);
        EXPECT_LE(table.helix_sin01[i], 1.0f);
    }
}

TEST_F(BuiltTable, HelixStepIsTheTurnMultiplierNotTwoPi) {
    // Entry 1 is one step of 12 x 6.283125308 / 100 = 0.75397507 radians.
    EXPECT_NEAR(table.helix_sin[1], std::sin(0.7539750671386719), kTol);
    EXPECT_NEAR(table.helix_cos[1], std::cos(0.7539750671386719), kTol);
}

TEST_F(BuiltTable, HelixAngleAccumulatesInSinglePrecision) {
    const float range = float(12 * 6.283125308);
    const double accumulated = accumulated_angle(range, 100, 99);
    const double direct = 99 * double(range) / 100;
    // The two ways of taking the angle differ visibly at the end of the helix...
    ASSERT_GT(std::fabs(std::sin(accumulated) - std::sin(direct)), 1e-6);
    // ...and the table follows the step-by-step one.
    EXPECT_NEAR(table.helix_sin[99], std::sin(accumulated), kTol);
    EXPECT_NEAR(table.helix_cos[99], std::cos(accumulated), kTol);
}

TEST_F(BuiltTable, TurnsChangeOnlyTheHelixArrays) {
    TrigTable other;
    other.build(100, 5);
    for (int a = 0; a < 13; ++a) {
        auto member = kArrays[a];
        bool differs = false;
        for (int i = 0; i < 100; ++i)
            differs |= (table.*member)[i] != (other.*member)[i];
        EXPECT_EQ(differs, a < 4) << "array " << a;
    }
}

TEST(TrigTable, CountSetsTheSampling) {
    TrigTable table;
    table.build(4, 1);
    ASSERT_EQ(table.count, 4);
    // Four samples of a full cycle: 0, a quarter, a half, three quarters.
    EXPECT_NEAR(table.cycle_sin[1], 1.0f, 1e-6f);
    EXPECT_NEAR(table.cycle_cos[2], -1.0f, 1e-6f);
    EXPECT_NEAR(table.cycle_sin[3], -1.0f, 1e-6f);
    EXPECT_NEAR(table.quarter_sin01[2], std::sin(0.5 * 1.5707964) / 2 + 0.5, kTol);
}

TEST(TrigTable, RebuildingReplacesTheArrays) {
    TrigTable table;
    table.build(100, 12);
    table.build(10, 12);
    EXPECT_EQ(table.count, 10);
    EXPECT_NEAR(table.cycle_sin[5], std::sin(accumulated_angle(6.2831254f, 10, 5)), kTol);
}
