// A fixture that gives each test its own Xvfb, with or without a window manager, and, once
// started, the real program in the folder with the mesh files, with its window found. The
// checks that every desktop shares (title, client size, the console report, keys that change
// the picture, the ways the program ends) are its methods, so that each desktop's tests are the
// same few lines.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/e2e_harness.h"

namespace e2e {

const int kLastFrame = 1050;

// The frame numbers of the complete reports in text; *tail_ok tells whether the text is made of
// nothing but well-formed reports.
inline std::vector<int> report_frames(const std::string& text, bool* tail_ok) {
    static const std::regex report("\n[0-9]+\\.[0-9]{2}\tFrames por segundo\\.\tTiempo: ([0-9]+)");
    std::vector<int> frames;
    size_t covered = 0;
    for (std::sregex_iterator it(text.begin(), text.end(), report), end; it != end; ++it) {
        if ((size_t)it->position() != covered) break;
        covered += it->length();
        frames.push_back(std::stoi((*it)[1]));
    }
    *tail_ok = covered == text.size();
    return frames;
}

// Empty when every report is the one five frames after its predecessor, with 0 after 1050,
// starting at frame 5; else where the sequence breaks.
inline std::string sequence_break(const std::vector<int>& frames) {
    for (size_t i = 0; i < frames.size(); ++i) {
        int expected = i == 0 ? 5 : frames[i - 1] == kLastFrame ? 0 : frames[i - 1] + 5;
        if (frames[i] != expected)
            return "report " + std::to_string(i) + " is frame " + std::to_string(frames[i]) +
                   ", expected " + std::to_string(expected);
    }
    return "";
}

} // namespace e2e

class CraneOnXvfb : public ::testing::Test {
  protected:
    static constexpr const char* kTitle = "Creado por: Velmora                    TARVENIL.";
    // Deadlines for things that take a fraction of a second on an idle machine: generous
    // enough for one ten times slower.
    static constexpr double kSoon = 30;

    void SetUp() override {
        ASSERT_TRUE(e2e::start_server(&server)) << "Xvfb did not start";
        display = XOpenDisplay(server.name().c_str());
        ASSERT_NE(display, nullptr);
        if (with_window_manager) {
            ASSERT_TRUE(e2e::start_window_manager(server, &wm))
                << "openbox did not start: " << e2e::read_file(wm.err_path);
        }
    }

    void TearDown() override {
        e2e::kill_program(&crane);
        if (display) XCloseDisplay(display);
        e2e::kill_program(&wm);
        e2e::stop_server(&server);
        for (const std::string* path :
             {&crane.out_path, &crane.err_path, &wm.out_path, &wm.err_path})
            if (!path->empty()) unlink(path->c_str());
    }

    // Starts the program and waits for its window.
    void start_crane() {
        ASSERT_TRUE(
            e2e::launch(CRANE_PROGRAM, e2e::mesh_folder(BUILD_FOLDER), server.name(), &crane));
        window = e2e::wait_for_window(display, kTitle, kSoon);
        ASSERT_NE(window, 0u) << "no window; stderr: " << err();
    }

    std::string out() const { return e2e::read_file(crane.out_path); }
    std::string err() const { return e2e::read_file(crane.err_path); }
    std::vector<unsigned> window_pixels() {
        return e2e::grab(display, e2e::client_area(display, window));
    }

    // Frames of the reports printed so far. The last one is left out while the program runs,
    // since it may still be half-written.
    std::vector<int> frames_so_far() {
        bool tail_ok = false;
        std::vector<int> frames = e2e::report_frames(out(), &tail_ok);
        if (!frames.empty()) frames.pop_back();
        return frames;
    }

    // Waits until at least count reports are complete.
    bool wait_reports(size_t count, double seconds) {
        return e2e::wait_until([&] { return frames_so_far().size() >= count; }, seconds);
    }

    // Waits until the client area's pixels satisfy the condition; leaves the last grab in *seen.
    bool wait_picture(const std::function<bool(const std::vector<unsigned>&)>& condition,
                      std::vector<unsigned>* seen, double seconds) {
        return e2e::wait_until(
            [&] {
                *seen = window_pixels();
                return condition(*seen);
            },
            seconds);
    }

    // ---- Checks every desktop shares ----------------------------------------------------------

    void expect_exact_title() {
        char* name = nullptr;
        ASSERT_TRUE(XFetchName(display, window, &name));
        EXPECT_STREQ(name, kTitle);
        XFree(name);
    }

    // The client area is 632 x 425 and the window's outer top-left corner (the frame's, where
    // a window manager decorates it) is the screen's.
    void expect_client_632_by_425_at_the_top_left() {
        e2e::Area area = e2e::client_area(display, window);
        e2e::Extents frame = e2e::frame_extents(display, window);
        EXPECT_EQ(area.x, frame.left);
        EXPECT_EQ(area.y, frame.top);
        EXPECT_EQ(area.width, 632);
        EXPECT_EQ(area.height, 425);
    }

    // Waits for the picture to be mostly black, then has key i turn it mostly white and back.
    void expect_key_i_whitens_the_picture_and_back() {
        auto dark = [](const std::vector<unsigned>& p) {
            return e2e::share(p, false, 20) > 0.4 && e2e::share(p, true, 235) < 0.05;
        };
        auto light = [](const std::vector<unsigned>& p) {
            return e2e::share(p, true, 235) > 0.4 && e2e::share(p, false, 20) < 0.1;
        };
        std::vector<unsigned> seen;
        ASSERT_TRUE(wait_picture(dark, &seen, kSoon))
            << "black share " << e2e::share(seen, false, 20);
        ASSERT_TRUE(e2e::send_key(display, "i"));
        ASSERT_TRUE(wait_picture(light, &seen, kSoon))
            << "after i: white share " << e2e::share(seen, true, 235) << ", black share "
            << e2e::share(seen, false, 20);
        ASSERT_TRUE(e2e::send_key(display, "i"));
        ASSERT_TRUE(wait_picture(dark, &seen, kSoon))
            << "after i again: black share " << e2e::share(seen, false, 20);
    }

    // Waits for ten more reports (fifty frames): the frames go on.
    void expect_frames_go_on(const char* after) {
        size_t before = frames_so_far().size();
        EXPECT_TRUE(wait_reports(before + 10, kSoon))
            << "the frames stopped after " << after << " at " << frames_so_far().size()
            << " reports; stderr: " << err();
    }

    // The program ended by itself with status 0 and nothing on standard error.
    void expect_ended_with_status_zero(const char* after) {
        ASSERT_TRUE(e2e::wait_exit(&crane, kSoon)) << "still running after " << after;
        ASSERT_TRUE(WIFEXITED(crane.status)) << "ended by signal " << WTERMSIG(crane.status);
        EXPECT_EQ(WEXITSTATUS(crane.status), 0);
        EXPECT_EQ(err(), "");
    }

    // Escape ends the process with status 0, and the console holds nothing but well-formed
    // reports in an unbroken frame sequence.
    void expect_escape_ends_an_unbroken_sequence() {
        ASSERT_TRUE(e2e::send_key(display, "Escape"));
        expect_ended_with_status_zero("Escape");
        bool tail_ok = false;
        std::vector<int> frames = e2e::report_frames(out(), &tail_ok);
        EXPECT_TRUE(tail_ok) << "stray output after report " << frames.size();
        EXPECT_EQ(e2e::sequence_break(frames), "");
    }

    bool with_window_manager = false;
    e2e::Server server;
    e2e::Program wm;
    Display* display = nullptr;
    e2e::Program crane;
    Window window = 0;
};

// The same tests on a bare X server and under a reparenting window manager.
class CraneOnDesktop : public CraneOnXvfb, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        with_window_manager = GetParam();
        CraneOnXvfb::SetUp();
    }
};

#define CRANE_ON_EVERY_DESKTOP(suite)                                                              \
    INSTANTIATE_TEST_SUITE_P(Desktop, suite, ::testing::Values(false, true),                       \
                             [](const ::testing::TestParamInfo<bool>& info) {                      \
                                 return std::string(info.param ? "Openbox" : "Bare");              \
                             })

// Tests that only make sense under a window manager.
class CraneUnderWindowManager : public CraneOnXvfb {
  protected:
    void SetUp() override {
        with_window_manager = true;
        CraneOnXvfb::SetUp();
    }
};
