// crane's command line: --help, --version and the opt-in pace (--fps N, or CRANE_FPS=N in the
// environment); every other argument is ignored, as the program always has.
#pragma once

#include <string>

struct CraneOptions {
    bool help;
    bool version;
    int fps; // 0: no pace
};

// Fills options from the arguments after the program name and the value of CRANE_FPS (null
// when unset; the command line wins over it). False with a one-line reason in error for a pace
// that is not a whole number from 1 to 1000.
bool parse_crane_args(int argc, const char* const* argv, const char* env_fps, CraneOptions* options,
                      std::string* error);
const char* crane_usage();
// "crane" and the project's version.
const char* crane_version();
