// The toolkit's window on a real X server without a window manager: keys typed on the keypad,
// repaints asked for while painting, focus moved by another client's keyboard grab, and showing
// the window when another client intercepts its map request. Each test opens the window, runs
// the real loop until what it waits for has happened (or a deadline passed), and stops it.
// GoogleTest before Xlib, whose macros (None, Bool) clash with its names.
#include <gtest/gtest.h>

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "tests/support/child_process.h"
#include "toolkit/platform.h"
#include "toolkit/tk.h"
#include "toolkit/tk_window.h"
#include "toolkit/x11/x11.h"

namespace {

const double kDeadline = 30; // seconds; what is waited for takes milliseconds when all is well

double now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

std::function<bool()> s_until;
double s_deadline = 0;
std::vector<int> s_keys;
std::vector<int> s_activations;
int s_displays = 0;
bool s_redraw_while_painting = false;

// Ends the loop (without closing the window) once the condition holds or the deadline passed.
void stop_when_done() {
    if (s_until() || now() > s_deadline) plat().post_quit(0);
}

int record_key(int key, int) {
    s_keys.push_back(key);
    return 0;
}

void count_display() {
    ++s_displays;
    if (s_redraw_while_painting) {
        s_redraw_while_painting = false;
        tk_request_redraw();
    }
}

int record_activation(const PlatEvent* event) {
    if (event->kind == PLAT_EV_ACTIVATE) s_activations.push_back(event->a);
    return tk_win_proc(event);
}

class X11Events : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!getenv("DISPLAY")) GTEST_SKIP() << "no X display";
        other = XOpenDisplay(nullptr);
        ASSERT_NE(other, nullptr);
        s_keys.clear();
        s_activations.clear();
        s_displays = 0;
        s_redraw_while_painting = false;
        tk_set_display_mode(TK_MODE_DOUBLE);
        tk_set_window_rect(0, 0, 64, 48);
        ASSERT_TRUE(tk_open_window("x11 events"));
        tk_win_on_key(record_key);
        XSync(g_x11.display, False);
    }
    void TearDown() override {
        tk_close_window();
        g_x11.quit_posted = false; // the closing's quit request must not end the next test's loop
        if (other) XCloseDisplay(other);
    }

    // Runs the loop until the condition holds or the deadline passed; whether it held.
    bool run_until(const std::function<bool()>& condition) {
        s_until = condition;
        s_deadline = now() + kDeadline;
        tk_on_idle(stop_when_done);
        tk_run(count_display);
        return condition();
    }

    // A press and release on the key that carries sym, from another client.
    void type(KeySym sym) {
        KeyCode code = XKeysymToKeycode(other, sym);
        ASSERT_NE(code, 0) << "no key for " << XKeysymToString(sym);
        XTestFakeKeyEvent(other, code, True, CurrentTime);
        XTestFakeKeyEvent(other, code, False, CurrentTime);
        XSync(other, False);
    }

    // Keys up to the end marker z, which says that everything typed before it has arrived.
    std::vector<int> keys_before_the_marker() {
        type(XK_z);
        EXPECT_TRUE(run_until([] { return !s_keys.empty() && s_keys.back() == 'z'; }))
            << "the marker never came";
        std::vector<int> keys = s_keys;
        if (!keys.empty()) keys.pop_back();
        return keys;
    }

    void set_num_lock(bool on) {
        unsigned int mask = XkbKeysymToModifiers(other, XK_Num_Lock);
        ASSERT_NE(mask, 0u);
        XkbLockModifiers(other, XkbUseCoreKbd, mask, on ? mask : 0);
        XSync(other, False);
    }

    Display* other = nullptr;
};

TEST_F(X11Events, KeypadGivesOnlyTheDigitWithNumLockAndTheArrowWithout) {
    set_num_lock(true);
    type(XK_KP_4);
    EXPECT_EQ(keys_before_the_marker(), std::vector<int>{'4'});
    s_keys.clear();
    set_num_lock(false);
    type(XK_KP_4);
    EXPECT_EQ(keys_before_the_marker(), std::vector<int>{TK_KEY_LEFT});
    set_num_lock(false);
}

TEST_F(X11Events, RedrawAskedForWhilePaintingBringsAnotherRepaint) {
    // Let the window's first exposures be painted.
    ASSERT_TRUE(run_until([] { return s_displays >= 1; }));
    int passes = 0;
    run_until([&] { return ++passes > 200; });
    int before = s_displays;
    s_redraw_while_painting = true;
    tk_request_redraw();
    EXPECT_TRUE(run_until([&] { return s_displays >= before + 2; }))
        << "repaints after the request: " << s_displays - before;
}

TEST_F(X11Events, KeyboardGrabsByOthersAreNotActivations) {
    g_x11.proc = record_activation;
    keys_before_the_marker(); // the focus given at opening
    s_activations.clear();
    ASSERT_EQ(XGrabKeyboard(other, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync,
                            CurrentTime),
              GrabSuccess);
    XUngrabKeyboard(other, CurrentTime);
    XSync(other, False);
    keys_before_the_marker();
    EXPECT_EQ(s_activations, std::vector<int>{});
}

// Another client takes the map requests, as a window manager does, and never maps the window:
// opening must still come back.
TEST_F(X11Events, ShowingTheWindowDoesNotWaitForAWindowManagerThatNeverMapsIt) {
    XSelectInput(other, DefaultRootWindow(other), SubstructureRedirectMask);
    XSync(other, False);
    child::Process opener;
    opener.pid = fork();
    ASSERT_GE(opener.pid, 0);
    if (opener.pid == 0) {
        // A connection of its own: the parent's stays untouched.
        g_x11 = X11State{};
        _exit(tk_open_window("never mapped") ? 0 : 1);
    }
    const bool ended = child::wait(&opener, kDeadline);
    child::end(&opener);
    ASSERT_TRUE(ended) << "opening still waited after " << kDeadline << " s";
    EXPECT_EQ(child::exit_code(opener), 0);
}

} // namespace
