// The real program on outputs of twice the pixel density (sway's and weston's headless ones at
// scale 2): its picture has the output's detail, not that of a drawing half the size enlarged
// by the compositor, and the window keeps its size on the desktop.
#include "tests/e2e/e2e_fixture.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Sharp steps of a picture's level (red + green + blue): two neighbours along a row or a column
// that differ clearly, by most of the change from the pixel before them to the pixel after. A
// drawing half the size enlarged to twice it, by doubling or by interpolation, has them only
// between its 2 x 2 blocks, so along each direction at positions of one parity (even or odd,
// wherever the window lies); a drawing at the picture's own density has them at both alike.
struct SharpSteps {
    int across[2] = {0, 0}; // along rows, by the parity of the column of the step's first pixel
    int down[2] = {0, 0};   // along columns, by the parity of its row
    int all() const { return across[0] + across[1] + down[0] + down[1]; }
    int at_rarer_parity() const {
        return std::min(across[0], across[1]) + std::min(down[0], down[1]);
    }
};

SharpSteps sharp_steps(const std::vector<unsigned>& pixels, int width, const e2e::Area& in) {
    auto level = [&](int x, int y) {
        unsigned p = pixels[(size_t)y * width + x];
        return (int)(p >> 16 & 255) + (int)(p >> 8 & 255) + (int)(p & 255);
    };
    auto sharp = [](int before, int a, int b, int after) {
        int step = b - a, span = after - before;
        return std::abs(step) >= 60 && (long)step * span > 0 &&
               5 * std::abs(step) >= 4 * std::abs(span);
    };
    SharpSteps steps;
    for (int y = in.y; y < in.y + in.height; ++y)
        for (int x = in.x + 1; x + 2 < in.x + in.width; ++x)
            if (sharp(level(x - 1, y), level(x, y), level(x + 1, y), level(x + 2, y)))
                ++steps.across[x % 2];
    for (int x = in.x; x < in.x + in.width; ++x)
        for (int y = in.y + 1; y + 2 < in.y + in.height; ++y)
            if (sharp(level(x, y - 1), level(x, y), level(x, y + 1), level(x, y + 2)))
                ++steps.down[y % 2];
    return steps;
}

// A drawing at twice the density: many sharp steps at the rarer parity, a good share of them all.
bool drawn_at_twice_the_density(const SharpSteps& s) {
    return s.at_rarer_parity() >= 500 && 4 * s.at_rarer_parity() >= s.all();
}

std::string describe(const SharpSteps& s) {
    return std::to_string(s.at_rarer_parity()) + " of " + std::to_string(s.all()) +
           " sharp steps at the rarer parity";
}

// Sway with HEADLESS-1 at scale 1 and, to its right, HEADLESS-2 at scale 2.
class CraneOnOutputsAtScales1And2 : public CraneOnXvfb {
  protected:
    void SetUp() override {
        desktop = Desktop::Sway;
        ASSERT_TRUE(e2e::start_compositor(&sway, {1, 2})) << "sway did not start: " << sway.log();
    }
};

} // namespace

// Opened on the output at scale 1 and moved to the one at scale 2, the window keeps its size and
// its buffer takes the new density: the picture grabbed there, 1264 x 850 pixels, has the detail
// of a drawing of that size, and the drawing fills it.
TEST_F(CraneOnOutputsAtScales1And2, MovedToTheOutputAtScale2ItDrawsAtTwiceTheDensity) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_LT(client_area().x, 1024) << "not opened on the output at scale 1";
    ASSERT_TRUE(e2e::move_to_output(sway, crane.pid, "HEADLESS-2"));
    e2e::Area area{0, 0, 0, 0};
    ASSERT_TRUE(e2e::wait_until([&] { return (area = client_area()).x >= 1024; }, kSoon));
    EXPECT_EQ(area.width, 632);
    EXPECT_EQ(area.height, 425);

    const int width = 2 * area.width, height = 2 * area.height;
    SharpSteps steps;
    double sky_in_bottom_row = 1;
    std::vector<unsigned> seen;
    bool dense = wait_picture(
        [&](const std::vector<unsigned>& p) {
            if (p.size() != (size_t)width * height) return false;
            steps = sharp_steps(p, width, e2e::Area{0, 0, width, height});
            // The ground runs along the whole bottom edge; a drawing given the logical size
            // would leave the right half of it the background's colour, as in the top corner.
            int sky = 0;
            for (int x = 0; x < width; ++x)
                sky += p[(size_t)(height - 1) * width + x] == p[0];
            sky_in_bottom_row = (double)sky / width;
            return drawn_at_twice_the_density(steps) && sky_in_bottom_row < 0.2;
        },
        &seen, kSoon);
    EXPECT_TRUE(dense) << "grabbed " << seen.size() << " pixels; " << describe(steps)
                       << "; background in the bottom row " << sky_in_bottom_row;
}

// Weston at scale 2, where the program draws its own title bar through libdecor: the part of the
// screen that the animation changes has the detail of a drawing at the output's density.
TEST(CraneOnWestonAtScale2, DrawsAtTwiceTheDensity) {
    const double kSoon = 30;
    const int kPanelHeight = 2 * 40; // the shell's panel, whose clock ticks, in output pixels
    e2e::Compositor weston;
    e2e::Program crane;
    struct Cleanup {
        e2e::Compositor& weston;
        e2e::Program& crane;
        ~Cleanup() {
            child::end(&crane);
            e2e::stop_compositor(&weston);
            for (const std::string& path : {crane.out_path, crane.err_path})
                if (!path.empty()) unlink(path.c_str());
        }
    } cleanup{weston, crane};
    ASSERT_TRUE(e2e::start_weston(&weston, 2)) << "weston did not start: " << weston.log();
    ASSERT_TRUE(e2e::launch_client(weston, CRANE_PROGRAM, e2e::mesh_folder(BUILD_FOLDER), &crane));
    bool whole = false;
    ASSERT_TRUE(e2e::wait_until(
        [&] { return e2e::report_frames(e2e::read_file(crane.out_path), &whole).size() >= 20; },
        kSoon))
        << e2e::read_file(crane.err_path);

    // Two pictures of the running animation; where they differ, the window's picture is.
    RenderImage before{0, 0, {}};
    SharpSteps steps;
    bool dense = e2e::wait_until(
        [&] {
            RenderImage now{0, 0, {}};
            if (!e2e::screenshot(weston, &now) || now.width != 2048) return false;
            std::vector<unsigned> pixels((size_t)now.width * now.height);
            for (size_t i = 0; i < pixels.size(); ++i)
                pixels[i] = (unsigned)now.rgba[4 * i] << 16 | (unsigned)now.rgba[4 * i + 1] << 8 |
                            now.rgba[4 * i + 2];
            const e2e::Area changed = e2e::changed_area(before, now, kPanelHeight);
            before = now;
            if (changed.width == 0) return false;
            steps = sharp_steps(pixels, now.width, changed);
            return drawn_at_twice_the_density(steps);
        },
        kSoon);
    EXPECT_TRUE(dense) << describe(steps);
}
