// How crane chooses its backend: the one CRANE_PLATFORM names ("wayland" or "x11"), otherwise
// the first whose window system answers, in this order. X11 comes last and serves even when no
// X server can be reached, so that the failure is reported the usual way (standard error for
// the boxes).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "toolkit/platform.h"
#include "toolkit/wayland/wayland.h"
#include "toolkit/x11/x11.h"

int plat_select(PlatTable* table) {
    const char* forced = getenv("CRANE_PLATFORM");
    if (forced && *forced) {
        if (strcmp(forced, "wayland") == 0) return wayland_platform_init(table);
        if (strcmp(forced, "x11") == 0) return x11_platform_init(table);
        fprintf(stderr,
                "crane: unknown CRANE_PLATFORM \"%s\" (wayland or x11), choosing by what answers\n",
                forced);
    }
    if (wayland_platform_init(table)) return 1;
    return x11_platform_init(table);
}
