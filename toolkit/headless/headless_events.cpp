// The headless event queue. Nothing arrives from outside: events come from the script the
// program set up (keys before given frames, a close request after the last frame), from the
// window's own repaint state and from the toolkit's own posts.
#include "toolkit/headless/headless.h"
#include "toolkit/headless/headless_control.h"

#include <GL/gl.h>

#include <algorithm>
#include <deque>
#include <vector>

namespace {

struct QueuedEvent {
    PlatEvent event;
    bool shift; // Shift was held when the key was pressed
};

struct ScriptKey {
    int frame;
    int key;
};

std::deque<QueuedEvent> g_queue;

std::vector<ScriptKey> g_script_keys;
size_t g_next_key = 0; // g_script_keys is kept in frame order, keys of one frame as given
int g_last_frame = 0;
bool g_close_sent = false;

std::vector<int> g_capture_frames;
EglCaptureHandler g_capture = nullptr;
EglFrameHandler g_on_frame = nullptr;
int g_frames_drawn = 0;
std::vector<unsigned char> g_pixels;

PlatEvent make_event(int kind, int a = 0) {
    PlatEvent e = {};
    e.kind = kind;
    e.window = g_headless.window;
    e.a = a;
    return e;
}

void push_back(const PlatEvent& e, bool shift = false) {
    g_queue.push_back({e, shift});
}

// The key press and the character it types, together (script keys all type one).
void push_script_key(int key) {
    bool shift = false;
    int id = key;
    if (key >= 'a' && key <= 'z')
        id = key - 'a' + 'A';
    else if (key >= 'A' && key <= 'Z')
        shift = true;
    push_back(make_event(PLAT_EV_KEY_PRESSED, id), shift);
    push_back(make_event(PLAT_EV_CHAR_TYPED, key), shift);
}

// Feeds what the script holds for the moment the queue runs dry before the next idle frame.
// Returns true when it queued something.
bool run_script() {
    if (g_headless.window == 0) return false;
    const int next_frame = g_frames_drawn + 1;
    bool queued = false;
    if (g_last_frame > 0 && g_frames_drawn >= g_last_frame) {
        if (!g_close_sent) {
            push_back(make_event(PLAT_EV_CLOSE_REQUEST));
            g_close_sent = true;
            queued = true;
        }
        return queued;
    }
    while (g_next_key < g_script_keys.size() && g_script_keys[g_next_key].frame <= next_frame) {
        push_script_key(g_script_keys[g_next_key].key);
        ++g_next_key;
        queued = true;
    }
    return queued;
}

bool pending() {
    return !g_queue.empty() || single_window_needs_repaint();
}

} // namespace

// ---- Settings ------------------------------------------------------------------------------

void egl_backend_capture_frame(int frame) {
    g_capture_frames.insert(
        std::upper_bound(g_capture_frames.begin(), g_capture_frames.end(), frame), frame);
}
void egl_backend_on_capture(EglCaptureHandler handler) {
    g_capture = handler;
}
void egl_backend_on_frame(EglFrameHandler handler) {
    g_on_frame = handler;
}

bool egl_backend_add_key(int frame, int key) {
    const bool known = (key >= '0' && key <= '9') || (key >= 'a' && key <= 'z') ||
                       (key >= 'A' && key <= 'Z') || key == PLAT_KEY_RETURN ||
                       key == PLAT_KEY_ESCAPE || key == PLAT_KEY_SPACE;
    if (!known || frame < 1) return false;
    const auto later =
        std::upper_bound(g_script_keys.begin() + g_next_key, g_script_keys.end(), frame,
                         [](int f, const ScriptKey& k) { return f < k.frame; });
    g_script_keys.insert(later, {frame, key});
    return true;
}

void egl_backend_set_last_frame(int frame) {
    g_last_frame = frame;
}
int egl_backend_frames_drawn() {
    return g_frames_drawn;
}

void egl_backend_reset() {
    g_script_keys.clear();
    g_next_key = 0;
    g_last_frame = 0;
    g_close_sent = false;
    g_capture_frames.clear();
    g_capture = nullptr;
    g_on_frame = nullptr;
    g_frames_drawn = 0;
    egl_backend_set_size(0, 0);
}

// ---- Presenting ----------------------------------------------------------------------------

void headless_present_frame() {
    // The frame must be complete before it is read or timed, as a real swap would wait.
    glFinish();
    if (g_headless.painting) return; // a repaint repeats the current frame
    const int frame = ++g_frames_drawn;
    if (g_capture && std::binary_search(g_capture_frames.begin(), g_capture_frames.end(), frame)) {
        headless_read_frame(&g_pixels);
        g_capture(frame, g_headless.width, g_headless.height, g_pixels.data());
    }
    if (g_on_frame) g_on_frame(frame);
}

void headless_queue_drop_window_events() {
    g_queue.erase(std::remove_if(g_queue.begin(), g_queue.end(),
                                 [](const QueuedEvent& q) { return q.event.kind != PLAT_EV_QUIT; }),
                  g_queue.end());
}

// ---- Platform operations -------------------------------------------------------------------

int headless_peek_event(int kind, TkHandle window) {
    if (kind == 0) return pending() || run_script();
    if (kind == PLAT_EV_REPAINT) return single_window_is(window) && single_window_needs_repaint();
    for (const QueuedEvent& q : g_queue)
        if (q.event.kind == kind && q.event.window == window) return 1;
    return 0;
}

int headless_get_event(PlatEvent* event) {
    if (!pending()) run_script();
    if (!pending()) {
        // Nothing can arrive any more: end the run the way closing the window would, rather
        // than wait for ever.
        if (g_headless.window != 0 && !g_close_sent) {
            push_back(make_event(PLAT_EV_CLOSE_REQUEST));
            g_close_sent = true;
        } else {
            push_back(make_event(PLAT_EV_QUIT));
        }
    }
    if (!g_queue.empty()) {
        const QueuedEvent q = g_queue.front();
        g_queue.pop_front();
        *event = q.event;
        g_headless.shift_held = q.shift;
    } else {
        single_window_take_repaint(event);
    }
    return event->kind == PLAT_EV_QUIT ? 0 : 1;
}

void headless_post_quit(int code) {
    push_back(make_event(PLAT_EV_QUIT, code));
}

int headless_post_user_refresh(TkHandle window) {
    if (!single_window_is(window)) return 0;
    push_back(make_event(PLAT_EV_USER_REFRESH));
    return 1;
}
