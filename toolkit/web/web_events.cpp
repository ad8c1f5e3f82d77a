// The web event queue: the page's input (web_backend.js) fills it, the toolkit's own posts join
// it, and the window's repaint state stands behind it, reported after every queued event.
#include "toolkit/web/web.h"

#include <emscripten.h>

namespace {

// The event kinds and key ids as the page's side names them.
const int k_names[] = {
    PLAT_EV_RESIZED,     PLAT_EV_CLOSE_REQUEST, PLAT_EV_KEY_PRESSED, PLAT_EV_CHAR_TYPED,
    PLAT_EV_MOUSE_MOVED, PLAT_EV_BUTTON_DOWN,   PLAT_EV_BUTTON_UP,   PLAT_EV_ACTIVATE,
    PLAT_EV_QUIT,        PLAT_EV_USER_REFRESH,  PLAT_KEY_RETURN,     PLAT_KEY_ESCAPE,
    PLAT_KEY_SPACE,      PLAT_KEY_LEFT,         PLAT_KEY_UP,         PLAT_KEY_RIGHT,
    PLAT_KEY_DOWN,       PLAT_KEY_SHIFT,        PLAT_KEY_CONTROL,    PLAT_KEY_OTHER};

} // namespace

// clang-format off
EM_JS(void, web_page_name_events, (const int* n), {
    const names = ["resized", "close", "key", "char", "moved", "down", "up", "activate", "quit",
                   "refresh"];
    const keys = ["return", "escape", "space", "left", "up", "right", "down", "shift", "control",
                  "other"];
    WebBackend.kinds = {};
    WebBackend.keys = {};
    names.forEach((name, i) => WebBackend.kinds[name] = HEAP32[(n >> 2) + i]);
    keys.forEach((name, i) => WebBackend.keys[name] = HEAP32[(n >> 2) + names.length + i]);
});
EM_JS(int, web_page_pending, (), { return WebBackend.queue.length; });
EM_JS(int, web_page_pending_kind, (int kind), {
    return WebBackend.queue.some((e) => e[0] == kind) ? 1 : 0;
});
// The next event's kind, a, b, c and the Shift and Control state with it, into out[0..5].
EM_JS(int, web_page_take, (int* out), {
    const e = WebBackend.queue.shift();
    if (!e) return 0;
    for (let i = 0; i < 6; ++i) HEAP32[(out >> 2) + i] = e[i];
    return 1;
});
EM_JS(void, web_page_post, (int kind, int a), { WebBackend.push(kind, a, 0, 0); });
EM_JS(void, web_page_drop_window_events, (), { WebBackend.dropWindowEvents(); });
EM_ASYNC_JS(void, web_page_wait_event, (), { await WebBackend.waitForEvent(); });
// clang-format on

namespace {

void name_events_once() {
    static bool named = false;
    if (!named) web_page_name_events(k_names);
    named = true;
}

} // namespace

void web_queue_drop_window_events() {
    web_page_drop_window_events();
}

int web_peek_event(int kind, TkHandle window) {
    name_events_once();
    if (kind == 0) return web_page_pending() > 0 || single_window_needs_repaint();
    if (!single_window_is(window)) return 0;
    if (kind == PLAT_EV_REPAINT) return single_window_needs_repaint();
    return web_page_pending_kind(kind);
}

int web_get_event(PlatEvent* event) {
    name_events_once();
    // Waiting returns to the browser, which runs the page until input arrives.
    while (web_page_pending() == 0 && !single_window_needs_repaint())
        web_page_wait_event();
    *event = PlatEvent{};
    int e[6];
    if (web_page_take(e)) {
        event->kind = e[0];
        event->window = event->kind == PLAT_EV_QUIT ? 0 : g_web.window;
        event->a = e[1];
        event->b = e[2];
        event->c = e[3];
        g_web.shift_held = e[4] != 0;
        g_web.control_held = e[5] != 0;
    } else {
        single_window_take_repaint(event);
    }
    return event->kind == PLAT_EV_QUIT ? 0 : 1;
}

void web_post_quit(int code) {
    name_events_once();
    web_page_post(PLAT_EV_QUIT, code);
}

int web_post_user_refresh(TkHandle window) {
    if (!single_window_is(window)) return 0;
    name_events_once();
    web_page_post(PLAT_EV_USER_REFRESH, 0);
    return 1;
}
