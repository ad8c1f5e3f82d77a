// The window class is registered once per process: a failed registration is reported and
// retried at the next open, a successful one is reused by every later open. One test, since
// the registration is process-wide.
#include "tests/support/tk_fixture.h"

using TkRegister = TkSim;

TEST_F(TkRegister, FailureIsReportedThenOneRegistrationServesEveryOpen) {
    sim.failing.insert("register_class");
    EXPECT_EQ(open_app_window(), 0);
    EXPECT_EQ(boxes("Error"), (std::vector<std::string>{"Failed to register window class\n"}));
    EXPECT_EQ(sim_find("create_window"), -1);

    sim.failing.clear();
    sim.boxes.clear();
    EXPECT_EQ(open_app_window(), 1);
    EXPECT_EQ(sim_count("register_class"), 2);
    EXPECT_TRUE(sim.boxes.empty());
    tk_close_window();

    // A failed open after it, then a fresh one: neither registers again.
    sim.failing.insert("gl_create_context");
    EXPECT_EQ(open_app_window(), 0);
    sim.failing.clear();
    EXPECT_EQ(open_app_window(), 1);
    EXPECT_EQ(sim_count("register_class"), 2);
}
