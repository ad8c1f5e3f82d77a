#include "tests/support/app_tk_stub.h"

#include "toolkit/tk_shapes.h"

namespace tkstub {
namespace {

std::vector<Call> g_calls;
Registered g_registered;

void record(const char* name, std::vector<double> args, const char* text = "") {
    g_calls.push_back(
        Call{name, std::move(args), text, glrec::calls().size(), glrec::current_modelview()});
}

} // namespace

int open_result = 1;

void reset() {
    g_calls.clear();
    g_registered = Registered();
    open_result = 1;
}

const std::vector<Call>& calls() {
    return g_calls;
}

std::vector<Call> named(const std::string& name) {
    std::vector<Call> out;
    for (const Call& c : g_calls)
        if (c.name == name) out.push_back(c);
    return out;
}

Registered& registered() {
    return g_registered;
}

} // namespace tkstub

using tkstub::record;

void tk_set_display_mode(int mode) {
    record("tk_set_display_mode", {double(mode)});
}
void tk_set_window_rect(int x, int y, int width, int height) {
    record("tk_set_window_rect", {double(x), double(y), double(width), double(height)});
}
int tk_open_window(const char* title) {
    record("tk_open_window", {}, title);
    return tkstub::open_result;
}
void tk_bind_key(int key, TkVoidHandler handler) {
    record("tk_bind_key", {double(key)});
    tkstub::registered().keys.emplace_back(key, handler);
}
void tk_on_reshape(TkReshapeHandler handler) {
    record("tk_on_reshape", {});
    tkstub::registered().reshape = handler;
}
void tk_on_idle(TkVoidHandler handler) {
    record("tk_on_idle", {});
    tkstub::registered().idle = handler;
}
void tk_run(TkVoidHandler display) {
    record("tk_run", {});
    tkstub::registered().display = display;
}
int tk_swap_buffers() {
    record("tk_swap_buffers", {});
    return 1;
}
void tk_solid_box(double width, double height, double depth) {
    record("tk_solid_box", {width, height, depth});
}
