// The simulated window system: the recording every operation goes through, the window class,
// version, metrics and process operations, and the table that makes it the tests' platform.
#include "tests/support/sim/sim.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <unistd.h>

SimState sim;

void sim_reset() {
    // A registered class outlives everything else, as it does in a real process.
    PlatEventProc proc = sim.proc;
    bool registered = sim.class_registered;
    int wide = sim.class_wide;
    sim = SimState{};
    sim.proc = proc;
    sim.class_registered = registered;
    sim.class_wide = wide;
}

bool sim_call(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    sim.calls.push_back(text);
    const char* blank = strchr(text, ' ');
    std::string name = blank ? std::string(text, (size_t)(blank - text)) : std::string(text);
    auto once = sim.fail_times.find(name);
    if (once != sim.fail_times.end() && once->second > 0) {
        --once->second;
        return true;
    }
    return sim.failing.count(name) != 0;
}

void sim_queue(int kind, int a, int b, int c) {
    sim.queue.push_back(PlatEvent{kind, sim.window, a, b, c, 0});
}

int sim_find(const std::string& prefix, int from) {
    for (int i = from < 0 ? 0 : from; i < (int)sim.calls.size(); ++i)
        if (sim.calls[i].compare(0, prefix.size(), prefix) == 0) return i;
    return -1;
}

int sim_count(const std::string& prefix) {
    int n = 0;
    for (const std::string& c : sim.calls)
        if (c.compare(0, prefix.size(), prefix) == 0) ++n;
    return n;
}

std::vector<std::string> sim_names(const std::set<std::string>& skip) {
    std::vector<std::string> names;
    for (const std::string& c : sim.calls) {
        std::string name = c.substr(0, c.find(' '));
        if (!skip.count(name)) names.push_back(name);
    }
    return names;
}

PlatPixelFormat sim_format(int color_bits, bool double_buffer, int depth_bits) {
    PlatPixelFormat f{};
    f.size = PLAT_PFD_SIZE;
    f.version = PLAT_PFD_VERSION;
    f.flags = PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL;
    if (double_buffer) f.flags |= PLAT_PFD_DOUBLEBUFFER;
    f.pixel_type = PLAT_PFD_TYPE_RGBA;
    f.color_bits = color_bits;
    f.red_bits = f.green_bits = f.blue_bits = color_bits / 3;
    f.green_shift = color_bits / 3;
    f.blue_shift = 2 * (color_bits / 3);
    f.depth_bits = depth_bits;
    f.layer_type = PLAT_PFD_MAIN_PLANE;
    return f;
}

int plat_select(PlatTable* table) {
#define SIM_FILL(result, name, parameters) table->name = sim_##name;
    PLAT_OPERATIONS(SIM_FILL)
#undef SIM_FILL
    return 1;
}

// ---- Class, version, metrics ------------------------------------------------------------

int sim_register_class(int wide, PlatEventProc proc) {
    if (sim_call("register_class %d", wide)) return 0;
    sim.class_registered = true;
    sim.class_wide = wide;
    sim.proc = proc;
    return 1;
}

int sim_get_version(PlatVersion* version) {
    sim_call("get_version");
    *version = sim.version;
    return 1;
}

int sim_get_system_metric(int which) {
    sim_call("get_system_metric %d", which);
    switch (which) {
    case PLAT_SM_CXFRAME:
        return sim.cx_frame;
    case PLAT_SM_CYFRAME:
        return sim.cy_frame;
    case PLAT_SM_CYCAPTION:
        return sim.cy_caption;
    case PLAT_SM_CYBORDER:
        return sim.cy_border;
    }
    return 0;
}

int sim_adjust_window_rect(PlatRect* rect) {
    sim_call("adjust_window_rect %d %d %d %d", rect->left, rect->top, rect->right, rect->bottom);
    rect->left -= sim.cx_frame;
    rect->top -= sim.cy_caption - sim.cy_border + sim.cy_frame;
    rect->right += sim.cx_frame;
    rect->bottom += sim.cy_frame;
    return 1;
}

// ---- Process ---------------------------------------------------------------------------------

void sim_exit_process(int status) {
    sim_call("exit_process %d", status);
    sim.exit_status = status;
    if (sim.exit_jump) std::longjmp(*sim.exit_jump, 1);
    _exit(status);
}

void sim_yield() {
    sim_call("yield");
}
