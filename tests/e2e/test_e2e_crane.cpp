// The real program on a bare X server and under a window manager: its window, its console
// report, and how real key presses and the window manager's close request act on it.
#include "tests/e2e/e2e_fixture.h"

#include <signal.h>
#include <sys/wait.h>

using CraneWindow = CraneOnDesktop;

TEST_P(CraneWindow, TitleIsExact) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    expect_exact_title();
}

TEST_P(CraneWindow, ClientAreaIs632By425AtTheTopLeft) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    expect_client_632_by_425_at_the_top_left();
}

TEST_P(CraneWindow, ReportsEveryFifthFrameInTheExactFormat) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(4, kSoon)) << "reports: " << frames_so_far().size();
    expect_escape_ends_an_unbroken_sequence();
    bool well_formed = false;
    std::vector<int> frames = e2e::report_frames(out(), &well_formed);
    ASSERT_GE(frames.size(), 4u);
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(frames[i], 5 * (int)(i + 1));
}

TEST_P(CraneWindow, KeyITurnsThePictureWhiteAndBackToBlack) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    expect_key_i_whitens_the_picture_and_back();
}

// The program is held still while Escape reaches it, so that it meets the key at its next look
// at the queue: at most the pass it was in may finish, and no frame after that is reported.
TEST_P(CraneWindow, EscapeEndsTheProcessBeforeAnotherFrameWithStatusZero) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(1, kSoon));
    ASSERT_EQ(kill(crane.pid, SIGSTOP), 0);
    int status = 0;
    ASSERT_EQ(waitpid(crane.pid, &status, WUNTRACED), crane.pid);
    ASSERT_TRUE(WIFSTOPPED(status));
    ASSERT_TRUE(e2e::send_key(display, "Escape"));
    // Two round trips: the server has handled the key and flushed it to the program by the
    // time the second one comes back.
    XSync(display, False);
    XSync(display, False);
    bool tail_ok = false;
    size_t before = e2e::report_frames(out(), &tail_ok).size();
    ASSERT_EQ(kill(crane.pid, SIGCONT), 0);
    expect_ended_with_status_zero("Escape");
    size_t after = e2e::report_frames(out(), &tail_ok).size();
    EXPECT_LE(after, before + 1) << "frames went on after Escape";
}

TEST_P(CraneWindow, CloseRequestEndsTheLoopAndTheProcessWithStatusZero) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(1, kSoon));
    e2e::send_close_request(display, window);
    expect_ended_with_status_zero("the close request");
}

CRANE_ON_EVERY_DESKTOP(CraneWindow);

using CraneUnderOpenbox = CraneUnderWindowManager;

// The close button at the right of the title bar, clicked as a user does.
TEST_F(CraneUnderOpenbox, CloseButtonEndsTheProcessWithStatusZero) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(1, kSoon));
    e2e::Area area = e2e::client_area(display, window);
    e2e::Extents frame = e2e::frame_extents(display, window);
    ASSERT_GT(frame.top, 4) << "no title bar";
    e2e::click(display, area.x + area.width + frame.right - frame.top / 2 - 2,
               area.y - frame.top / 2);
    expect_ended_with_status_zero("a click on the close button");
}

TEST_F(CraneUnderOpenbox, ResizeByTheWindowManagerKeepsTheFramesComing) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(1, kSoon));
    e2e::request_resize(display, window, 480, 300);
    ASSERT_TRUE(e2e::wait_until(
        [&] {
            e2e::Area a = e2e::client_area(display, window);
            return a.width == 480 && a.height == 300;
        },
        kSoon))
        << "the window manager did not resize the window";
    expect_frames_go_on("the resize");
    // The picture fills the new size: key i turns all of it white.
    expect_key_i_whitens_the_picture_and_back();
    expect_escape_ends_an_unbroken_sequence();
}
