// Opening the window: the steps in their order, the placement arithmetic, the messages of
// each failed step and the single-buffer fallback.
#include "tests/support/tk_fixture.h"

#include <cstdio>

namespace {

const char kFallbackText[] = "Can't initialize a single buffer visual. Will use a double buffer "
                             "visual instead, only drawing into the front buffer.";

int calls_named(const char* name) {
    int n = 0;
    for (const std::string& s : sim_names())
        if (s == name) ++n;
    return n;
}

std::string hex8(unsigned long value) {
    char text[16];
    snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

} // namespace

using TkOpen = TkSim;

TEST_F(TkOpen, AppModeOpensOnTheFirstAttemptWithoutBoxes) {
    EXPECT_EQ(open_app_window(), 1);
    EXPECT_EQ(calls_named("create_window"), 1);
    EXPECT_TRUE(sim.boxes.empty());
    EXPECT_NE(tk_get_window(), 0u);
    EXPECT_EQ(tk_get_device_context(), sim.dc);
    EXPECT_EQ(tk_get_gl_context(), sim.gl_context);
    EXPECT_EQ(sim.current_context, sim.gl_context);
    EXPECT_TRUE(sim.visible);
    EXPECT_EQ(sim.title, "crane");
}

TEST_F(TkOpen, StepsRunInTheirOrder) {
    ASSERT_EQ(open_app_window(), 1);
    const char* steps[] = {"get_version",      "adjust_window_rect", "create_window",
                           "get_dc",           "show_window",        "choose_pixel_format",
                           "set_pixel_format", "gl_create_context",  "gl_make_current"};
    int at = 0;
    for (const char* step : steps) {
        int found = sim_find(step, at);
        EXPECT_GE(found, at) << step << " missing or out of order";
        if (found >= 0) at = found + 1;
    }
}

TEST_F(TkOpen, InitialGlStateIsBlackClearAndIdentity) {
    ASSERT_EQ(open_app_window(), 1);
    EXPECT_EQ(glrec::count("glClearColor"), 1u);
    auto clear = glrec::named("glClearColor");
    ASSERT_EQ(clear.size(), 1u);
    EXPECT_EQ(clear[0].args, (std::vector<double>{0, 0, 0, 1}));
    EXPECT_EQ(glrec::count("glClearIndex"), 1u);
    EXPECT_EQ(glrec::count("glLoadIdentity"), 1u);
    EXPECT_EQ(glrec::count("glDrawBuffer"), 0u);
}

TEST_F(TkOpen, PlacementPutsTheOuterCornerAtTheGivenPosition) {
    // Metrics: frame 4, caption 19, border 1.
    tk_set_window_rect(10, 20, 632, 425);
    EXPECT_FALSE(g_tk_win.default_position);
    EXPECT_EQ(g_tk_win.x, 14);
    EXPECT_EQ(g_tk_win.y, 20 + 19 - 1 + 4);
    EXPECT_EQ(g_tk_win.width, 632);
    EXPECT_EQ(g_tk_win.height, 425);
    tk_set_display_mode(TK_MODE_DOUBLE);
    ASSERT_EQ(tk_open_window("t"), 1);
    // The grown rectangle: frame on the sides and bottom, caption and frame on top.
    EXPECT_GE(sim_find("create_window 10 20 640 451 0"), 0);
}

TEST_F(TkOpen, DefaultPositionReadsTheOriginBackFromThePlacedWindow) {
    tk_set_window_rect(TK_CW_USEDEFAULT, 77, 300, 200);
    EXPECT_TRUE(g_tk_win.default_position);
    EXPECT_EQ(g_tk_win.x, 4); // x and y taken as 0
    tk_set_display_mode(TK_MODE_DOUBLE);
    ASSERT_EQ(tk_open_window("t"), 1);
    int create = sim_find("create_window");
    ASSERT_GE(create, 0);
    EXPECT_EQ(sim.calls[create].back(), '1');
    EXPECT_GT(sim_find("get_window_rect", create), create);
    EXPECT_EQ(g_tk_win.x, sim.default_x + 4);
    EXPECT_EQ(g_tk_win.y, sim.default_y + 19 - 1 + 4);
}

TEST_F(TkOpen, SystemColourCountFollowsThePlatformVersion) {
    struct Case {
        PlatVersion version;
        int count;
    } cases[] = {
        {{PLAT_VER_PLATFORM_WIN32_NT, 3, 51}, 21},      {{PLAT_VER_PLATFORM_WIN32_NT, 3, 5}, 21},
        {{PLAT_VER_PLATFORM_WIN32_NT, 3, 1}, 25},       {{PLAT_VER_PLATFORM_WIN32_NT, 4, 0}, 25},
        {{PLAT_VER_PLATFORM_WIN32_WINDOWS, 3, 51}, 25},
    };
    for (const Case& c : cases) {
        sim.version = c.version;
        tk_set_display_mode(TK_MODE_DOUBLE);
        ASSERT_EQ(tk_open_window("t"), 1);
        EXPECT_EQ(tk_get_system_color_count(), c.count)
            << c.version.platform_id << " " << c.version.major << "." << c.version.minor;
        tk_close_window();
    }
}

TEST_F(TkOpen, SingleBufferModeFallsBackToDoubleWithAWarning) {
    tk_set_display_mode(TK_MODE_INDEX);
    sim.fail_times["choose_pixel_format"] = 1;
    EXPECT_EQ(tk_open_window("t"), 1);
    EXPECT_EQ(calls_named("create_window"), 2);
    EXPECT_EQ(boxes("Error"), (std::vector<std::string>{"Selecting a pixel format failed\n"}));
    EXPECT_EQ(boxes("Warning"), (std::vector<std::string>{kFallbackText}));
    EXPECT_EQ(tk_get_display_mode(), TK_MODE_INDEX | TK_MODE_DOUBLE);
    // Drawing goes to the front buffer.
    auto draw = glrec::named("glDrawBuffer");
    ASSERT_EQ(draw.size(), 1u);
    EXPECT_EQ(draw[0].args[0], (double)GL_FRONT);
    // The half-made window ended no loop.
    EXPECT_EQ(calls_named("post_quit"), 0);
    EXPECT_TRUE(sim.queue.empty());
}

TEST_F(TkOpen, FallbackRecordsDoubleSoALaterFailureIsFinal) {
    tk_set_display_mode(TK_MODE_INDEX);
    sim.fail_times["choose_pixel_format"] = 1;
    ASSERT_EQ(tk_open_window("t"), 1);
    tk_close_window();
    sim.calls.clear();
    sim.failing.insert("choose_pixel_format");
    EXPECT_EQ(tk_open_window("t"), 0);
    EXPECT_EQ(calls_named("create_window"), 1);
}

TEST_F(TkOpen, DoubleBufferedModeFailsAtOnce) {
    sim.failing.insert("choose_pixel_format");
    EXPECT_EQ(open_app_window(), 0);
    EXPECT_EQ(calls_named("create_window"), 1);
    EXPECT_TRUE(boxes("Warning").empty());
    EXPECT_EQ(boxes("Error"), (std::vector<std::string>{"Selecting a pixel format failed\n"}));
    EXPECT_EQ(tk_get_window(), 0u);
    EXPECT_EQ(calls_named("post_quit"), 0);
}

TEST_F(TkOpen, FailedOpenLeavesSlotsTablesAndGlStateAlone) {
    sim.failing.insert("choose_pixel_format");
    EXPECT_EQ(open_app_window(), 0);
    EXPECT_EQ(g_tk_slots.reshape, nullptr);
    EXPECT_EQ(g_tk_slots.key, nullptr);
    EXPECT_EQ(glrec::calls().size(), 0u);
}

TEST_F(TkOpen, ModeNeverSetOpensAsIndexThenRetriesAsPlainDouble) {
    sim.fail_times["choose_pixel_format"] = 1;
    ASSERT_EQ(tk_open_window("t"), 1);
    int first = sim_find("choose_pixel_format");
    int second = sim_find("choose_pixel_format", first + 1);
    ASSERT_GE(second, 0);
    // flags, pixel type, colour bits: colour index 8 bits single, then RGBA 24 bits double.
    const unsigned window_gl = PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL;
    char want_first[64], want_second[64];
    snprintf(want_first, sizeof want_first, " %u %d 8 ", window_gl, PLAT_PFD_TYPE_COLORINDEX);
    snprintf(want_second, sizeof want_second, " %u %d 24 ", window_gl | PLAT_PFD_DOUBLEBUFFER,
             PLAT_PFD_TYPE_RGBA);
    EXPECT_NE(sim.calls[first].find(want_first), std::string::npos) << sim.calls[first];
    EXPECT_NE(sim.calls[second].find(want_second), std::string::npos) << sim.calls[second];
    EXPECT_EQ(tk_get_display_mode(), TK_MODE_DOUBLE);
}

TEST_F(TkOpen, FallbackWithoutErrorBoxesShowsNothing) {
    tk_set_error_boxes(0);
    tk_set_display_mode(TK_MODE_INDEX);
    sim.fail_times["choose_pixel_format"] = 1;
    EXPECT_EQ(tk_open_window("t"), 1);
    EXPECT_TRUE(sim.boxes.empty());
    EXPECT_EQ(calls_named("create_window"), 2);
}

struct FailedStep {
    const char* operation;
    const char* message; // %lX: the window handle
    bool destroys;
};

// Printed by name: without this, GoogleTest dumps the struct's bytes, padding included.
void PrintTo(const FailedStep& step, std::ostream* os) {
    *os << step.operation;
}

class TkOpenFailure : public TkSim, public ::testing::WithParamInterface<FailedStep> {};

TEST_P(TkOpenFailure, ShowsItsMessageAndLeavesNoWindow) {
    const FailedStep& step = GetParam();
    sim.failing.insert(step.operation);
    EXPECT_EQ(open_app_window(), 0);
    std::string message = step.message;
    size_t hole = message.find("0x%08lX");
    if (hole != std::string::npos) message.replace(hole, 7, hex8((unsigned long)0x100));
    EXPECT_EQ(boxes("Error"), (std::vector<std::string>{message}));
    EXPECT_EQ(calls_named("destroy_window"), step.destroys ? 1 : 0);
    EXPECT_EQ(tk_get_window(), 0u);
    EXPECT_EQ(tk_get_device_context(), 0u);
    EXPECT_EQ(tk_get_gl_context(), 0u);
    EXPECT_EQ(calls_named("post_quit"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, TkOpenFailure,
    ::testing::Values(FailedStep{"create_window", "create window failed\n", false},
                      FailedStep{"get_dc", "Could not get an HDC for window 0x%08lX\n", true},
                      FailedStep{"set_pixel_format", "SetPixelFormat failed\n", true},
                      FailedStep{"gl_create_context", "wglCreateContext Failed\n", true},
                      FailedStep{"gl_make_current", "wglMakeCurrent Failed\n", true}),
    [](const ::testing::TestParamInfo<FailedStep>& info) {
        return std::string(info.param.operation);
    });

TEST_F(TkOpen, ContextThatCannotBeMadeCurrentIsDeletedByTheTeardown) {
    sim.failing.insert("gl_make_current");
    EXPECT_EQ(open_app_window(), 0);
    int destroy = sim_find("destroy_window");
    ASSERT_GE(destroy, 0);
    EXPECT_GT(sim_find("gl_delete_context", destroy), destroy);
    EXPECT_GT(sim_find("release_dc", destroy), destroy);
}

TEST_F(TkOpen, ErrorBoxesOffShowNothing) {
    tk_set_error_boxes(0);
    sim.failing.insert("create_window");
    EXPECT_EQ(open_app_window(), 0);
    EXPECT_TRUE(sim.boxes.empty());
}

TEST_F(TkOpen, ErrorBoxIsShownOverTheFocusWindow) {
    sim.focus = 0x77;
    sim.failing.insert("create_window");
    EXPECT_EQ(open_app_window(), 0);
    ASSERT_EQ(sim.boxes.size(), 1u);
    EXPECT_EQ(sim.boxes[0].owner, 0x77u);
}

TEST_F(TkOpen, OpenFillsTheSlotsAndLeavesDisplayAndIdle) {
    auto idle = [] {};
    tk_on_idle(idle);
    ASSERT_EQ(open_app_window(), 1);
    EXPECT_EQ(g_tk_slots.reshape, &tk_default_reshape);
    EXPECT_NE(g_tk_slots.key, nullptr);
    EXPECT_NE(g_tk_slots.mouse_down, nullptr);
    EXPECT_NE(g_tk_slots.mouse_up, nullptr);
    EXPECT_NE(g_tk_slots.mouse_move, nullptr);
    EXPECT_EQ(g_tk_slots.idle, +idle);
    EXPECT_EQ(g_tk_slots.display, nullptr);
}

TEST_F(TkOpen, WideTitleOpensTheSameWay) {
    tk_set_display_mode(TK_MODE_DOUBLE);
    EXPECT_EQ(tk_open_window_wide(L"wide"), 1);
    EXPECT_EQ(sim.title, "wide");
}
