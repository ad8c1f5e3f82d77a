// How far two pictures of the same size lie apart, as the picture comparisons of the tests
// measure it: the mean difference per channel, and the shares of pixels off by more than 2 and
// by more than 16 in some channel.
#pragma once

#include <algorithm>
#include <cstdlib>

#include "render/render_image.h"

struct PictureDifference {
    double mean = 255;
    double over_2 = 1, over_16 = 1;
};

// Pictures of different sizes, or empty ones, lie as far apart as can be.
inline PictureDifference picture_difference(const RenderImage& a, const RenderImage& b) {
    PictureDifference d;
    if (a.width != b.width || a.height != b.height || a.rgba.empty()) return d;
    double total = 0;
    size_t over_2 = 0, over_16 = 0;
    for (size_t i = 0; i < a.rgba.size(); i += 4) {
        int most = 0;
        for (int c = 0; c < 3; ++c) {
            const int diff = std::abs(a.rgba[i + c] - b.rgba[i + c]);
            total += diff;
            most = std::max(most, diff);
        }
        over_2 += most > 2;
        over_16 += most > 16;
    }
    const double pixels = a.rgba.size() / 4.0;
    d.mean = total / (3 * pixels);
    d.over_2 = over_2 / pixels;
    d.over_16 = over_16 / pixels;
    return d;
}
