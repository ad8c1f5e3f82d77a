#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/command_line.h"
#include "app/main.h"
#include "app/pace.h"

int main(int argc, char** argv) {
    CraneOptions options;
    std::string error;
    if (!parse_crane_args(argc - 1, argv + 1, std::getenv("CRANE_FPS"), &options, &error)) {
        std::fprintf(stderr, "crane: %s\nTry 'crane --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(crane_usage(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("%s\n", crane_version());
        return 0;
    }
    pace_start(&g_pace, options.fps);
    return app_main(argc, argv);
}
