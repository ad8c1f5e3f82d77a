#include "app/command_line.h"

#include <cstring>

#include "app/pace.h"

namespace {

bool set_fps(const char* source, const char* text, CraneOptions* options, std::string* error) {
    options->fps = pace_parse_fps(text);
    if (options->fps > 0) return true;
    *error = std::string(source) + ": '" + text + "' is not a whole number from 1 to " +
             std::to_string(k_pace_max_fps);
    return false;
}

} // namespace

bool parse_crane_args(int argc, const char* const* argv, const char* env_fps, CraneOptions* options,
                      std::string* error) {
    *options = CraneOptions{false, false, 0};
    bool have_fps = false;
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            options->help = true;
        } else if (std::strcmp(arg, "--version") == 0) {
            options->version = true;
        } else if (std::strcmp(arg, "--fps") == 0) {
            if (i + 1 >= argc) {
                *error = "--fps needs a value: frames per second, from 1 to " +
                         std::to_string(k_pace_max_fps);
                return false;
            }
            if (!set_fps("--fps", argv[++i], options, error)) return false;
            have_fps = true;
        } else if (std::strncmp(arg, "--fps=", 6) == 0) {
            if (!set_fps("--fps", arg + 6, options, error)) return false;
            have_fps = true;
        }
    }
    if (options->help || options->version || have_fps) return true;
    if (env_fps && *env_fps) return set_fps("CRANE_FPS", env_fps, options, error);
    return true;
}

const char* crane_usage() {
    return "Usage: crane [--fps N]\n"
           "Plays the crane animation in a window of 632 x 425 pixels, over and over. The\n"
           "seventeen mesh files are read from the working directory.\n"
           "\n"
           "  --fps N        draw at most N frames per second (1 to 1000; 30 shows the story\n"
           "                 at a watchable pace); without it, as fast as the machine draws\n"
           "  --help         this text\n"
           "  --version      the version of crane\n"
           "Other arguments are ignored.\n"
           "\n"
           "Keys: p plain or detailed models, o points, i white or black background,\n"
           "Escape quits. Every fifth frame the rate drawn and the frame number go to\n"
           "standard output. Frames are numbered 1, 2, ..., 1050, 0, 1, ...: one pass of\n"
           "the story is 1051 frames.\n"
           "\n"
           "Environment:\n"
           "  CRANE_FPS=N    as --fps N, when --fps is not given\n"
#ifndef _WIN32
           "  CRANE_PLATFORM wayland or x11: that window system only\n"
           "  WAYLAND_DISPLAY, DISPLAY\n"
           "                 the Wayland compositor tried first, then the X display\n"
#endif
        ;
}

const char* crane_version() {
    return "crane " CRANE_VERSION;
}
