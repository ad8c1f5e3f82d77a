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

int headless_platform_init(PlatTable* table) {
    single_window_fill(table);
#define HEADLESS_FILL(name) table->name = headless_##name;
    SINGLE_WINDOW_BACKEND_OPERATIONS(HEADLESS_FILL)
#undef HEADLESS_FILL
    return headless_display_open();
}

// The programs that link this backend run on it alone.
int plat_select(PlatTable* table) {
    return headless_platform_init(table);
}

// The class is the display: registering opens it, once for the process.
int headless_register_class(int, PlatEventProc proc) {
    if (!headless_display_open()) return 0;
    return single_window_register(proc, [] {
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
