// bench-gl-layer: the program's frames drawn through Mesa's own fixed-function GL, or (built
// with BENCH_GLES) through the GL 1.1 layer of web/gl/ over OpenGL ES 3, on the headless
// backend at crane-render's size. Prints the median frame's wall time and the main thread's CPU
// time; for the layer also how that CPU time splits between the ES driver's calls (each one
// timed through the layer's table of entry points) and the rest: the layer's own work with the
// program's calls into it.
//   bench-gl-layer-mesa [FRAMES]   bench-gl-layer-gles3 [FRAMES]
#include "app/main.h"
#include "toolkit/headless/headless_control.h"
#ifdef BENCH_GLES
#include "web/gl/gles_entry_points.h"
#endif

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double now(clockid_t clock) {
    timespec t;
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec * 1e-6;
}

struct Totals {
    double wall = 0, cpu = 0;               // the main thread so far
    double driver_wall = 0, driver_cpu = 0; // within the ES driver's calls
};

Totals g_now;
std::vector<Totals> g_frames; // at the end of each frame

#ifdef BENCH_GLES
// Times the call it is made in: the driver's share of the frame.
struct DriverCall {
    double wall0 = now(CLOCK_MONOTONIC), cpu0 = now(CLOCK_THREAD_CPUTIME_ID);
    ~DriverCall() {
        g_now.driver_wall += now(CLOCK_MONOTONIC) - wall0;
        g_now.driver_cpu += now(CLOCK_THREAD_CPUTIME_ID) - cpu0;
    }
};

#define BENCH_TIMED_ENTRY_POINT(result, name, parameters, arguments)                               \
    result(*driver_gl##name) parameters;                                                           \
    result timed_gl##name parameters {                                                             \
        DriverCall timed;                                                                          \
        return driver_gl##name arguments;                                                          \
    }
GLES_ENTRY_POINTS(BENCH_TIMED_ENTRY_POINT)
#undef BENCH_TIMED_ENTRY_POINT

// The layer keeps entry points already set: the timed ones go in before it loads.
bool time_driver_calls() {
    if (!gles_entry_points_load()) return false;
#define BENCH_WRAP_ENTRY_POINT(result, name, parameters, arguments)                                \
    driver_gl##name = emscripten_gl##name;                                                         \
    emscripten_gl##name = timed_gl##name;
    GLES_ENTRY_POINTS(BENCH_WRAP_ENTRY_POINT)
#undef BENCH_WRAP_ENTRY_POINT
    return true;
}
#endif

void after_frame(int) {
    g_now.wall = now(CLOCK_MONOTONIC);
    g_now.cpu = now(CLOCK_THREAD_CPUTIME_ID);
    g_frames.push_back(g_now);
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// The median over frames of what one frame added to a total.
template <typename Field> double per_frame(Field field) {
    std::vector<double> v;
    for (size_t i = 1; i < g_frames.size(); ++i)
        v.push_back(field(g_frames[i]) - field(g_frames[i - 1]));
    return median(v);
}

} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 800;
    if (frames < 2) {
        std::fprintf(stderr, "usage: %s [FRAMES >= 2]\n", argv[0]);
        return 2;
    }
#ifdef BENCH_GLES
    if (!time_driver_calls()) return 1;
    const char* name = "GL 1.1 layer over OpenGL ES 3";
#else
    const char* name = "Mesa's fixed-function GL    ";
#endif
    egl_backend_set_size(632, 425);
    egl_backend_set_last_frame(frames);
    egl_backend_on_frame(after_frame);
    g_frames.reserve(size_t(frames));
    char* program_argv[] = {argv[0], nullptr};
    // The program's console report goes to standard output; the figures go to standard error.
    if (app_main(1, program_argv) != 0 || int(g_frames.size()) < frames) return 1;

    const double wall = per_frame([](const Totals& t) { return t.wall; });
    const double cpu = per_frame([](const Totals& t) { return t.cpu; });
    std::fprintf(stderr,
                 "\n%s: %d frames at 632x425, median frame %.2f ms, main thread CPU %.2f ms", name,
                 frames, wall, cpu);
#ifdef BENCH_GLES
    const double driver_wall = per_frame([](const Totals& t) { return t.driver_wall; });
    const double driver_cpu = per_frame([](const Totals& t) { return t.driver_cpu; });
    const double own = per_frame([](const Totals& t) { return t.cpu - t.driver_cpu; });
    std::fprintf(stderr,
                 "\n  of which in the layer (with the program's calls into it) %.2f ms CPU;"
                 "\n  in the ES driver's calls %.2f ms CPU, %.2f ms wall",
                 own, driver_cpu, driver_wall);
#endif
    std::fprintf(stderr, "\n");
    return 0;
}
