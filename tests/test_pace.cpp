// crane's opt-in pace: which rates it takes, and when each frame is due.
#include "app/pace.h"

#include <gtest/gtest.h>

namespace {

const int64_t kMs = 1000000;

TEST(Pace, RateIsAWholeNumberFrom1To1000AndNothingElse) {
    EXPECT_EQ(pace_parse_fps("1"), 1);
    EXPECT_EQ(pace_parse_fps("30"), 30);
    EXPECT_EQ(pace_parse_fps("1000"), 1000);
    for (const char* bad :
         {"", "0", "1001", "-5", "+5", " 5", "5 ", "30fps", "2.5", "99999999999", "0x10"})
        EXPECT_EQ(pace_parse_fps(bad), 0) << "'" << bad << "'";
    EXPECT_EQ(pace_parse_fps(nullptr), 0);
}

TEST(Pace, FramesAreDueAPeriodApartWithoutDriftOrBurst) {
    Pace pace;
    pace_start(&pace, 10);
    int64_t wait = 0;
    EXPECT_TRUE(pace_due(&pace, 1000 * kMs, &wait));
    EXPECT_FALSE(pace_due(&pace, 1040 * kMs, &wait));
    EXPECT_EQ(wait, 60 * kMs);
    EXPECT_TRUE(pace_due(&pace, 1100 * kMs, &wait));
    // A frame drawn late does not delay the ones after it.
    EXPECT_TRUE(pace_due(&pace, 1230 * kMs, &wait));
    EXPECT_FALSE(pace_due(&pace, 1299 * kMs, &wait));
    EXPECT_TRUE(pace_due(&pace, 1300 * kMs, &wait));
    // Nor do frames missed over a long stall come in a burst afterwards.
    EXPECT_TRUE(pace_due(&pace, 1750 * kMs, &wait));
    EXPECT_FALSE(pace_due(&pace, 1760 * kMs, &wait));
    EXPECT_EQ(wait, 90 * kMs);
}

} // namespace
