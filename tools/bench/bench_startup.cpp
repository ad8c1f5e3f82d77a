// Start-up probe: the real program on the X11 backend, with its own entry point and platform
// table to note when static initialisation began, when the entry point was reached, when the
// pixel format was chosen (the GL driver is loaded by then), when the context was made current
// and when the first frame was presented. Prints one line on standard error and ends at the
// first frame. Benchmark only.
#include <cstdio>
#include <ctime>
#include <unistd.h>

#include "app/main.h"
#include "toolkit/platform.h"
#include "toolkit/x11/x11.h"

namespace {

double monotonic_ms() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// Runs before the models (priority 1000) start reading their files.
__attribute__((init_priority(101))) struct StartMark { double ms = monotonic_ms(); } g_start;

double g_main_ms = 0, g_format_ms = 0, g_current_ms = 0;

int choose_pixel_format(TkHandle dc, const PlatPixelFormat* request) {
    int result = x11_choose_pixel_format(dc, request);
    if (!g_format_ms) g_format_ms = monotonic_ms();
    return result;
}

int gl_make_current(TkHandle dc, TkHandle context) {
    int result = x11_gl_make_current(dc, context);
    if (!g_current_ms && context) g_current_ms = monotonic_ms();
    return result;
}

int swap_buffers(TkHandle dc) {
    x11_swap_buffers(dc);
    std::fprintf(stderr,
                 "startup-probe: static-init %.3f main %.3f format %.3f current %.3f "
                 "first-frame %.3f\n",
                 g_start.ms, g_main_ms, g_format_ms, g_current_ms, monotonic_ms());
    _exit(0);
}

} // namespace

// The X11 backend, timed at three of its operations.
int plat_select(PlatTable* table) {
    int answered = x11_platform_init(table);
    table->choose_pixel_format = choose_pixel_format;
    table->gl_make_current = gl_make_current;
    table->swap_buffers = swap_buffers;
    return answered;
}

int main(int argc, char** argv) {
    g_main_ms = monotonic_ms();
    return app_main(argc, argv);
}
