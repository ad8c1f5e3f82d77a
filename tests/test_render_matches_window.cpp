// The same picture from both backends: crane in its window under Xvfb (GLX on Mesa) and
// crane-render on the headless backend. The program animates freely in its window, so the
// comparison looks only where nothing moves during a pass (the container, the ground and the
// tower's foot on the left) and grabs until it matches, because the falling stone passes
// through that area for a moment of each pass.
#include "tests/e2e/e2e_fixture.h"
#include "render/render_image.h"

#include <gtest/gtest.h>

#include "tests/support/read_png.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const int k_width = 632;
const int k_height = 425;
// Left half of the lower third: container, ground strips, the foot of the tower.
const e2e::Area k_still = {0, 310, 300, k_height - 310};

struct Difference {
    double mean;      // mean absolute difference per channel
    double far_share; // share of pixels with a channel off by more than 24
};

Difference compare(const std::vector<unsigned>& window, const RenderImage& picture) {
    double sum = 0;
    int far = 0;
    for (int y = 0; y < k_still.height; ++y)
        for (int x = 0; x < k_still.width; ++x) {
            const unsigned w = window[size_t(y + k_still.y) * k_width + x + k_still.x];
            const unsigned char* p =
                &picture.rgba[(size_t(y + k_still.y) * picture.width + x + k_still.x) * 4];
            const int d[3] = {std::abs(int((w >> 16) & 255) - p[0]),
                              std::abs(int((w >> 8) & 255) - p[1]), std::abs(int(w & 255) - p[2])};
            sum += d[0] + d[1] + d[2];
            if (d[0] > 24 || d[1] > 24 || d[2] > 24) ++far;
        }
    const double n = double(k_still.width) * k_still.height;
    return {sum / (3 * n), far / n};
}

// Frame 2 from crane-render, with key i before it when light is set.
RenderImage render_frame_2(bool light) {
    char pattern[] = "/tmp/render-match-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    std::vector<std::string> argv = {CRANE_RENDER_EXE, "--frames", "2", "--out", dir};
    if (light) argv.insert(argv.end(), {"--key", "2:i"});
    RenderImage image = {0, 0, {}};
    std::string error;
    if (child::run(argv).status == 0) read_png(dir + "/frame-0002.png", &image, &error);
    child::run({"rm", "-rf", dir});
    return image;
}

class WindowAndRender : public CraneOnXvfb {
  protected:
    // Grabs the window until the still part matches the picture (the falling stone passes
    // through it for a moment of each pass) or the deadline passes; the best match seen.
    Difference wait_for_match(const RenderImage& picture) {
        Difference best = {1e9, 1.0};
        e2e::wait_until(
            [&] {
                const std::vector<unsigned> pixels = window_pixels();
                if (pixels.size() != size_t(k_width) * k_height) return false;
                const Difference d = compare(pixels, picture);
                if (d.mean < best.mean) best = d;
                return best.mean < 3.0 && best.far_share < 0.02;
            },
            kSoon);
        return best;
    }
};

TEST_F(WindowAndRender, StillPartOfThePictureMatchesThroughAKeyRepaint) {
    const RenderImage dark = render_frame_2(false);
    const RenderImage light = render_frame_2(true);
    ASSERT_EQ(dark.width, k_width);
    ASSERT_EQ(light.width, k_width);
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_EQ(e2e::client_area(display, window).width, k_width);
    ASSERT_EQ(e2e::client_area(display, window).height, k_height);

    const Difference before = wait_for_match(dark);
    std::printf("dark: mean difference %.3f, far pixels %.4f\n", before.mean, before.far_share);
    EXPECT_LT(before.mean, 3.0);
    EXPECT_LT(before.far_share, 0.02);

    // The key's repaint turns the window white; the animation goes on.
    ASSERT_TRUE(e2e::send_key(display, "i"));
    const Difference after = wait_for_match(light);
    std::printf("light: mean difference %.3f, far pixels %.4f\n", after.mean, after.far_share);
    EXPECT_LT(after.mean, 3.0);
    EXPECT_LT(after.far_share, 0.02);
    // The comparison can tell the two looks apart.
    EXPECT_GT(compare(window_pixels(), dark).mean, 20.0);
}

} // namespace
