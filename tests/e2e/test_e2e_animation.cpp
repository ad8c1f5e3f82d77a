// The real program with the real mesh files, on an X server and on a Wayland compositor,
// watched while its animation runs: the frame numbers of the console report wrap from 1050 to 0 and
// go on, the keys p, o and i change the picture in the window without stopping the frame sequence,
// and Escape still ends it. With a pace asked for, it draws no faster than that and still
// handles keys.
#include "tests/e2e/e2e_fixture.h"

#include <sys/wait.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

namespace {

// Parts of the 632 x 425 client area, relative to its top-left corner.
// The container at the left: it never moves, and only its model and drawing mode change it.
const e2e::Area kContainer = {20, 280, 202, 125};
// The sky above the ground strips, beside and behind the crane.
const e2e::Area kSky = {0, 0, 632, 230};

// Share of pixels where the two pictures differ by more than limit in some channel.
double changed_share(const std::vector<unsigned>& a, const std::vector<unsigned>& b, int limit) {
    if (a.empty() || a.size() != b.size()) return 1.0;
    size_t changed = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift = 0; shift <= 16; shift += 8) {
            int pa = (a[i] >> shift) & 0xff, pb = (b[i] >> shift) & 0xff;
            if (std::abs(pa - pb) > limit) {
                ++changed;
                break;
            }
        }
    return (double)changed / a.size();
}

// Share of pixels with some channel above 40: lit surface rather than dark background.
double lit_share(const std::vector<unsigned>& pixels) {
    return 1.0 - e2e::share(pixels, false, 40);
}

// The rates printed in the reports of text, in order.
std::vector<double> report_rates(const std::string& text) {
    // A rate is complete once the text after it has begun.
    static const std::regex report("\n([0-9]+\\.[0-9]{2})\tFrames por segundo");
    std::vector<double> rates;
    for (std::sregex_iterator it(text.begin(), text.end(), report), end; it != end; ++it)
        rates.push_back(std::stod((*it)[1]));
    return rates;
}

} // namespace

class CraneAnimation : public CraneOnDesktop {
  protected:
    // Presses the key and waits until ten more reports (fifty frames) came, by which time the
    // key has long been handled and the picture shows it.
    void press_and_let_run(const char* key) {
        ASSERT_TRUE(press(key));
        expect_frames_go_on(key);
    }

    std::vector<unsigned> pixels(const e2e::Area& region) { return window_pixels(&region); }
};

TEST_P(CraneAnimation, FrameSequenceWrapsFrom1050To0AndGoesOn) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    // A full pass and a few frames of the next one: some seconds here, minutes on a machine
    // ten times slower.
    ASSERT_TRUE(wait_reports(e2e::kLastFrame / 5 + 4, 300))
        << "only " << frames_so_far().size() << " reports; " << program_state();
    std::string text = out();
    size_t wrap = text.find("\tTiempo: 1050\n");
    ASSERT_NE(wrap, std::string::npos);
    size_t next = text.find("\tTiempo: ", wrap + 1);
    ASSERT_NE(next, std::string::npos);
    EXPECT_EQ(text.compare(next, 11, "\tTiempo: 0\n"), 0) << text.substr(wrap, 80);

    std::vector<int> frames = frames_so_far();
    EXPECT_EQ(e2e::sequence_break(frames), "");
    EXPECT_EQ(frames[e2e::kLastFrame / 5 - 1], e2e::kLastFrame);
    EXPECT_EQ(frames[e2e::kLastFrame / 5], 0);
    EXPECT_EQ(frames[e2e::kLastFrame / 5 + 1], 5);
    expect_escape_ends_an_unbroken_sequence();
}

TEST_P(CraneAnimation, KeyPSwapsTheContainerModelAndBackWhileTheFramesGoOn) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(10, kSoon));
    std::vector<unsigned> second_variant = pixels(kContainer);
    press_and_let_run("p");
    std::vector<unsigned> first_variant = pixels(kContainer);
    press_and_let_run("p");
    std::vector<unsigned> second_again = pixels(kContainer);

    // The ribbed container against the plain one; the region is still in between.
    EXPECT_GT(changed_share(second_variant, first_variant, 16), 0.06);
    EXPECT_LT(changed_share(second_variant, second_again, 16), 0.01);
    expect_escape_ends_an_unbroken_sequence();
}

TEST_P(CraneAnimation, KeyODrawsSurfacesAsSparsePointsAndBackWhileTheFramesGoOn) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(10, kSoon));
    double solid = lit_share(pixels(kContainer));
    press_and_let_run("o");
    double points = lit_share(pixels(kContainer));
    press_and_let_run("o");
    double solid_again = lit_share(pixels(kContainer));

    EXPECT_GT(solid, 0.4);
    EXPECT_LT(points, 0.1);
    EXPECT_GT(solid_again, 0.4);
    expect_escape_ends_an_unbroken_sequence();
}

TEST_P(CraneAnimation, KeyIWhitensTheSkyAndBackWhileTheFramesGoOn) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(10, kSoon));
    std::vector<unsigned> dark = pixels(kSky);
    press_and_let_run("i");
    std::vector<unsigned> white = pixels(kSky);
    press_and_let_run("i");
    std::vector<unsigned> dark_again = pixels(kSky);

    EXPECT_GT(e2e::share(dark, false, 20), 0.8);
    EXPECT_GT(e2e::share(white, true, 235), 0.8);
    EXPECT_LT(e2e::share(white, false, 20), 0.05);
    EXPECT_GT(e2e::share(dark_again, false, 20), 0.8);
    expect_escape_ends_an_unbroken_sequence();
}

CRANE_ON_DESKTOPS(CraneAnimation, Desktop::Bare,
                  Desktop::Sway CRANE_WINE_DESKTOP CRANE_WEB_DESKTOP);

// A pace of 5 frames a second: the reports, which print the rate drawn, show at most twice that
// (an unpaced run draws hundreds here), from CRANE_FPS and from --fps, which wins over it; keys
// act meanwhile and Escape ends the program as ever.
class CranePaced : public CraneOnXvfb {
  protected:
    void start_paced(const std::vector<std::string>& args, const char* env_fps) {
        std::vector<std::string> argv = {CRANE_PROGRAM};
        argv.insert(argv.end(), args.begin(), args.end());
        const std::string name = server.name();
        ASSERT_TRUE(e2e::launch_argv(
            argv, e2e::mesh_folder(BUILD_FOLDER),
            [&] {
                unsetenv("WAYLAND_DISPLAY");
                unsetenv("XDG_RUNTIME_DIR");
                setenv("DISPLAY", name.c_str(), 1);
                setenv("CRANE_FPS", env_fps, 1);
            },
            &crane));
        window = e2e::wait_for_window(display, kTitle, kSoon);
        ASSERT_NE(window, 0u) << "no window; stderr: " << err();
    }

    // The reports after the first, whose rate divides by the time of day.
    void expect_rate_at_most(double most) {
        ASSERT_TRUE(wait_reports(3, kSoon)) << program_state();
        const std::vector<double> rates = report_rates(out());
        ASSERT_GE(rates.size(), 3u) << out();
        for (size_t i = 1; i < rates.size(); ++i)
            EXPECT_LE(rates[i], most) << "report " << i << " of " << out();
    }
};

TEST_F(CranePaced, RateDrawnStaysNearThePaceWhileKeysAct) {
    ASSERT_NO_FATAL_FAILURE(start_paced({}, "5"));
    expect_rate_at_most(10);
    child::end(&crane);
    unlink(crane.out_path.c_str());
    unlink(crane.err_path.c_str());
    ASSERT_TRUE(e2e::wait_until([&] { return !e2e::wait_for_window(display, kTitle, 0); }, kSoon));

    ASSERT_NO_FATAL_FAILURE(start_paced({"--fps", "5"}, "1000"));
    expect_rate_at_most(10);
    expect_key_i_whitens_the_picture_and_back();
    expect_escape_ends_an_unbroken_sequence();
}
