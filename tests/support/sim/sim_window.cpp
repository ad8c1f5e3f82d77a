// The simulated window system: records every call, serves queued events, answers from the
// formats and settings a test gave it, and fails the operations a test names.
#include "tests/sim_platform.h"

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

// ---- Class, version, metrics ------------------------------------------------------------

int plat_register_class(int wide, PlatEventProc proc) {
    if (sim_call("register_class %d", wide)) return 0;
    sim.class_registered = true;
    sim.class_wide = wide;
    sim.proc = proc;
    return 1;
}

int plat_get_version(PlatVersion* version) {
    sim_call("get_version");
    *version = sim.version;
    return 1;
}

int plat_get_system_metric(int which) {
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

int plat_adjust_window_rect(PlatRect* rect) {
    sim_call("adjust_window_rect %d %d %d %d", rect->left, rect->top, rect->right, rect->bottom);
    rect->left -= sim.cx_frame;
    rect->top -= sim.cy_caption - sim.cy_border + sim.cy_frame;
    rect->right += sim.cx_frame;
    rect->bottom += sim.cy_frame;
    return 1;
}

// ---- Windows --------------------------------------------------------------------------------

TkHandle plat_create_window(const char* title, const wchar_t* wide_title, int x, int y, int width,
                            int height, int default_position) {
    if (sim_call("create_window %d %d %d %d %d", x, y, width, height, default_position)) return 0;
    if (default_position) {
        x = sim.default_x;
        y = sim.default_y;
    }
    sim.window = sim.next_handle++;
    sim.window_rect = PlatRect{x, y, x + width, y + height};
    sim.client_width = width - 2 * sim.cx_frame;
    sim.client_height = height - (sim.cy_caption - sim.cy_border + 2 * sim.cy_frame);
    sim.title.clear();
    if (title) sim.title = title;
    if (wide_title)
        for (const wchar_t* p = wide_title; *p; ++p)
            sim.title += (char)*p;
    sim.visible = false;
    sim.current_format = 0;
    return sim.window;
}

int plat_destroy_window(TkHandle window) {
    if (sim_call("destroy_window %lu", (unsigned long)window)) return 0;
    if (!window || window != sim.window) return 0;
    if (sim.proc) {
        PlatEvent event{PLAT_EV_DESTROYED, window, 0, 0, 0, 0};
        sim.proc(&event);
    }
    sim_call("window_gone %lu", (unsigned long)window);
    sim.window = 0;
    sim.visible = false;
    sim.repaint_pending = false;
    return 1;
}

int plat_get_window_rect(TkHandle window, PlatRect* rect) {
    if (sim_call("get_window_rect %lu", (unsigned long)window) || window != sim.window) return 0;
    *rect = sim.window_rect;
    return 1;
}

int plat_get_client_rect(TkHandle window, PlatRect* rect) {
    if (sim_call("get_client_rect %lu", (unsigned long)window) || window != sim.window) return 0;
    *rect = PlatRect{0, 0, sim.client_width, sim.client_height};
    return 1;
}

int plat_show_window(TkHandle window) {
    if (sim_call("show_window %lu", (unsigned long)window)) return 0;
    sim.visible = window == sim.window;
    return 1;
}

TkHandle plat_get_dc(TkHandle window) {
    if (sim_call("get_dc %lu", (unsigned long)window) || window != sim.window) return 0;
    sim.dc = sim.next_handle++;
    return sim.dc;
}

int plat_release_dc(TkHandle window, TkHandle dc) {
    if (sim_call("release_dc %lu %lu", (unsigned long)window, (unsigned long)dc)) return 0;
    if (dc == sim.dc) sim.dc = 0;
    return 1;
}

// ---- Pixel formats and GL contexts -------------------------------------------------------

int plat_choose_pixel_format(TkHandle dc, const PlatPixelFormat* request) {
    if (sim_call("choose_pixel_format %lu %u %d %d %d %d %d %d", (unsigned long)dc, request->flags,
                 request->pixel_type, request->color_bits, request->alpha_bits, request->accum_bits,
                 request->depth_bits, request->stencil_bits))
        return 0;
    if (sim.choose_result >= 0) return sim.choose_result;
    for (size_t i = 0; i < sim.formats.size(); ++i) {
        uint32_t need = PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL;
        if ((sim.formats[i].flags & need) == need) return (int)i + 1;
    }
    return 0;
}

int plat_describe_pixel_format(TkHandle dc, int index, PlatPixelFormat* out) {
    if (sim_call("describe_pixel_format %lu %d", (unsigned long)dc, index)) return 0;
    if (out) {
        if (index == sim.describe_fails_at) return 0;
        if (index < 1 || index > (int)sim.formats.size()) return 0;
        *out = sim.formats[index - 1];
    }
    return (int)sim.formats.size();
}

int plat_get_pixel_format(TkHandle dc) {
    if (sim_call("get_pixel_format %lu", (unsigned long)dc)) return 0;
    return sim.current_format;
}

int plat_set_pixel_format(TkHandle dc, int index, const PlatPixelFormat* format) {
    if (sim_call("set_pixel_format %lu %d %u %d %d", (unsigned long)dc, index, format->flags,
                 format->pixel_type, format->color_bits))
        return 0;
    sim.current_format = index;
    return 1;
}

TkHandle plat_gl_create_context(TkHandle dc) {
    if (sim_call("gl_create_context %lu", (unsigned long)dc)) return 0;
    sim.gl_context = sim.next_handle++;
    return sim.gl_context;
}

int plat_gl_make_current(TkHandle dc, TkHandle context) {
    if (sim_call("gl_make_current %lu %lu", (unsigned long)dc, (unsigned long)context)) return 0;
    sim.current_context = context;
    return 1;
}

int plat_gl_delete_context(TkHandle context) {
    if (sim_call("gl_delete_context %lu", (unsigned long)context)) return 0;
    if (context == sim.gl_context) sim.gl_context = 0;
    return 1;
}

int plat_swap_buffers(TkHandle dc) {
    if (sim_call("swap_buffers %lu", (unsigned long)dc)) return 0;
    ++sim.swaps;
    return 1;
}

// ---- Event queue -----------------------------------------------------------------------------

int plat_peek_event(int kind, TkHandle window) {
    sim_call("peek_event %d %lu", kind, (unsigned long)window);
    if (kind == 0) return !sim.queue.empty() || (sim.window && sim.repaint_pending);
    if (kind == PLAT_EV_REPAINT) return window && window == sim.window && sim.repaint_pending;
    for (const PlatEvent& e : sim.queue)
        if (e.kind == kind && e.window == window) return 1;
    return 0;
}

int plat_get_event(PlatEvent* event) {
    sim_call("get_event");
    if (!sim.queue.empty()) {
        *event = sim.queue.front();
        sim.queue.pop_front();
        return event->kind == PLAT_EV_QUIT ? 0 : 1;
    }
    if (sim.window && sim.repaint_pending) {
        *event = PlatEvent{PLAT_EV_REPAINT, sim.window, 0, 0, 0, 0};
        return 1;
    }
    // A blocking get on an empty queue would wait for ever: a test that gets here forgot to
    // end its loop, so end it as a quit request would.
    sim_call("get_event_starved");
    *event = PlatEvent{PLAT_EV_QUIT, 0, 0, 0, 0, 0};
    return 0;
}

void plat_translate_event(const PlatEvent* event) {
    sim_call("translate_event %d", event->kind);
}

int plat_dispatch_event(const PlatEvent* event) {
    sim_call("dispatch_event %d %d %d %d", event->kind, event->a, event->b, event->c);
    return sim.proc ? sim.proc(event) : 0;
}

int plat_default_event(const PlatEvent* event) {
    sim_call("default_event %d", event->kind);
    return 0;
}

void plat_post_quit(int code) {
    sim_call("post_quit %d", code);
    sim.queue.push_back(PlatEvent{PLAT_EV_QUIT, 0, code, 0, 0, 0});
}

int plat_post_user_refresh(TkHandle window) {
    if (sim_call("post_user_refresh %lu", (unsigned long)window)) return 0;
    sim.queue.push_back(PlatEvent{PLAT_EV_USER_REFRESH, window, 0, 0, 0, 0});
    return 1;
}

int plat_invalidate(TkHandle window) {
    if (sim_call("invalidate %lu", (unsigned long)window) || window != sim.window) return 0;
    sim.repaint_pending = true;
    return 1;
}

void plat_begin_paint(TkHandle window) {
    sim_call("begin_paint %lu", (unsigned long)window);
    sim.painting = true;
}

void plat_end_paint(TkHandle window) {
    sim_call("end_paint %lu", (unsigned long)window);
    sim.painting = false;
    if (window == sim.window) sim.repaint_pending = false;
}

// ---- Input -----------------------------------------------------------------------------------

int plat_key_held(int key) {
    sim_call("key_held %d", key);
    if (key == PLAT_KEY_SHIFT) return sim.shift_held;
    if (key == PLAT_KEY_CONTROL) return sim.control_held;
    return 0;
}

void plat_capture_mouse(TkHandle window) {
    sim_call("capture_mouse %lu", (unsigned long)window);
    sim.capture = window;
}

void plat_release_mouse() {
    sim_call("release_mouse");
    sim.capture = 0;
}

int plat_get_cursor_pos(int* x, int* y) {
    if (sim_call("get_cursor_pos")) return 0;
    *x = sim.cursor_x;
    *y = sim.cursor_y;
    return 1;
}

TkHandle plat_get_focus() {
    sim_call("get_focus");
    return sim.focus;
}

// ---- Process ---------------------------------------------------------------------------------

int plat_message_box(TkHandle owner, const char* text, const char* caption) {
    sim_call("message_box %s", caption);
    sim.boxes.push_back(SimState::Box{caption, text, owner});
    return 1;
}

void plat_exit_process(int status) {
    sim_call("exit_process %d", status);
    sim.exit_status = status;
    if (sim.exit_jump) std::longjmp(*sim.exit_jump, 1);
    _exit(status);
}

void plat_yield() {
    sim_call("yield");
}
