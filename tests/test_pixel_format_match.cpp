// The pixel-format matcher that every backend's choice goes through.
#include "toolkit/pixel_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

PlatPixelFormat format(int depth, bool double_buffer = true, int alpha = 0, int stencil = 0) {
    PlatPixelFormat f{};
    f.flags = PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL;
    if (double_buffer) f.flags |= PLAT_PFD_DOUBLEBUFFER;
    f.pixel_type = PLAT_PFD_TYPE_RGBA;
    f.color_bits = 24;
    f.alpha_bits = alpha;
    f.depth_bits = depth;
    f.stencil_bits = stencil;
    f.layer_type = PLAT_PFD_MAIN_PLANE;
    return f;
}

int match(const PlatPixelFormat& request, const std::vector<PlatPixelFormat>& candidates) {
    return pixel_format_match(&request, candidates.data(), (int)candidates.size());
}

TEST(PixelFormatMatch, RequestWithoutDepthGetsTheDefaultDepthNeverNone) {
    PlatPixelFormat request = format(0);
    EXPECT_EQ(match(request, {format(0), format(16), format(24), format(32)}), 3);
    EXPECT_EQ(match(request, {format(0), format(16)}), 2);
    EXPECT_EQ(match(request, {format(0), format(0, false)}), 0);
}

TEST(PixelFormatMatch, RequestedDepthIsMatchedClosest) {
    EXPECT_EQ(match(format(16), {format(24), format(16), format(32)}), 2);
    EXPECT_EQ(match(format(32), {format(16), format(24)}), 2);
}

TEST(PixelFormatMatch, TypeAndBufferingMustAgreeAndUnaskedBuffersAreAvoided) {
    PlatPixelFormat index = format(24);
    index.pixel_type = PLAT_PFD_TYPE_COLORINDEX;
    EXPECT_EQ(match(index, {format(24)}), 0);
    EXPECT_EQ(match(format(24), {format(24, false), format(24, true)}), 2);
    EXPECT_EQ(match(format(24), {format(24, true, 8), format(24, true, 0, 8), format(24)}), 3);
    EXPECT_EQ(match(format(24, true, 8), {format(24), format(24, true, 8)}), 2);
}

TEST(PixelFormatMatch, FirstOfEqualCandidatesWins) {
    EXPECT_EQ(match(format(24), {format(16), format(24), format(24)}), 2);
}

} // namespace
