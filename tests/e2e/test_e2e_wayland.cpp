// The real program in its native window on a headless Wayland compositor.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "tests/e2e/compositor.h"

namespace {

const char kTitle[] = "Creado por: Velmora                    TARVENIL.";
const double kSoon = 30;

class CraneOnSway : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(e2e::start_compositor(&sway)) << "sway did not start: " << sway.log();
    }
    void TearDown() override {
        e2e::kill_program(&crane);
        e2e::stop_compositor(&sway);
        if (!crane.out_path.empty()) unlink(crane.out_path.c_str());
        if (!crane.err_path.empty()) unlink(crane.err_path.c_str());
    }
    void start_crane() {
        ASSERT_TRUE(
            e2e::launch_client(sway, CRANE_PROGRAM, e2e::mesh_folder(BUILD_FOLDER), &crane));
        ASSERT_TRUE(e2e::wait_for_toplevel(sway, crane.pid, kSoon, &window))
            << "no window; stderr: " << e2e::read_file(crane.err_path);
    }
    e2e::Compositor sway;
    e2e::Program crane;
    e2e::Toplevel window;
};

TEST_F(CraneOnSway, OpensItsTitledWindowAndEndsOnTheCloseRequest) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    EXPECT_EQ(window.title, kTitle);
    EXPECT_EQ(window.content.width, 632);
    EXPECT_EQ(window.content.height, 425);
    auto light = [](const std::vector<unsigned>& p) { return e2e::share(p, true, 235) > 0.4; };
    ASSERT_TRUE(e2e::type_key(sway, "i"));
    std::vector<unsigned> seen;
    EXPECT_TRUE(e2e::wait_until(
        [&] {
            seen = e2e::grab_output(sway, window.content);
            return light(seen);
        },
        kSoon))
        << "white share " << e2e::share(seen, true, 235);
    ASSERT_TRUE(e2e::request_close(sway, crane.pid));
    ASSERT_TRUE(e2e::wait_exit(&crane, kSoon));
    ASSERT_TRUE(WIFEXITED(crane.status));
    EXPECT_EQ(WEXITSTATUS(crane.status), 0);
    EXPECT_EQ(e2e::read_file(crane.err_path), "");
}

// When the compositor goes away under it, the program ends with one line on standard error and
// status 1, without hanging or crashing (how soon is for a clock to say, not a test).
TEST_F(CraneOnSway, LostCompositorEndsTheProcessWithOneLineAndStatusOne) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    e2e::stop_compositor(&sway, true);
    ASSERT_TRUE(e2e::wait_exit(&crane, kSoon)) << "still running after the compositor died";
    ASSERT_TRUE(WIFEXITED(crane.status)) << "ended by signal " << WTERMSIG(crane.status);
    EXPECT_EQ(WEXITSTATUS(crane.status), 1);
    std::string text = e2e::read_file(crane.err_path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    EXPECT_GT(text.size(), 1u);
}

// The error box is a window of its own, captioned "Error", that waits for Return, Escape or
// Space; the failed open then ends the program.
TEST_F(CraneOnSway, ErrorBoxStaysUntilReturnEscapeOrSpace) {
    for (const char* key : {"Return", "Escape", "space"}) {
        SCOPED_TRACE(key);
        e2e::Program box;
        ASSERT_TRUE(e2e::launch_client(sway, ERROR_BOX_PROGRAM, BUILD_FOLDER, &box));
        e2e::Toplevel shown;
        bool up = e2e::wait_for_toplevel(sway, box.pid, kSoon, &shown);
        EXPECT_TRUE(up) << "no box; stderr: " << e2e::read_file(box.err_path);
        EXPECT_EQ(shown.title, "Error");
        EXPECT_FALSE(e2e::wait_exit(&box, 0.5)); // modal: waits for the user
        EXPECT_TRUE(e2e::type_key(sway, key));
        EXPECT_TRUE(e2e::wait_exit(&box, kSoon));
        EXPECT_TRUE(WIFEXITED(box.status) && WEXITSTATUS(box.status) == 1);
        EXPECT_EQ(e2e::read_file(box.err_path), ""); // shown in the box, not on the console
        e2e::kill_program(&box);
        unlink(box.out_path.c_str());
        unlink(box.err_path.c_str());
    }
}

} // namespace
