// Command line of crane-render.
#pragma once

#include <string>
#include <vector>

// A key delivered before a frame: a letter or digit as typed, or 13, 27, 32.
struct RenderKey {
    int frame;
    int key;
};

struct RenderOptions {
    std::vector<int> frames; // frames to save, ascending, each once
    std::string out_dir;     // where frame-NNNN.png go
    std::vector<RenderKey> keys;
    int width;
    int height;
    std::string sheet; // contact sheet file, empty: none
    int bench;         // frames to draw and time, 0: no benchmark
    std::string video; // video file of the chosen frames, empty: none
    int fps;           // frames per second of the video
    bool gles3;        // draw through the GL 1.1 layer over OpenGL ES 3 instead of Mesa's GL
    bool help;
    bool version;
};

// The highest frame number accepted anywhere on the command line.
const int k_render_max_frame = 1000000;
// Frames of one whole pass of the animation: what a video shows unless --frames says otherwise.
const int k_render_pass_frames = 1051;

// Fills options from the arguments after the program name. False with a one-line reason in
// error when they are not usable.
bool parse_render_args(int argc, const char* const* argv, RenderOptions* options,
                       std::string* error);
// The last frame the run must draw: the highest saved frame or the benchmark's length.
int render_last_frame(const RenderOptions& options);
const char* render_usage();
// True when the file name's extension names a video format crane-render writes.
bool video_name_usable(const std::string& path);
