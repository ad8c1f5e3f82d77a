// The window procedure: key translation and dispatch, mouse dispatch per button, resize and
// repaint, redraw coalescing, palette events on a true-colour display.
#include "tests/support/tk_fixture.h"

#include <vector>

namespace {

std::vector<int> g_ran; // what the bound handlers saw, in order
std::vector<TkEvent> g_mouse;
int g_displays = 0;
int g_status = -1;

void ran_p() {
    g_ran.push_back('p');
}
void ran_P() {
    g_ran.push_back('P');
}
void ran_1() {
    g_ran.push_back(1);
}
void ran_2() {
    g_ran.push_back(2);
}
void ran_return() {
    g_ran.push_back(TK_KEY_RETURN);
}
void ran_space() {
    g_ran.push_back(TK_KEY_SPACE);
}
void ran_left() {
    g_ran.push_back(TK_KEY_LEFT);
}
void ran_up() {
    g_ran.push_back(TK_KEY_UP);
}
void ran_right() {
    g_ran.push_back(TK_KEY_RIGHT);
}
void ran_down() {
    g_ran.push_back(TK_KEY_DOWN);
}
void ran_escape_app() {
    g_ran.push_back(-27);
}
void binds_q() {
    g_ran.push_back('a');
    tk_bind_key('a', ran_1);
}
void on_mouse(TkEvent* e) {
    g_mouse.push_back(*e);
}
void on_mouse2(TkEvent* e) {
    g_mouse.push_back(*e);
    g_mouse.back().data[2] = 2; // mark the second handler
}
// Counts repaints and ends the loop after the first one.
void display_once() {
    ++g_displays;
    plat().post_quit(0);
}
void display_count() {
    ++g_displays;
}
int status_key(int, int status) {
    g_status = status;
    return 0;
}

class TkEvents : public TkSim {
  protected:
    void SetUp() override {
        TkSim::SetUp();
        g_ran.clear();
        g_mouse.clear();
        g_displays = 0;
        g_status = -1;
        ASSERT_EQ(open_app_window(), 1);
    }
    // Delivers the queued events, then the quit request.
    void run_queued(TkVoidHandler display = display_count) {
        queue_quit();
        tk_run(display);
    }
    void deliver(int kind, int a = 0, int b = 0, int c = 0) {
        PlatEvent e{kind, tk_get_window(), a, b, c, 0};
        tk_win_proc(&e);
    }
};

} // namespace

// ---- Keys --------------------------------------------------------------------------------

TEST_F(TkEvents, ShiftPDeliversUpperCaseOnly) {
    tk_bind_key('p', ran_p);
    tk_bind_key('P', ran_P);
    sim.shift_held = true;
    press('P', 'P');
    run_queued();
    EXPECT_EQ(g_ran, (std::vector<int>{'P'}));
}

TEST_F(TkEvents, LowerCaseLetterRunsItsBinding) {
    tk_bind_key('p', ran_p);
    press('P', 'p');
    run_queued();
    EXPECT_EQ(g_ran, (std::vector<int>{'p'}));
}

TEST_F(TkEvents, ReturnAndSpaceArriveOncePerPress) {
    tk_bind_key(TK_KEY_RETURN, ran_return);
    tk_bind_key(TK_KEY_SPACE, ran_space);
    press(PLAT_KEY_RETURN, '\r');
    press(PLAT_KEY_SPACE, ' ');
    run_queued();
    EXPECT_EQ(g_ran, (std::vector<int>{TK_KEY_RETURN, TK_KEY_SPACE}));
}

TEST_F(TkEvents, ArrowsGiveTheirCodes) {
    tk_bind_key(TK_KEY_LEFT, ran_left);
    tk_bind_key(TK_KEY_UP, ran_up);
    tk_bind_key(TK_KEY_RIGHT, ran_right);
    tk_bind_key(TK_KEY_DOWN, ran_down);
    press(PLAT_KEY_DOWN, 0);
    press(PLAT_KEY_UP, 0);
    press(PLAT_KEY_LEFT, 0);
    press(PLAT_KEY_RIGHT, 0);
    run_queued();
    EXPECT_EQ(g_ran, (std::vector<int>{TK_KEY_DOWN, TK_KEY_UP, TK_KEY_LEFT, TK_KEY_RIGHT}));
}

TEST_F(TkEvents, OtherKeysAndCharactersAreIgnored) {
    tk_win_on_key(status_key);
    press(PLAT_KEY_OTHER + 0xBE, '!');
    press(PLAT_KEY_SHIFT, 0);
    press(0, '\t');
    press(0, 200);
    run_queued();
    EXPECT_EQ(g_status, -1);
}

TEST_F(TkEvents, DigitsAndBothCasesPassThrough) {
    std::vector<int> seen;
    static std::vector<int>* s_seen;
    s_seen = &seen;
    tk_win_on_key([](int key, int) {
        s_seen->push_back(key);
        return 0;
    });
    for (int c : {'0', '9', 'a', 'z', 'A', 'Z', '/', ':', '@', '[', '`', '{'})
        press(0, c);
    run_queued();
    EXPECT_EQ(seen, (std::vector<int>{'0', '9', 'a', 'z', 'A', 'Z'}));
}

TEST_F(TkEvents, KeyStatusCarriesShiftAndControl) {
    tk_win_on_key(status_key);
    sim.control_held = true;
    deliver(PLAT_EV_CHAR_TYPED, 'x');
    EXPECT_EQ(g_status, TK_CONTROL);
    sim.shift_held = true;
    deliver(PLAT_EV_CHAR_TYPED, 'X');
    EXPECT_EQ(g_status, TK_CONTROL | TK_SHIFT);
    sim.control_held = false;
    deliver(PLAT_EV_KEY_PRESSED, PLAT_KEY_UP);
    EXPECT_EQ(g_status, TK_SHIFT);
}

TEST_F(TkEvents, KeyBoundTwiceRunsBothInBindingOrder) {
    tk_bind_key('k', ran_1);
    tk_bind_key('k', ran_2);
    deliver(PLAT_EV_CHAR_TYPED, 'k');
    EXPECT_EQ(g_ran, (std::vector<int>{1, 2}));
}

TEST_F(TkEvents, KeyBoundDuringTheWalkRunsInTheSameWalk) {
    tk_bind_key('a', binds_q);
    deliver(PLAT_EV_CHAR_TYPED, 'a');
    EXPECT_EQ(g_ran, (std::vector<int>{'a', 1}));
}

TEST_F(TkEvents, UnboundKeyAsksForNoRedraw) {
    deliver(PLAT_EV_CHAR_TYPED, 'z');
    EXPECT_EQ(sim_count("invalidate"), 0);
}

TEST_F(TkEvents, EscapeTearsDownAndEndsTheProcessWithZero) {
    tk_bind_key(TK_KEY_ESCAPE, ran_escape_app); // bound after opening: never runs
    press(PLAT_KEY_ESCAPE, 27);
    bool ended = ends_process([this] { run_queued(); });
    EXPECT_TRUE(ended);
    EXPECT_EQ(sim.exit_status, 0);
    EXPECT_TRUE(g_ran.empty());
    int gone = sim_find("window_gone");
    ASSERT_GE(gone, 0);
    EXPECT_GT(sim_find("exit_process 0"), gone);
    EXPECT_EQ(sim_count("exit_process"), 1);
}

// ---- Redraws --------------------------------------------------------------------------------

TEST_F(TkEvents, BurstOfHandledKeysGivesOneRepaint) {
    tk_bind_key('p', ran_p);
    for (int i = 0; i < 5; ++i)
        press('P', 'p');
    tk_run(display_once);
    EXPECT_EQ(g_ran.size(), 5u);
    EXPECT_EQ(g_displays, 1);
    EXPECT_EQ(sim_count("invalidate"), 1);
    EXPECT_EQ(sim_count("begin_paint"), 1);
}

TEST_F(TkEvents, RepaintCallsDisplayBetweenBeginAndEnd) {
    sim.repaint_pending = true;
    tk_run(display_once);
    EXPECT_EQ(g_displays, 1);
    int begin = sim_find("begin_paint");
    int end = sim_find("end_paint");
    ASSERT_GE(begin, 0);
    EXPECT_GT(end, begin);
    EXPECT_FALSE(sim.repaint_pending);
}

TEST_F(TkEvents, RepaintWithoutDisplayHandlerStillValidates) {
    sim.repaint_pending = true;
    deliver(PLAT_EV_REPAINT);
    EXPECT_FALSE(sim.repaint_pending);
    EXPECT_EQ(sim_count("end_paint"), 1);
}

TEST_F(TkEvents, ResizeCallsReshapeThenOneRepaint) {
    static std::vector<std::pair<int, int>> sizes;
    sizes.clear();
    tk_on_reshape([](int w, int h) { sizes.push_back({w, h}); });
    sim_queue(PLAT_EV_RESIZED, 300, 200);
    tk_run(display_once);
    // Once at the start with the client size, once for the resize.
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[1], std::make_pair(300, 200));
    EXPECT_EQ(g_tk_win.width, 300);
    EXPECT_EQ(g_tk_win.height, 200);
    EXPECT_EQ(g_displays, 1);
}

TEST_F(TkEvents, MoveRecordsTheClientOrigin) {
    deliver(PLAT_EV_MOVED, 123, 45);
    EXPECT_EQ(g_tk_win.x, 123);
    EXPECT_EQ(g_tk_win.y, 45);
}

// ---- Mouse ---------------------------------------------------------------------------------

TEST_F(TkEvents, ButtonDownRunsOnlyThatButtonsBindingsAndCaptures) {
    tk_bind_mouse(TK_BUTTON_LEFT, TK_MOUSE_DOWN, on_mouse);
    tk_bind_mouse(TK_BUTTON_RIGHT, TK_MOUSE_DOWN, on_mouse2);
    deliver(PLAT_EV_BUTTON_DOWN, 10, 20, PLAT_MB_LEFT);
    ASSERT_EQ(g_mouse.size(), 1u);
    EXPECT_EQ(g_mouse[0].kind, TK_MOUSE_DOWN);
    EXPECT_EQ(g_mouse[0].data[0], 10);
    EXPECT_EQ(g_mouse[0].data[1], 20);
    EXPECT_EQ(g_mouse[0].data[3], TK_BUTTON_LEFT);
    EXPECT_EQ(sim.capture, tk_get_window());
    // A handled press asks for a redraw.
    EXPECT_EQ(sim_count("invalidate"), 1);
}

TEST_F(TkEvents, ButtonUpReleasesTheCapture) {
    tk_bind_mouse(TK_BUTTON_MIDDLE, TK_MOUSE_UP, on_mouse);
    deliver(PLAT_EV_BUTTON_DOWN, 1, 2, PLAT_MB_MIDDLE); // no down binding: still captures
    EXPECT_EQ(sim.capture, tk_get_window());
    deliver(PLAT_EV_BUTTON_UP, 3, 4, PLAT_MB_MIDDLE);
    EXPECT_EQ(sim.capture, 0u);
    ASSERT_EQ(g_mouse.size(), 1u);
    EXPECT_EQ(g_mouse[0].kind, TK_MOUSE_UP);
    EXPECT_EQ(g_mouse[0].data[3], TK_BUTTON_MIDDLE);
}

TEST_F(TkEvents, RightButtonMapsToTwo) {
    tk_bind_mouse(TK_BUTTON_RIGHT, TK_MOUSE_DOWN, on_mouse);
    deliver(PLAT_EV_BUTTON_DOWN, 0, 0, PLAT_MB_RIGHT);
    ASSERT_EQ(g_mouse.size(), 1u);
    EXPECT_EQ(g_mouse[0].data[3], TK_BUTTON_RIGHT);
}

TEST_F(TkEvents, MotionRunsEveryBindingOfEachHeldButtonOnce) {
    tk_bind_mouse(TK_BUTTON_MIDDLE, TK_MOUSE_MOVE, on_mouse);
    tk_bind_mouse(TK_BUTTON_LEFT, TK_MOUSE_MOVE, on_mouse);
    tk_bind_mouse(TK_BUTTON_RIGHT, TK_MOUSE_MOVE, on_mouse);
    tk_bind_mouse(TK_BUTTON_LEFT, TK_MOUSE_MOVE, on_mouse2);
    deliver(PLAT_EV_MOUSE_MOVED, 5, 6, PLAT_MK_LBUTTON | PLAT_MK_MBUTTON);
    ASSERT_EQ(g_mouse.size(), 3u);
    EXPECT_EQ(g_mouse[0].data[3], TK_BUTTON_MIDDLE);
    EXPECT_EQ(g_mouse[1].data[3], TK_BUTTON_LEFT);
    EXPECT_EQ(g_mouse[2].data[3], TK_BUTTON_LEFT);
    EXPECT_EQ(g_mouse[2].data[2], 2);
    for (const TkEvent& e : g_mouse)
        EXPECT_EQ(e.kind, TK_MOUSE_MOVE);
}

TEST_F(TkEvents, MotionWithNoButtonRunsNothing) {
    tk_bind_mouse(TK_BUTTON_LEFT, TK_MOUSE_MOVE, on_mouse);
    deliver(PLAT_EV_MOUSE_MOVED, 5, 6, 0);
    EXPECT_TRUE(g_mouse.empty());
    EXPECT_EQ(sim_count("invalidate"), 0);
}

TEST_F(TkEvents, MouseBindingOfAnUnknownKindChangesNothing) {
    tk_bind_mouse(TK_BUTTON_LEFT, 8, on_mouse);
    tk_bind_mouse(TK_BUTTON_LEFT, TK_MOUSE_DOWN | TK_MOUSE_UP, on_mouse);
    deliver(PLAT_EV_BUTTON_DOWN, 0, 0, PLAT_MB_LEFT);
    deliver(PLAT_EV_BUTTON_UP, 0, 0, PLAT_MB_LEFT);
    deliver(PLAT_EV_MOUSE_MOVED, 0, 0, PLAT_MK_LBUTTON);
    EXPECT_TRUE(g_mouse.empty());
}

// ---- Other events --------------------------------------------------------------------------

TEST_F(TkEvents, ActivationWithoutPaletteGetsTheDefaultHandling) {
    deliver(PLAT_EV_ACTIVATE, 1, 0);
    deliver(PLAT_EV_ACTIVATE, 0, 0);
    EXPECT_EQ(sim_count("default_event"), 2);
    EXPECT_EQ(sim_count("realize_palette"), 0);
}

TEST_F(TkEvents, UnknownEventsGetTheDefaultHandling) {
    deliver(PLAT_EV_NONE);
    EXPECT_EQ(sim_count("default_event 0"), 1);
}
