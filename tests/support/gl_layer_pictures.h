// The pictures of the GL layer tests: the layer's frames from its helper program, and how far
// two sets of pictures lie apart, reported the way the other picture comparisons report it.
#pragma once

#include "tests/support/picture_difference.h"
#include "render/render_image.h"

#include <cstdio>
#include <string>
#include <vector>

// Runs the helper with the steps as its arguments and reads the frames it writes; empty when it
// fails.
inline std::vector<RenderImage> layer_frames(const std::string& helper,
                                             const std::vector<std::string>& steps) {
    std::string command = "'" + helper + "'";
    for (const std::string& s : steps)
        command += " " + s;
    std::vector<RenderImage> frames;
    FILE* in = popen(command.c_str(), "r");
    if (!in) return frames;
    int width = 0, height = 0;
    size_t count = 0;
    if (std::fscanf(in, "%d %d %zu", &width, &height, &count) == 3 && std::fgetc(in) == '\n') {
        for (size_t i = 0; i < count; ++i) {
            RenderImage f;
            f.width = width;
            f.height = height;
            f.rgba.resize(size_t(width) * height * 4);
            if (std::fread(f.rgba.data(), 1, f.rgba.size(), in) != f.rgba.size()) break;
            frames.push_back(f);
        }
    }
    if (pclose(in) != 0) frames.clear();
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
