// The real program under Xvfb with the real mesh files, watched while its animation runs: the
// frame numbers of the console report wrap from 1050 to 0 and go on, the keys p, o and i change
// the picture in the window without stopping the frame sequence, and Escape still ends it.
#include "tests/e2e/e2e_fixture.h"

#include <sys/wait.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

namespace {

const int kLastFrame = 1050;

// Parts of the 632 x 425 client area, relative to its top-left corner.
struct Region {
    int x, y, width, height;
};
// The container at the left: it never moves, and only its model and drawing mode change it.
const Region kContainer = {20, 280, 202, 125};
// The sky above the ground strips, beside and behind the crane.
const Region kSky = {0, 0, 632, 230};

// The frame numbers of the complete reports in text; *tail_ok tells whether the text is made of
// nothing but well-formed reports.
std::vector<int> report_frames(const std::string& text, bool* tail_ok) {
    static const std::regex report("\n[0-9]+\\.[0-9]{2}\tFrames por segundo\\.\tTiempo: ([0-9]+)");
    std::vector<int> frames;
    size_t covered = 0;
    for (std::sregex_iterator it(text.begin(), text.end(), report), end; it != end; ++it) {
        if ((size_t)it->position() != covered) break;
        covered += it->length();
        frames.push_back(std::atoi((*it)[1].str().c_str()));
    }
    *tail_ok = covered == text.size();
    return frames;
}

// Empty when every report is the one five frames after its predecessor, with 0 after 1050,
// starting at frame 5; else where the sequence breaks.
std::string sequence_break(const std::vector<int>& frames) {
    for (size_t i = 0; i < frames.size(); ++i) {
        int expected = i == 0 ? 5 : frames[i - 1] == kLastFrame ? 0 : frames[i - 1] + 5;
        if (frames[i] != expected)
            return "report " + std::to_string(i) + " is frame " + std::to_string(frames[i]) +
                   ", expected " + std::to_string(expected);
    }
    return "";
}

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

} // namespace

class CraneAnimation : public CraneOnXvfb {
  protected:
    // Frames of the reports printed so far. The last one is left out while the program runs,
    // since it may still be half-written.
    std::vector<int> frames_so_far() {
        bool tail_ok = false;
        std::vector<int> frames = report_frames(out(), &tail_ok);
        if (!frames.empty()) frames.pop_back();
        return frames;
    }

    // Waits until at least count reports are complete.
    bool wait_reports(size_t count, double seconds) {
        for (double waited = 0; waited < seconds; waited += 0.05) {
            if (frames_so_far().size() >= count) return true;
            e2e::sleep_seconds(0.05);
        }
        return false;
    }

    // Presses the key and waits until ten more reports (fifty frames) came, by which time the
    // key has long been handled and the picture shows it.
    void press_and_let_run(const char* key) {
        size_t before = frames_so_far().size();
        ASSERT_TRUE(e2e::send_key(display, key));
        ASSERT_TRUE(wait_reports(before + 10, 20))
            << "the frames stopped after " << key << "; stderr: " << err();
    }

    std::vector<unsigned> pixels(const Region& region) {
        e2e::Area client = e2e::client_area(display, window);
        return e2e::grab(display,
                         {client.x + region.x, client.y + region.y, region.width, region.height});
    }

    // Escape ends the process with status 0, and the console holds nothing but well-formed
    // reports in an unbroken frame sequence.
    void expect_escape_ends_an_unbroken_sequence() {
        ASSERT_TRUE(e2e::send_key(display, "Escape"));
        ASSERT_TRUE(e2e::wait_exit(&crane, 5)) << "still running after Escape";
        ASSERT_TRUE(WIFEXITED(crane.status));
        EXPECT_EQ(WEXITSTATUS(crane.status), 0);
        EXPECT_EQ(err(), "");
        bool tail_ok = false;
        std::vector<int> frames = report_frames(out(), &tail_ok);
        EXPECT_TRUE(tail_ok) << "stray output after report " << frames.size();
        EXPECT_EQ(sequence_break(frames), "");
    }
};

TEST_F(CraneAnimation, FrameSequenceWrapsFrom1050To0AndGoesOn) {
    start_crane();
    // A full pass and a few frames of the next one.
    ASSERT_TRUE(wait_reports(kLastFrame / 5 + 4, 45))
        << "only " << frames_so_far().size() << " reports";
    std::string text = out();
    size_t wrap = text.find("\tTiempo: 1050\n");
    ASSERT_NE(wrap, std::string::npos);
    size_t next = text.find("\tTiempo: ", wrap + 1);
    ASSERT_NE(next, std::string::npos);
    EXPECT_EQ(text.compare(next, 11, "\tTiempo: 0\n"), 0) << text.substr(wrap, 80);

    std::vector<int> frames = frames_so_far();
    EXPECT_EQ(sequence_break(frames), "");
    EXPECT_EQ(frames[kLastFrame / 5 - 1], kLastFrame);
    EXPECT_EQ(frames[kLastFrame / 5], 0);
    EXPECT_EQ(frames[kLastFrame / 5 + 1], 5);
    expect_escape_ends_an_unbroken_sequence();
}

TEST_F(CraneAnimation, KeyPSwapsTheContainerModelAndBackWhileTheFramesGoOn) {
    start_crane();
    ASSERT_TRUE(wait_reports(10, 20));
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

TEST_F(CraneAnimation, KeyODrawsSurfacesAsSparsePointsAndBackWhileTheFramesGoOn) {
    start_crane();
    ASSERT_TRUE(wait_reports(10, 20));
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

TEST_F(CraneAnimation, KeyIWhitensTheSkyAndBackWhileTheFramesGoOn) {
    start_crane();
    ASSERT_TRUE(wait_reports(10, 20));
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
