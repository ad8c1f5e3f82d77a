// crane-render's progress line on a terminal: run under a pseudo-terminal, it shows frames
// done, the rate and the time left on the terminal's bottom row while the program's reports
// scroll above. (Off a terminal it stays quiet: see the video tests.)
#include "render/render_progress.h"

#include <gtest/gtest.h>

#include "tests/support/child_process.h"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <unistd.h>
#include <utmp.h>

#include <chrono>
#include <regex>
#include <string>

namespace {

TEST(RenderProgress, TextGivesFramesRateAndTimeLeft) {
    EXPECT_EQ(progress_text(300, 1051, 2.0), "frame 300 of 1051, 150.0 frames/s, 0:05 left");
    EXPECT_EQ(progress_text(100, 10000, 1.0), "frame 100 of 10000, 100.0 frames/s, 1:39 left");
    EXPECT_EQ(progress_text(1051, 1051, 7.0), "frame 1051 of 1051, 150.1 frames/s");
}

TEST(RenderProgress, ShownOnTheBottomRowOfATerminal) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 100;
    int terminal = -1, program_side = -1;
    ASSERT_EQ(openpty(&terminal, &program_side, nullptr, nullptr, &size), 0);
    // The terminal is the program's controlling one and all three of its standard streams.
    child::Options options;
    options.in_child = [&] {
        close(terminal);
        login_tty(program_side);
    };
    child::Process render;
    // Long enough to outlast the quiet first second on any machine; stopped below.
    const bool started = child::start({CRANE_RENDER_EXE, "--bench", "1000000"}, options, &render);
    close(program_side);
    ASSERT_TRUE(started);
    const std::regex line("\x1b\\[24;1H\x1b\\[Kframe [0-9]+ of 1000000, [0-9.]+ frames/s, "
                          "[0-9]+:[0-9]{2} left");
    std::string seen;
    bool found = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!found && std::chrono::steady_clock::now() < deadline) {
        pollfd p = {terminal, POLLIN, 0};
        if (poll(&p, 1, 1000) <= 0) continue;
        char buffer[4096];
        const ssize_t n = read(terminal, buffer, sizeof buffer);
        if (n <= 0) break; // the program ended
        seen.append(buffer, static_cast<size_t>(n));
        found = std::regex_search(seen, line);
    }
    child::end(&render, SIGTERM, 60);
    close(terminal);
    EXPECT_TRUE(found) << "terminal output ended with: "
                       << seen.substr(seen.size() > 400 ? seen.size() - 400 : 0);
    // The reports still reach the terminal, in the scrolling rows above the line.
    EXPECT_NE(seen.find("Frames por segundo."), std::string::npos);
    EXPECT_NE(seen.find("\x1b[1;23r"), std::string::npos);
}

} // namespace
