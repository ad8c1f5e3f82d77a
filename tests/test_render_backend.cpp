// The headless backend under the real toolkit, driven by a small stand-in program: a window
// opened through tk_open_window, frames drawn from the idle callback and read back.
#include "toolkit/headless/headless_control.h"
#include "toolkit/tk.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
    const unsigned char* at(int x, int y) const { return &rgba[(size_t(y) * width + x) * 4]; }
};

// What the stand-in program saw during one run.
struct StandIn {
    int idle_calls = 0;
    int repaints = 0;
    std::vector<int> repaints_after_idle; // idle calls made before each repaint
    std::vector<int> key_runs;            // idle calls made before each run of the p handler
    int shift_p_runs = 0;
    int reshape_width = 0, reshape_height = 0;
    std::map<int, Picture> captured;
};

StandIn g_run;

// Frame n clears to green n, then fills the upper half of the window with red.
void draw(int frame) {
    glClearColor(0.0f, (frame % 256) / 255.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, g_run.reshape_height / 2.0f);
    glVertex2f(float(g_run.reshape_width), g_run.reshape_height / 2.0f);
    glVertex2f(float(g_run.reshape_width), float(g_run.reshape_height));
    glVertex2f(0.0f, float(g_run.reshape_height));
    glEnd();
    glFlush();
    tk_swap_buffers();
}

void on_idle() {
    ++g_run.idle_calls;
    draw(g_run.idle_calls);
}

void on_display() {
    ++g_run.repaints;
    g_run.repaints_after_idle.push_back(g_run.idle_calls);
    draw(g_run.idle_calls);
}

void on_reshape(int width, int height) {
    g_run.reshape_width = width;
    g_run.reshape_height = height;
    tk_default_reshape(width, height);
}

void on_p() {
    g_run.key_runs.push_back(g_run.idle_calls);
}
void on_shift_p() {
    ++g_run.shift_p_runs;
}

void capture(int frame, int width, int height, const unsigned char* rgba) {
    Picture& p = g_run.captured[frame];
    p.width = width;
    p.height = height;
    p.rgba.assign(rgba, rgba + size_t(width) * height * 4);
}

class EglBackend : public ::testing::Test {
  protected:
    void SetUp() override {
        g_run = StandIn();
        egl_backend_reset();
        egl_backend_on_capture(capture);
        // Empties the key table: bindings would otherwise outlive the window of each test.
        tk_close_window();
        tk_set_error_boxes(0);
        tk_set_display_mode(TK_MODE_DOUBLE);
        tk_set_window_rect(0, 0, 64, 48);
    }

    // Opens the window and runs the loop up to and including frame last.
    void run_until(int last) {
        egl_backend_set_last_frame(last);
        ASSERT_EQ(tk_open_window("stand-in"), 1);
        tk_on_reshape(on_reshape);
        tk_on_idle(on_idle);
        tk_run(on_display);
    }
};

TEST_F(EglBackend, RunEndsByCloseRequestAfterTheLastFrame) {
    run_until(5);
    EXPECT_EQ(g_run.idle_calls, 5);
    EXPECT_EQ(egl_backend_frames_drawn(), 5);
    EXPECT_EQ(tk_get_window(), TkHandle(0));
    EXPECT_EQ(tk_get_gl_context(), TkHandle(0));
}

TEST_F(EglBackend, ClientSizeIsTheRequestedOneUnlessForced) {
    egl_backend_capture_frame(1);
    run_until(1);
    EXPECT_EQ(g_run.reshape_width, 64);
    EXPECT_EQ(g_run.reshape_height, 48);

    SetUp();
    egl_backend_set_size(120, 30);
    egl_backend_capture_frame(1);
    run_until(1);
    EXPECT_EQ(g_run.reshape_width, 120);
    EXPECT_EQ(g_run.reshape_height, 30);
    ASSERT_EQ(g_run.captured.count(1), 1u);
    EXPECT_EQ(g_run.captured[1].width, 120);
    EXPECT_EQ(g_run.captured[1].height, 30);
}

TEST_F(EglBackend, CapturedFrameIsTheIdleFrameOfThatNumber) {
    egl_backend_capture_frame(1);
    egl_backend_capture_frame(3);
    egl_backend_capture_frame(7);
    run_until(7);
    ASSERT_EQ(g_run.captured.size(), 3u);
    for (int frame : {1, 3, 7}) {
        const Picture& p = g_run.captured[frame];
        // The lower half shows the clear colour, whose green is the frame number.
        EXPECT_EQ(p.at(10, p.height - 2)[1], frame) << "frame " << frame;
        EXPECT_EQ(p.at(10, p.height - 2)[0], 0) << "frame " << frame;
    }
}

TEST_F(EglBackend, CapturedRowsRunFromTopToBottom) {
    egl_backend_capture_frame(2);
    run_until(2);
    const Picture& p = g_run.captured[2];
    // GL's upper half (high y) is the picture's first rows.
    EXPECT_EQ(p.at(5, 1)[0], 255);
    EXPECT_EQ(p.at(5, 1)[1], 0);
    EXPECT_EQ(p.at(5, p.height - 2)[0], 0);
    EXPECT_EQ(p.at(5, p.height - 2)[1], 2);
}

TEST_F(EglBackend, NewWindowIsRepaintedOnceBeforeTheFirstIdleFrame) {
    run_until(3);
    ASSERT_EQ(g_run.repaints, 1);
    EXPECT_EQ(g_run.repaints_after_idle[0], 0);
    // The repaint is not counted as a frame.
    EXPECT_EQ(egl_backend_frames_drawn(), 3);
}

TEST_F(EglBackend, ScriptedKeyRunsItsBindingAndOneRepaintBeforeItsFrame) {
    tk_bind_key('p', on_p);
    egl_backend_add_key(4, 'p');
    egl_backend_capture_frame(4);
    run_until(6);
    ASSERT_EQ(g_run.key_runs.size(), 1u);
    EXPECT_EQ(g_run.key_runs[0], 3);
    // The initial exposure, then the repaint the handled key asked for, still at frame 3.
    ASSERT_EQ(g_run.repaints, 2);
    EXPECT_EQ(g_run.repaints_after_idle[1], 3);
    // Frame numbers are not shifted by the repaint.
    EXPECT_EQ(g_run.captured[4].at(10, g_run.captured[4].height - 2)[1], 4);
    EXPECT_EQ(g_run.idle_calls, 6);
}

TEST_F(EglBackend, UpperCaseKeyArrivesAsTyped) {
    tk_bind_key('p', on_p);
    tk_bind_key('P', on_shift_p);
    egl_backend_add_key(2, 'P');
    run_until(3);
    EXPECT_EQ(g_run.shift_p_runs, 1);
    EXPECT_TRUE(g_run.key_runs.empty());
}

TEST_F(EglBackend, SeveralKeysBeforeOneFrameCauseOneRepaint) {
    tk_bind_key('p', on_p);
    egl_backend_add_key(2, 'p');
    egl_backend_add_key(2, 'p');
    run_until(2);
    EXPECT_EQ(g_run.key_runs.size(), 2u);
    EXPECT_EQ(g_run.repaints, 2);
}

TEST_F(EglBackend, UnboundKeyCausesNoRepaint) {
    egl_backend_add_key(2, 'q');
    run_until(3);
    EXPECT_EQ(g_run.repaints, 1);
}

TEST_F(EglBackend, OnlyLettersDigitsAndThreeNamedKeysCanBeScripted) {
    EXPECT_TRUE(egl_backend_add_key(1, 'o'));
    EXPECT_TRUE(egl_backend_add_key(1, '7'));
    EXPECT_TRUE(egl_backend_add_key(1, 27));
    EXPECT_FALSE(egl_backend_add_key(1, '#'));
    EXPECT_FALSE(egl_backend_add_key(0, 'p'));
}

void depth_probe_idle() {
    ++g_run.idle_calls;
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The near green square first, then the far blue one over it.
    glBegin(GL_QUADS);
    glColor3f(0, 1, 0);
    glVertex3f(-1, -1, -0.5f);
    glVertex3f(1, -1, -0.5f);
    glVertex3f(1, 1, -0.5f);
    glVertex3f(-1, 1, -0.5f);
    glColor3f(0, 0, 1);
    glVertex3f(-1, -1, 0.5f);
    glVertex3f(1, -1, 0.5f);
    glVertex3f(1, 1, 0.5f);
    glVertex3f(-1, 1, 0.5f);
    glEnd();
    tk_swap_buffers();
}

TEST_F(EglBackend, WindowWithoutDepthRequestStillHidesSurfaces) {
    egl_backend_set_last_frame(1);
    egl_backend_capture_frame(1);
    ASSERT_EQ(tk_open_window("depth"), 1);
    GLint depth_bits = 0, red_bits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth_bits);
    glGetIntegerv(GL_RED_BITS, &red_bits);
    EXPECT_GE(depth_bits, 16);
    EXPECT_EQ(red_bits, 8);
    tk_on_idle(depth_probe_idle);
    tk_run(depth_probe_idle);
    const Picture& p = g_run.captured[1];
    EXPECT_EQ(p.at(30, 20)[1], 255);
    EXPECT_EQ(p.at(30, 20)[2], 0);
}

TEST_F(EglBackend, ColourIndexModeFindsNoFormat) {
    tk_set_display_mode(TK_MODE_INDEX | TK_MODE_DOUBLE);
    EXPECT_EQ(tk_open_window("index"), 0);
    EXPECT_EQ(tk_get_window(), TkHandle(0));
    // The failed attempt leaves nothing behind: an RGBA window opens next.
    tk_set_display_mode(TK_MODE_DOUBLE);
    run_until(1);
    EXPECT_EQ(g_run.idle_calls, 1);
}

TEST_F(EglBackend, ScriptedEscapeEndsTheProcessAtOnceWithStatusZero) {
    // A fresh process: the rasteriser's threads do not survive a plain fork.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    egl_backend_add_key(3, 27);
    EXPECT_EXIT(
        {
            run_until(10);
            std::exit(7); // not reached: the toolkit's Escape binding ends the process
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
