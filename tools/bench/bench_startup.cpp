// Start-up probe: the real program, with a few of its calls wrapped to note when static
// initialisation began, when the entry point was reached, when the pixel format was chosen (the
// GL driver is loaded by then), when the context was made current and when the first frame was
// presented. Prints one line on standard error and ends at the first frame. Benchmark only.
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

double monotonic_ms() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// Runs before the models (priority 1000) start reading their files.
__attribute__((init_priority(101))) struct StartMark { double ms = monotonic_ms(); } g_start;

double g_main_ms = 0, g_format_ms = 0, g_current_ms = 0;

} // namespace

struct PlatPixelFormat;

extern "C" int __real__Z8app_mainiPPc(int argc, char** argv);
extern "C" int __real__Z24plat_choose_pixel_formatmPK15PlatPixelFormat(uintptr_t,
                                                                       const PlatPixelFormat*);
extern "C" int __real__Z20plat_gl_make_currentmm(uintptr_t, uintptr_t);
extern "C" int __real__Z15tk_swap_buffersv();

extern "C" int __wrap__Z8app_mainiPPc(int argc, char** argv) {
    g_main_ms = monotonic_ms();
    return __real__Z8app_mainiPPc(argc, argv);
}

extern "C" int
__wrap__Z24plat_choose_pixel_formatmPK15PlatPixelFormat(uintptr_t dc,
                                                        const PlatPixelFormat* request) {
    int result = __real__Z24plat_choose_pixel_formatmPK15PlatPixelFormat(dc, request);
    if (!g_format_ms) g_format_ms = monotonic_ms();
    return result;
}

extern "C" int __wrap__Z20plat_gl_make_currentmm(uintptr_t dc, uintptr_t context) {
    int result = __real__Z20plat_gl_make_currentmm(dc, context);
    if (!g_current_ms && context) g_current_ms = monotonic_ms();
    return result;
}

extern "C" int __wrap__Z15tk_swap_buffersv() {
    int result = __real__Z15tk_swap_buffersv();
    std::fprintf(stderr,
                 "startup-probe: static-init %.3f main %.3f format %.3f current %.3f "
                 "first-frame %.3f\n",
                 g_start.ms, g_main_ms, g_format_ms, g_current_ms, monotonic_ms());
    _exit(0);
    return result;
}
