// The main loop and its policy, the reshape at start, the ways the loop ends, the teardown
// order and what it empties.
#include "tests/support/tk_fixture.h"

#include <vector>

namespace {

std::vector<std::string> g_log;
int g_idles = 0;

void idle_three_then_close() {
    g_log.push_back("idle");
    if (++g_idles == 3) sim_queue(PLAT_EV_CLOSE_REQUEST);
}
void display_logs() {
    g_log.push_back("display");
}
void reshape_logs(int w, int h) {
    g_log.push_back("reshape " + std::to_string(w) + "x" + std::to_string(h));
}
void key_logs() {
    g_log.push_back("key");
}
void key_stops_idle() {
    g_log.push_back("key");
    tk_on_idle(nullptr);
}
void idle_logs() {
    g_log.push_back("idle");
    ++g_idles;
    if (g_idles > 100) sim_queue(PLAT_EV_CLOSE_REQUEST); // a stuck loop still ends
}

class TkLoop : public TkSim {
  protected:
    void SetUp() override {
        TkSim::SetUp();
        g_log.clear();
        g_idles = 0;
        ASSERT_EQ(open_app_window(), 1);
    }
};

} // namespace

TEST_F(TkLoop, ReshapeRunsOnceWithTheClientSizeBeforeAnyEvent) {
    tk_on_reshape(reshape_logs);
    tk_bind_key('k', key_logs);
    sim_queue(PLAT_EV_CHAR_TYPED, 'k');
    sim_queue(PLAT_EV_CLOSE_REQUEST);
    tk_run(display_logs);
    ASSERT_GE(g_log.size(), 2u);
    EXPECT_EQ(g_log[0], "reshape 632x425");
    EXPECT_EQ(g_log[1], "key");
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "reshape 632x425"), 1);
}

TEST_F(TkLoop, ReshapeRegisteredBeforeOpeningIsReplacedByTheDefault) {
    tk_close_window();
    tk_on_reshape(reshape_logs);
    ASSERT_EQ(open_app_window(), 1);
    EXPECT_EQ(g_tk_slots.reshape, &tk_default_reshape);
}

TEST_F(TkLoop, DefaultReshapeSetsAPixelOrthoProjection) {
    glrec::reset();
    tk_default_reshape(632, 425);
    auto viewport = glrec::named("glViewport");
    ASSERT_EQ(viewport.size(), 1u);
    EXPECT_EQ(viewport[0].args, (std::vector<double>{0, 0, 632, 425}));
    auto ortho = glrec::named("glOrtho");
    ASSERT_EQ(ortho.size(), 1u);
    EXPECT_EQ(ortho[0].args, (std::vector<double>{0, 632, 0, 425, -1, 1}));
    EXPECT_EQ(glrec::state().matrix_mode, (GLenum)GL_MODELVIEW);
    EXPECT_EQ(glrec::names({"glViewport"}),
              (std::vector<std::string>{"glMatrixMode", "glLoadIdentity", "glOrtho", "glMatrixMode",
                                        "glLoadIdentity"}));
}

TEST_F(TkLoop, WithIdleTheLoopSpinsAndDrainsEventsBeforeEachIdle) {
    tk_bind_key('k', key_logs);
    sim_queue(PLAT_EV_CHAR_TYPED, 'k');
    sim_queue(PLAT_EV_CHAR_TYPED, 'k');
    tk_on_idle(idle_three_then_close);
    tk_run(display_logs);
    // The two handled keys ask for one repaint, which is pending before the first idle call.
    EXPECT_EQ(g_log, (std::vector<std::string>{"key", "key", "display", "idle", "idle", "idle"}));
    // Pending events are looked at without a blocking wait while the idle handler is set.
    EXPECT_GT(sim_count("peek_event 0"), 3);
    EXPECT_EQ(sim_count("get_event_starved"), 0);
}

TEST_F(TkLoop, WithoutIdleTheLoopBlocksAndDrawsOnlyOnRepaint) {
    sim_queue(PLAT_EV_REPAINT);
    sim_queue(PLAT_EV_CLOSE_REQUEST);
    tk_run(display_logs);
    EXPECT_EQ(g_log, (std::vector<std::string>{"display"}));
    EXPECT_EQ(sim_count("peek_event 0"), 0);
}

TEST_F(TkLoop, IdleEmptiedByAnEventSendsTheLoopToBlockingGets) {
    tk_bind_key('s', key_stops_idle);
    tk_on_idle(idle_logs);
    sim_queue(PLAT_EV_CHAR_TYPED, 's');
    sim_queue(PLAT_EV_CHAR_TYPED, 's');
    tk_run(display_logs);
    // The quit of the starved blocking get ended the loop; the idle handler never ran.
    EXPECT_EQ(g_log, (std::vector<std::string>{"key", "key", "display"}));
    EXPECT_EQ(sim_count("get_event_starved"), 1);
}

TEST_F(TkLoop, CloseRequestEndsTheLoopAndReturnsFromRun) {
    tk_on_idle(idle_logs);
    sim_queue(PLAT_EV_CLOSE_REQUEST);
    bool ended = ends_process([] { tk_run(display_logs); });
    EXPECT_FALSE(ended);
    EXPECT_EQ(sim_count("post_quit 1"), 1);
    EXPECT_EQ(tk_get_window(), 0u);
    EXPECT_EQ(g_idles, 0);
}

TEST_F(TkLoop, TeardownReleasesInOrderAndClearsHandlesAndSlots) {
    TkHandle dc = tk_get_device_context(), context = tk_get_gl_context();
    tk_on_idle(idle_logs);
    tk_win_on_display(display_logs);
    sim.calls.clear();
    PlatEvent close{PLAT_EV_CLOSE_REQUEST, tk_get_window(), 0, 0, 0, 0};
    tk_win_proc(&close);
    std::vector<std::string> want = {
        "gl_make_current 0 0", "gl_delete_context " + std::to_string(context),
        "release_dc 256 " + std::to_string(dc), "post_quit 1", "window_gone 256"};
    int at = 0;
    for (const std::string& step : want) {
        int found = sim_find(step, at);
        EXPECT_GE(found, at) << step;
        if (found >= 0) at = found + 1;
    }
    EXPECT_EQ(tk_get_window(), 0u);
    EXPECT_EQ(tk_get_device_context(), 0u);
    EXPECT_EQ(tk_get_gl_context(), 0u);
    EXPECT_EQ(g_tk_win.palette, 0u);
    EXPECT_EQ(g_tk_slots.reshape, nullptr);
    EXPECT_EQ(g_tk_slots.display, nullptr);
    EXPECT_EQ(g_tk_slots.key, nullptr);
    EXPECT_EQ(g_tk_slots.mouse_down, nullptr);
    EXPECT_EQ(g_tk_slots.mouse_up, nullptr);
    EXPECT_EQ(g_tk_slots.mouse_move, nullptr);
    EXPECT_EQ(g_tk_slots.idle, nullptr);
}

TEST_F(TkLoop, KeyTableSurvivesTheTeardown) {
    tk_bind_key('k', key_logs);
    PlatEvent close{PLAT_EV_CLOSE_REQUEST, tk_get_window(), 0, 0, 0, 0};
    tk_win_proc(&close);
    ASSERT_EQ(open_app_window(), 1);
    PlatEvent typed{PLAT_EV_CHAR_TYPED, tk_get_window(), 'k', 0, 0, 0};
    tk_win_proc(&typed);
    EXPECT_EQ(g_log, (std::vector<std::string>{"key"}));
}

TEST_F(TkLoop, CloseWindowEmptiesTheKeyAndMouseTables) {
    tk_bind_key('k', key_logs);
    static int mouse_calls;
    mouse_calls = 0;
    tk_bind_mouse(TK_BUTTON_LEFT, TK_MOUSE_DOWN, [](TkEvent*) { ++mouse_calls; });
    tk_close_window();
    EXPECT_EQ(tk_get_window(), 0u);
    EXPECT_EQ(sim_count("post_quit 1"), 1);
    ASSERT_EQ(open_app_window(), 1);
    PlatEvent typed{PLAT_EV_CHAR_TYPED, tk_get_window(), 'k', 0, 0, 0};
    tk_win_proc(&typed);
    PlatEvent down{PLAT_EV_BUTTON_DOWN, tk_get_window(), 0, 0, PLAT_MB_LEFT, 0};
    tk_win_proc(&down);
    EXPECT_TRUE(g_log.empty());
    EXPECT_EQ(mouse_calls, 0);
    // The new open bound Escape again, and only once.
    sim.calls.clear();
    bool ended = ends_process([] {
        PlatEvent esc{PLAT_EV_KEY_PRESSED, tk_get_window(), PLAT_KEY_ESCAPE, 0, 0, 0};
        tk_win_proc(&esc);
    });
    EXPECT_TRUE(ended);
    EXPECT_EQ(sim_count("destroy_window"), 1);
}

TEST_F(TkLoop, QuitDestroysTheWindowThenEndsTheProcess) {
    bool ended = ends_process([] { tk_quit(); });
    EXPECT_TRUE(ended);
    EXPECT_EQ(sim.exit_status, 0);
    EXPECT_LT(sim_find("gl_delete_context"), sim_find("exit_process 0"));
    EXPECT_EQ(tk_get_window(), 0u);
}

TEST_F(TkLoop, EscapeNeverReturnsFromRun) {
    static bool returned;
    returned = false;
    sim_queue(PLAT_EV_KEY_PRESSED, PLAT_KEY_ESCAPE);
    tk_on_idle(idle_logs);
    bool ended = ends_process([] {
        tk_run(display_logs);
        returned = true;
    });
    EXPECT_TRUE(ended);
    EXPECT_FALSE(returned);
}

TEST_F(TkLoop, SwapBuffersPresentsTheWindowsDeviceContext) {
    EXPECT_EQ(tk_swap_buffers(), 1);
    EXPECT_GE(sim_find("swap_buffers " + std::to_string(tk_get_device_context())), 0);
    EXPECT_EQ(sim.swaps, 1);
}

TEST_F(TkLoop, DisplayModeIsRecordedInTheWindowLayer) {
    tk_set_display_mode(TK_MODE_DOUBLE | TK_MODE_DEPTH);
    EXPECT_EQ(tk_get_display_mode(), TK_MODE_DOUBLE | TK_MODE_DEPTH);
}
