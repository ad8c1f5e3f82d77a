// The pictures of the GL layer tests: the layer's frames from its helper program, and how far
// two sets of pictures lie apart, reported the way the other picture comparisons report it.
#pragma once

#include "tests/support/child_process.h"
#include "tests/support/picture_difference.h"
#include "render/render_image.h"

#include <cstdio>
#include <string>
#include <vector>

// Runs the helper with the steps as its arguments and reads the frames it writes; empty when it
// fails.
inline std::vector<RenderImage> layer_frames(const std::string& helper,
                                             const std::vector<std::string>& steps) {
    std::vector<std::string> argv = {helper};
    argv.insert(argv.end(), steps.begin(), steps.end());
    const child::Output run = child::run(argv);
    std::vector<RenderImage> frames;
    int width = 0, height = 0, header = 0;
    size_t count = 0;
    if (run.status != 0 ||
        std::sscanf(run.out.c_str(), "%d %d %zu\n%n", &width, &height, &count, &header) != 3 ||
        header == 0)
        return frames;
    size_t at = size_t(header);
    const size_t size = size_t(width) * size_t(height) * 4;
    for (size_t i = 0; i < count && at + size <= run.out.size(); ++i, at += size) {
        RenderImage f;
        f.width = width;
        f.height = height;
        f.rgba.assign(run.out.begin() + long(at), run.out.begin() + long(at + size));
        frames.push_back(f);
    }
    if (frames.size() != count) frames.clear();
    return frames;
}

// The tolerances of the comparisons between the web build and Mesa: the mean difference per
// channel, and the share of pixels off by more than 16 in some channel.
constexpr double kLayerMeanLimit = 2.0;
constexpr double kLayerOver16Limit = 0.02;

inline PictureDifference report_difference(const std::string& what, const RenderImage& layer,
                                           const RenderImage& mesa) {
    const PictureDifference d = picture_difference(layer, mesa);
    std::printf("%s: mean difference %.3f per channel, %.2f %% of pixels off by more than 16\n",
                what.c_str(), d.mean, 100 * d.over_16);
    return d;
}
