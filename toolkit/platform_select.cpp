// How crane chooses its backend: the one CRANE_PLATFORM names ("wayland" or "x11"), otherwise
// the first whose window system answers, in this order. X11 comes last and serves even when no
// X server can be reached, so that the failure is reported the usual way (standard error for
// the boxes).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "toolkit/platform.h"
#include "toolkit/wayland/wayland.h"
#include "toolkit/x11/x11.h"

namespace {

// Where the Wayland backend looked for a compositor: WAYLAND_DISPLAY (a path, or a name in
// XDG_RUNTIME_DIR) or wayland-0 there.
std::string wayland_socket() {
    const char* name = getenv("WAYLAND_DISPLAY");
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    const std::string socket = name && *name ? name : "wayland-0";
    if (socket[0] == '/') return socket;
    if (!runtime || !*runtime) return socket + " (XDG_RUNTIME_DIR is not set)";
    return std::string(runtime) + "/" + socket;
}

std::string x_display() {
    const char* display = getenv("DISPLAY");
    if (!display || !*display) return "no X display (DISPLAY is not set)";
    return std::string("no X display at DISPLAY=") + display;
}

// With no window system to open a window on, one line names what was tried, before the
// toolkit's own message says that the window could not be opened.
int nothing_answered(bool wayland, bool x11, const char* forced) {
    std::string tried;
    if (wayland) tried = "no Wayland compositor at " + wayland_socket();
    if (wayland && x11) tried += ", ";
    if (x11) tried += x_display();
    if (forced && *forced) tried += std::string(" (CRANE_PLATFORM=") + forced + ")";
    fprintf(stderr, "crane: %s\n", tried.c_str());
    return 0;
}

} // namespace

int plat_select(PlatTable* table) {
    const char* forced = getenv("CRANE_PLATFORM");
    if (forced && *forced) {
        if (strcmp(forced, "wayland") == 0)
            return wayland_platform_init(table) || nothing_answered(true, false, forced);
        if (strcmp(forced, "x11") == 0)
            return x11_platform_init(table) || nothing_answered(false, true, forced);
        fprintf(stderr,
                "crane: unknown CRANE_PLATFORM \"%s\" (wayland or x11), choosing by what answers\n",
                forced);
    }
    if (wayland_platform_init(table)) return 1;
    return x11_platform_init(table) || nothing_answered(true, true, forced);
}
