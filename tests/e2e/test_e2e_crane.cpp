// The real program under Xvfb: its window, its console report, and how real key presses and
// the window manager's close request act on it.
#include "tests/e2e/e2e_fixture.h"

#include <sys/wait.h>

#include <regex>
#include <vector>

namespace {

// The frame numbers of the reports, checking the exact layout of each.
std::vector<int> report_frames(const std::string& text, bool* well_formed) {
    static const std::regex report("\n[0-9]+\\.[0-9]{2}\tFrames por segundo\\.\tTiempo: ([0-9]+)");
    std::vector<int> frames;
    size_t covered = 0;
    for (std::sregex_iterator it(text.begin(), text.end(), report), end; it != end; ++it) {
        if ((size_t)it->position() != covered) break;
        covered += it->length();
        frames.push_back(std::stoi((*it)[1]));
    }
    *well_formed = covered == text.size();
    return frames;
}

} // namespace

using CraneWindow = CraneOnXvfb;

TEST_F(CraneWindow, TitleIsExact) {
    start_crane();
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(display, window, &name));
    EXPECT_STREQ(name, kTitle);
    XFree(name);
}

TEST_F(CraneWindow, ClientAreaIs632By425AtTheTopLeft) {
    start_crane();
    e2e::Area area = e2e::client_area(display, window);
    EXPECT_EQ(area.x, 0);
    EXPECT_EQ(area.y, 0);
    EXPECT_EQ(area.width, 632);
    EXPECT_EQ(area.height, 425);
}

TEST_F(CraneWindow, ReportsEveryFifthFrameInTheExactFormat) {
    start_crane();
    e2e::sleep_seconds(1.5);
    ASSERT_TRUE(e2e::send_key(display, "Escape"));
    ASSERT_TRUE(e2e::wait_exit(&crane, 2));
    bool well_formed = false;
    std::vector<int> frames = report_frames(out(), &well_formed);
    EXPECT_TRUE(well_formed) << out().substr(0, 200);
    ASSERT_GE(frames.size(), 4u);
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(frames[i], 5 * (int)(i + 1));
}

TEST_F(CraneWindow, KeyITurnsThePictureWhiteAndBackToBlack) {
    start_crane();
    e2e::sleep_seconds(0.5);
    double white_before = e2e::share(window_pixels(), true, 235);
    double black_before = e2e::share(window_pixels(), false, 20);
    ASSERT_TRUE(e2e::send_key(display, "i"));
    e2e::sleep_seconds(0.5);
    std::vector<unsigned> white = window_pixels();
    ASSERT_TRUE(e2e::send_key(display, "i"));
    e2e::sleep_seconds(0.5);
    std::vector<unsigned> black = window_pixels();
    EXPECT_GT(black_before, 0.4);
    EXPECT_LT(white_before, 0.05);
    EXPECT_GT(e2e::share(white, true, 235), 0.4);
    EXPECT_LT(e2e::share(white, false, 20), 0.1);
    EXPECT_GT(e2e::share(black, false, 20), 0.4);
    EXPECT_LT(e2e::share(black, true, 235), 0.05);
}

TEST_F(CraneWindow, EscapeEndsTheProcessAtOnceWithStatusZero) {
    start_crane();
    e2e::sleep_seconds(0.3);
    ASSERT_TRUE(e2e::send_key(display, "Escape"));
    ASSERT_TRUE(e2e::wait_exit(&crane, 1)) << "still running a second after Escape";
    ASSERT_TRUE(WIFEXITED(crane.status));
    EXPECT_EQ(WEXITSTATUS(crane.status), 0);
    EXPECT_EQ(err(), "");
}

TEST_F(CraneWindow, CloseRequestEndsTheLoopAndTheProcessWithStatusZero) {
    start_crane();
    e2e::sleep_seconds(0.3);
    e2e::send_close_request(display, window);
    ASSERT_TRUE(e2e::wait_exit(&crane, 5));
    ASSERT_TRUE(WIFEXITED(crane.status));
    EXPECT_EQ(WEXITSTATUS(crane.status), 0);
    EXPECT_EQ(err(), "");
}
