// The simulated event queue: events a test queued, the repaint state, posted requests.
#include "tests/support/sim/sim.h"

// ---- Event queue -----------------------------------------------------------------------------

int sim_peek_event(int kind, TkHandle window) {
    sim_call("peek_event %d %lu", kind, (unsigned long)window);
    if (kind == 0) return !sim.queue.empty() || (sim.window && sim.repaint_pending);
    if (kind == PLAT_EV_REPAINT) return window && window == sim.window && sim.repaint_pending;
    for (const PlatEvent& e : sim.queue)
        if (e.kind == kind && e.window == window) return 1;
    return 0;
}

int sim_get_event(PlatEvent* event) {
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

int sim_dispatch_event(const PlatEvent* event) {
    sim_call("dispatch_event %d %d %d %d", event->kind, event->a, event->b, event->c);
    return sim.proc ? sim.proc(event) : 0;
}

int sim_default_event(const PlatEvent* event) {
    sim_call("default_event %d", event->kind);
    return 0;
}

void sim_post_quit(int code) {
    sim_call("post_quit %d", code);
    sim.queue.push_back(PlatEvent{PLAT_EV_QUIT, 0, code, 0, 0, 0});
}

int sim_post_user_refresh(TkHandle window) {
    if (sim_call("post_user_refresh %lu", (unsigned long)window)) return 0;
    sim.queue.push_back(PlatEvent{PLAT_EV_USER_REFRESH, window, 0, 0, 0, 0});
    return 1;
}

int sim_invalidate(TkHandle window) {
    if (sim_call("invalidate %lu", (unsigned long)window) || window != sim.window) return 0;
    sim.repaint_pending = true;
    return 1;
}

void sim_begin_paint(TkHandle window) {
    sim_call("begin_paint %lu", (unsigned long)window);
    sim.painting = true;
}

void sim_end_paint(TkHandle window) {
    sim_call("end_paint %lu", (unsigned long)window);
    sim.painting = false;
    if (window == sim.window) sim.repaint_pending = false;
}
