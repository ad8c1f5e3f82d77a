// Without a display: the program says why on standard error and ends with status 1 at once;
// when its X server or its Wayland compositor goes away under it, it ends with one line on
// standard error and a non-zero status, without hanging or crashing (how soon is measured by a
// benchmark).
#include "tests/e2e/e2e_fixture.h"

#include <sys/wait.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

int lines(const std::string& text) {
    return (int)std::count(text.begin(), text.end(), '\n');
}

// Standard error with no window system: one line that names each of what was tried, then the
// toolkit's own message.
void expect_tried_then_failed(const std::string& text, const std::vector<std::string>& tried) {
    const std::vector<std::string> got = e2e::lines(text);
    ASSERT_EQ(got.size(), 2u) << text;
    EXPECT_EQ(got[0].rfind("crane: ", 0), 0u) << text;
    for (const std::string& part : tried)
        EXPECT_NE(got[0].find(part), std::string::npos) << "no '" << part << "' in: " << text;
    EXPECT_EQ(got[1], "Error: Failed to register window class");
}

} // namespace

using CraneDisplay = CraneOnXvfb;

TEST_F(CraneDisplay, UnreachableDisplayIsReportedOnStandardError) {
    int nobody = e2e::free_display_number();
    ASSERT_GE(nobody, 0);
    ASSERT_TRUE(e2e::launch(CRANE_PROGRAM, e2e::mesh_folder(BUILD_FOLDER),
                            ":" + std::to_string(nobody), &crane));
    ASSERT_TRUE(child::wait(&crane, kSoon));
    ASSERT_TRUE(WIFEXITED(crane.status));
    EXPECT_EQ(WEXITSTATUS(crane.status), 1);
    expect_tried_then_failed(err(), {"Wayland compositor", "DISPLAY=:" + std::to_string(nobody)});
}

TEST_F(CraneDisplay, NoDisplayVariableIsReportedOnStandardError) {
    ASSERT_TRUE(e2e::launch(CRANE_PROGRAM, e2e::mesh_folder(BUILD_FOLDER), "", &crane));
    ASSERT_TRUE(child::wait(&crane, kSoon));
    ASSERT_TRUE(WIFEXITED(crane.status));
    EXPECT_EQ(WEXITSTATUS(crane.status), 1);
    expect_tried_then_failed(err(), {"Wayland compositor", "DISPLAY is not set"});
}

TEST_F(CraneDisplay, LostServerEndsTheProcessWithOneLineOnStandardError) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(1, kSoon));
    XCloseDisplay(display);
    display = nullptr;
    e2e::stop_server(&server, true);
    ASSERT_TRUE(child::wait(&crane, kSoon)) << "still running after the server died";
    ASSERT_TRUE(WIFEXITED(crane.status)) << "ended by signal " << WTERMSIG(crane.status);
    EXPECT_NE(WEXITSTATUS(crane.status), 0);
    std::string text = err();
    EXPECT_EQ(lines(text), 1) << text;
    EXPECT_GT(text.size(), 1u);
}

TEST_F(CraneOnSway, LostCompositorEndsTheProcessWithOneLineAndStatusOne) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(1, kSoon));
    e2e::stop_compositor(&sway, true);
    ASSERT_TRUE(child::wait(&crane, kSoon)) << "still running after the compositor died";
    ASSERT_TRUE(WIFEXITED(crane.status)) << "ended by signal " << WTERMSIG(crane.status);
    EXPECT_EQ(WEXITSTATUS(crane.status), 1);
    std::string text = err();
    EXPECT_EQ(lines(text), 1) << text;
    EXPECT_GT(text.size(), 1u);
}

// The choice of window system: a compositor reached through its default socket alone gets the
// native window; CRANE_PLATFORM=x11 passes it by for the X server (here none, so the usual
// failure).
TEST_F(CraneOnSway, DefaultSocketIsFoundAndCranePlatformForcesX11) {
    std::string folder = e2e::mesh_folder(BUILD_FOLDER);
    ASSERT_EQ(symlink(sway.socket.c_str(), (sway.runtime_dir + "/wayland-0").c_str()), 0);
    ASSERT_TRUE(e2e::launch_client(sway, CRANE_PROGRAM, folder, &crane,
                                   [] { unsetenv("WAYLAND_DISPLAY"); }));
    EXPECT_TRUE(e2e::wait_for_toplevel(sway, crane.pid, kSoon, &toplevel)) << err();
    child::end(&crane);

    e2e::Program forced;
    ASSERT_TRUE(e2e::launch_client(sway, CRANE_PROGRAM, folder, &forced,
                                   [] { setenv("CRANE_PLATFORM", "x11", 1); }));
    ASSERT_TRUE(child::wait(&forced, kSoon));
    std::string text = e2e::read_file(forced.err_path);
    unlink(forced.out_path.c_str());
    unlink(forced.err_path.c_str());
    ASSERT_TRUE(WIFEXITED(forced.status));
    EXPECT_EQ(WEXITSTATUS(forced.status), 1);
    expect_tried_then_failed(text, {"X display", "CRANE_PLATFORM=x11"});
}
