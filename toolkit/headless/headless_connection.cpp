// The headless backend's window class (the GL display) and process operations, and the table
// that makes it the platform of the programs that link it.
#include "toolkit/headless/headless.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sched.h>
#include <unistd.h>
#endif

#include <cstdio>

// The programs that link this backend run on it alone. The class is the GL display:
// registering opens it, once for the process; a window's surface, context and queued events go
// with the window.
int plat_select(PlatTable* table) {
    SINGLE_WINDOW_BACKEND_OPERATIONS(SINGLE_WINDOW_FILL, headless)
    return single_window_fill(table, headless_display_open, [] {
        headless_context_destroy();
        headless_surface_destroy();
        headless_queue_drop_window_events();
    });
}

void headless_exit_process(int status) {
    // Ends at once, without the exit processing; what was already printed still reaches its
    // destination.
    std::fflush(nullptr);
#ifdef _WIN32
    ExitProcess(static_cast<UINT>(status));
#else
    _exit(status);
#endif
}

void headless_yield() {
#ifdef _WIN32
    Sleep(0);
#else
    sched_yield();
#endif
}
