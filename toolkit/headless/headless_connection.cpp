// The headless backend's window class (the GL display), version, metrics and process
// operations, and the table that makes it the platform of the programs that link it.
#include "toolkit/headless/headless.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sched.h>
#include <unistd.h>
#endif

#include <cstdio>

int headless_platform_init(PlatTable* table) {
    plat_fill_plain_settings(table);
    plat_fill_true_colour_palette(table);
#define HEADLESS_FILL(result, name, parameters) table->name = headless_##name;
    PLAT_WINDOW_OPERATIONS(HEADLESS_FILL)
#undef HEADLESS_FILL
    return headless_display_open();
}

// The programs that link this backend run on it alone.
int plat_select(PlatTable* table) {
    return headless_platform_init(table);
}

int headless_get_version(PlatVersion* version) {
    *version = PlatVersion{PLAT_VER_PLATFORM_WIN32_NT, 10, 0};
    return 1;
}

// An undecorated window: no frame, caption or border.
int headless_get_system_metric(int) {
    return 0;
}
int headless_adjust_window_rect(PlatRect*) {
    return 1;
}

// The class is the display: registering opens it, once for the process.
int headless_register_class(int, PlatEventProc proc) {
    if (!headless_display_open()) return 0;
    g_headless.registered = true;
    g_headless.proc = proc;
    return 1;
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
