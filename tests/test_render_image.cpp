// crane-render's pictures: PNG files through libpng, halving, the digit font, the contact sheet.
#include "render/render_image.h"

#include <gtest/gtest.h>

#include "tests/support/read_png.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

RenderImage solid(int width, int height, unsigned char r, unsigned char g, unsigned char b) {
    RenderImage image;
    image.width = width;
    image.height = height;
    image.rgba.resize(size_t(width) * height * 4);
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        image.rgba[i] = r;
        image.rgba[i + 1] = g;
        image.rgba[i + 2] = b;
        image.rgba[i + 3] = 255;
    }
    return image;
}

unsigned char* pixel(RenderImage* image, int x, int y) {
    return &image->rgba[(size_t(y) * image->width + x) * 4];
}

int count_colour(const RenderImage& image, int x0, int y0, int x1, int y1, unsigned char value) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (image.rgba[(size_t(y) * image.width + x) * 4] == value) ++n;
    return n;
}

class TempFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/render-image-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::remove((dir + "/a.png").c_str());
        rmdir(dir.c_str());
    }
    std::string dir;
};

typedef TempFolder RenderPng;

TEST_F(RenderPng, WrittenPictureReadsBackWithTheSamePixels) {
    RenderImage image = solid(7, 5, 10, 20, 30);
    pixel(&image, 0, 0)[0] = 255; // top-left stays top-left
    pixel(&image, 6, 4)[2] = 200;
    pixel(&image, 3, 2)[3] = 0; // alpha is not stored: the file is RGB
    std::string error;
    ASSERT_TRUE(write_png(dir + "/a.png", image, &error)) << error;
    RenderImage back;
    ASSERT_TRUE(read_png(dir + "/a.png", &back, &error)) << error;
    ASSERT_EQ(back.width, 7);
    ASSERT_EQ(back.height, 5);
    pixel(&image, 3, 2)[3] = 255;
    EXPECT_EQ(back.rgba, image.rgba);
}

TEST_F(RenderPng, UnwritablePathIsReported) {
    std::string error;
    EXPECT_FALSE(write_png(dir + "/missing/a.png", solid(2, 2, 0, 0, 0), &error));
    EXPECT_NE(error.find("missing/a.png"), std::string::npos);
}

TEST_F(RenderPng, ReadingSomethingElseFails) {
    FILE* f = std::fopen((dir + "/a.png").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("not a picture at all", f);
    std::fclose(f);
    RenderImage back;
    std::string error;
    EXPECT_FALSE(read_png(dir + "/a.png", &back, &error));
    EXPECT_FALSE(error.empty());
}

TEST(RenderHalfSize, EachPixelIsTheMeanOfItsBlock) {
    RenderImage image = solid(5, 3, 0, 0, 0);
    pixel(&image, 0, 0)[0] = 100;
    pixel(&image, 1, 0)[0] = 200;
    pixel(&image, 0, 1)[0] = 0;
    pixel(&image, 1, 1)[0] = 100;
    const RenderImage half = half_size(image);
    EXPECT_EQ(half.width, 2);
    EXPECT_EQ(half.height, 1);
    EXPECT_EQ(half.rgba[0], 100);
    EXPECT_EQ(half.rgba[4], 0);
    EXPECT_EQ(half.rgba[3], 255);
}

TEST(RenderFont, DigitsHaveTheirOwnShapesAndAdvance) {
    const unsigned char white[3] = {255, 255, 255};
    RenderImage one = solid(40, 20, 0, 0, 0), eight = solid(40, 20, 0, 0, 0);
    EXPECT_EQ(draw_number(&one, 1, 1, 1, 1, white), 6);
    EXPECT_EQ(draw_number(&eight, 1, 1, 8, 1, white), 6);
    const int ones = count_colour(one, 0, 0, 40, 20, 255);
    const int eights = count_colour(eight, 0, 0, 40, 20, 255);
    EXPECT_GT(ones, 5);
    EXPECT_GT(eights, ones);
    // Everything stays inside the 5 x 7 cell.
    EXPECT_EQ(count_colour(one, 1, 1, 6, 8, 255), ones);
}

TEST(RenderFont, NumberIsDrawnDigitByDigitAtScale) {
    const unsigned char white[3] = {255, 255, 255};
    RenderImage image = solid(80, 20, 0, 0, 0);
    EXPECT_EQ(draw_number(&image, 0, 0, 640, 2, white), 36);
    RenderImage six = solid(80, 20, 0, 0, 0);
    draw_number(&six, 0, 0, 6, 2, white);
    // The first cell of "640" is a 6.
    EXPECT_EQ(count_colour(image, 0, 0, 12, 14, 255), count_colour(six, 0, 0, 12, 14, 255));
    EXPECT_GT(count_colour(image, 12, 0, 24, 14, 255), 0);
    EXPECT_GT(count_colour(image, 24, 0, 36, 14, 255), 0);
}

TEST(RenderFont, DrawingOffTheEdgeIsClipped) {
    const unsigned char white[3] = {255, 255, 255};
    RenderImage image = solid(4, 4, 0, 0, 0);
    draw_number(&image, -3, -3, 88, 2, white);
    EXPECT_EQ(image.rgba.size(), 4u * 4 * 4);
}

TEST(RenderContactSheet, ThreeColumnsWithCaptionsBelow) {
    std::vector<RenderImage> thumbs;
    for (int i = 0; i < 4; ++i)
        thumbs.push_back(solid(30, 20, 0, 0, 200));
    const RenderImage sheet = contact_sheet(thumbs, {1, 75, 200, 1051});
    // pad 8, caption 22: 8 + 3 * (30 + 8) by 8 + 2 * (20 + 22 + 8).
    EXPECT_EQ(sheet.width, 122);
    EXPECT_EQ(sheet.height, 108);
    // Thumbnail 4 starts the second row.
    EXPECT_EQ(sheet.rgba[(size_t(58) * sheet.width + 8) * 4 + 2], 200);
    // Its caption sits in the strip under it, in light ink.
    EXPECT_GT(count_colour(sheet, 8, 78, 38, 100, 235), 0);
    // The empty cells of the second row keep the background.
    EXPECT_EQ(count_colour(sheet, 84, 58, 114, 100, 235), 0);
}

TEST(RenderContactSheet, FewerThanThreeFramesMakeANarrowerSheet) {
    const RenderImage sheet = contact_sheet({solid(30, 20, 9, 9, 9)}, {5});
    EXPECT_EQ(sheet.width, 46);
    EXPECT_EQ(sheet.height, 58);
    EXPECT_EQ(contact_sheet({}, {}).width, 0);
}

} // namespace
