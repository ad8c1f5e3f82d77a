// Without a display: the program says why on standard error and ends with status 1 at once;
// when its X server goes away under it, it ends with one line on standard error and a non-zero
// status, without hanging or crashing (how soon is measured by a benchmark).
#include "tests/e2e/e2e_fixture.h"

#include <sys/wait.h>

#include <algorithm>

namespace {

int lines(const std::string& text) {
    return (int)std::count(text.begin(), text.end(), '\n');
}

} // namespace

using CraneDisplay = CraneOnXvfb;

TEST_F(CraneDisplay, UnreachableDisplayIsReportedOnStandardError) {
    int nobody = e2e::free_display_number();
    ASSERT_GE(nobody, 0);
    ASSERT_TRUE(e2e::launch(CRANE_PROGRAM, e2e::mesh_folder(BUILD_FOLDER),
                            ":" + std::to_string(nobody), &crane));
    ASSERT_TRUE(e2e::wait_exit(&crane, kSoon));
    ASSERT_TRUE(WIFEXITED(crane.status));
    EXPECT_EQ(WEXITSTATUS(crane.status), 1);
    EXPECT_NE(err().find("Failed to register window class"), std::string::npos) << err();
}

TEST_F(CraneDisplay, NoDisplayVariableIsReportedOnStandardError) {
    ASSERT_TRUE(e2e::launch(CRANE_PROGRAM, e2e::mesh_folder(BUILD_FOLDER), "", &crane));
    ASSERT_TRUE(e2e::wait_exit(&crane, kSoon));
    ASSERT_TRUE(WIFEXITED(crane.status));
    EXPECT_EQ(WEXITSTATUS(crane.status), 1);
    EXPECT_NE(err().find("Failed to register window class"), std::string::npos) << err();
}

TEST_F(CraneDisplay, LostServerEndsTheProcessWithOneLineOnStandardError) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(1, kSoon));
    XCloseDisplay(display);
    display = nullptr;
    e2e::stop_server(&server, true);
    ASSERT_TRUE(e2e::wait_exit(&crane, kSoon)) << "still running after the server died";
    ASSERT_TRUE(WIFEXITED(crane.status)) << "ended by signal " << WTERMSIG(crane.status);
    EXPECT_NE(WEXITSTATUS(crane.status), 0);
    std::string text = err();
    EXPECT_EQ(lines(text), 1) << text;
    EXPECT_GT(text.size(), 1u);
}
