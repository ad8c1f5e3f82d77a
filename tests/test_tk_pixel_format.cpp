// The three pixel-format rules with their tie-breaks, the current format's description, the
// cursor query and error reporting.
#include "tests/support/tk_fixture.h"

namespace {

const TkHandle kDc = 0x200;

PlatPixelFormat index_format(int bits, bool double_buffer) {
    PlatPixelFormat f = sim_format(bits, double_buffer);
    f.pixel_type = PLAT_PFD_TYPE_COLORINDEX;
    return f;
}

class TkPixelFormat : public TkSim {
  protected:
    void SetUp() override {
        TkSim::SetUp();
        sim.formats.clear();
    }
    int choose(int rule, int mode, PlatPixelFormat* out = nullptr) {
        PlatPixelFormat local{};
        tk_set_pixel_format_rule(rule);
        return tk_choose_pixel_format(kDc, mode, out ? out : &local);
    }
};

} // namespace

// ---- Rule 3: describe and let the platform choose ------------------------------------------

TEST_F(TkPixelFormat, DefaultRuleAsksForWhatTheAppModeNeedsAndNothingElse) {
    sim.choose_result = 7;
    PlatPixelFormat f{};
    EXPECT_EQ(choose(3, TK_MODE_DOUBLE, &f), 7);
    EXPECT_EQ(f.size, 40);
    EXPECT_EQ(f.version, 1);
    EXPECT_EQ(f.flags, (uint32_t)(PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL |
                                  PLAT_PFD_DOUBLEBUFFER));
    EXPECT_EQ(f.pixel_type, PLAT_PFD_TYPE_RGBA);
    EXPECT_EQ(f.color_bits, 24);
    EXPECT_EQ(f.alpha_bits, 0);
    EXPECT_EQ(f.accum_bits, 0);
    EXPECT_EQ(f.depth_bits, 0);
    EXPECT_EQ(f.stencil_bits, 0);
    EXPECT_EQ(f.aux_buffers, 0);
    EXPECT_EQ(f.layer_type, PLAT_PFD_MAIN_PLANE);
}

TEST_F(TkPixelFormat, DefaultRuleFillsEveryRequestedBuffer) {
    PlatPixelFormat f{};
    choose(3, TK_MODE_ALPHA | TK_MODE_ACCUM | TK_MODE_DEPTH | TK_MODE_STENCIL, &f);
    EXPECT_EQ(f.flags, (uint32_t)(PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL));
    EXPECT_EQ(f.alpha_bits, 8);
    EXPECT_EQ(f.accum_bits, 32);
    EXPECT_EQ(f.depth_bits, 32);
    EXPECT_EQ(f.stencil_bits, 4);
    choose(3, TK_MODE_DEPTH | TK_MODE_DEPTH16, &f);
    EXPECT_EQ(f.depth_bits, 16);
    choose(3, TK_MODE_INDEX | TK_MODE_ACCUM, &f);
    EXPECT_EQ(f.pixel_type, PLAT_PFD_TYPE_COLORINDEX);
    EXPECT_EQ(f.color_bits, 8);
    EXPECT_EQ(f.accum_bits, 8);
}

TEST_F(TkPixelFormat, DefaultRuleHandsTheRequestToSetPixelFormat) {
    sim.formats = {sim_format(32, true, 24)};
    ASSERT_EQ(open_app_window(), 1);
    // The requested 24 colour bits, not the offered format's 32.
    EXPECT_GE(sim_find("set_pixel_format " + std::to_string(sim.dc) + " 1 37 0 24"), 0);
}

TEST_F(TkPixelFormat, DefaultRulePrefersAnAcceleratedFormatToAnEquallyGoodGenericOne) {
    PlatPixelFormat generic = sim_format(24, true, 24);
    generic.flags |= PLAT_PFD_GENERIC_FORMAT;
    PlatPixelFormat generic_accelerated = generic;
    generic_accelerated.flags |= PLAT_PFD_GENERIC_ACCELERATED;
    sim.choose_result = SIM_CHOOSE_MATCH;
    sim.formats = {generic, sim_format(24, true, 24)};
    EXPECT_EQ(choose(3, TK_MODE_DOUBLE), 2);
    sim.formats = {generic, generic_accelerated, sim_format(24, true, 24)};
    EXPECT_EQ(choose(3, TK_MODE_DOUBLE), 2);
    // Only among equals: a closer generic format still wins.
    sim.formats = {generic, sim_format(24, true, 16)};
    EXPECT_EQ(choose(3, TK_MODE_DOUBLE), 1);
}

// ---- Rule 2: scan ------------------------------------------------------------------------

TEST_F(TkPixelFormat, ScanTakesTheMostColourBits) {
    sim.formats = {sim_format(15, true), sim_format(24, true), sim_format(16, true)};
    PlatPixelFormat f{};
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE, &f), 2);
    EXPECT_EQ(f.color_bits, 24);
}

TEST_F(TkPixelFormat, ScanTieGoesToTheLowerIndex) {
    sim.formats = {sim_format(16, true), sim_format(24, true), sim_format(24, true)};
    sim.formats[2].red_shift = 9; // tell them apart
    PlatPixelFormat f{};
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE, &f), 2);
    EXPECT_NE(f.red_shift, 9);
}

TEST_F(TkPixelFormat, ScanNeverPicksZeroColourBits) {
    sim.formats = {sim_format(0, true)};
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE), 0);
}

TEST_F(TkPixelFormat, ScanWantsDoubleBufferExactlyAsTheMode) {
    sim.formats = {sim_format(24, true), sim_format(16, false)};
    EXPECT_EQ(choose(2, 0), 2);
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE), 1);
}

TEST_F(TkPixelFormat, ScanWantsWindowOpenGlAndTheMainPlane) {
    sim.formats = {sim_format(32, true), sim_format(32, true), sim_format(32, true),
                   sim_format(8, true)};
    sim.formats[0].flags &= ~PLAT_PFD_DRAW_TO_WINDOW;
    sim.formats[1].flags &= ~PLAT_PFD_SUPPORT_OPENGL;
    sim.formats[2].layer_type = PLAT_PFD_OVERLAY_PLANE;
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE), 4);
}

TEST_F(TkPixelFormat, ScanMatchesPixelTypeToTheIndexBit) {
    sim.formats = {index_format(8, true), sim_format(24, true)};
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE), 2);
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE | TK_MODE_INDEX), 1);
}

TEST_F(TkPixelFormat, ScanWantsDepthAndStencilExactlyAsTheMode) {
    sim.formats = {sim_format(32, true, 24), sim_format(24, true, 0), sim_format(16, true, 16)};
    sim.formats[2].stencil_bits = 8;
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE), 2);
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE | TK_MODE_DEPTH), 1);
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE | TK_MODE_DEPTH16), 1);
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE | TK_MODE_DEPTH | TK_MODE_STENCIL), 3);
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE | TK_MODE_STENCIL), 0);
}

TEST_F(TkPixelFormat, ScanMatchesAlphaAndAccumForRgbaOnly) {
    PlatPixelFormat alpha = sim_format(24, true);
    alpha.alpha_bits = 8;
    PlatPixelFormat accum = sim_format(24, true);
    accum.accum_bits = 48;
    PlatPixelFormat both = alpha;
    both.accum_bits = 64;
    PlatPixelFormat both_with_alpha_accum = both;
    both_with_alpha_accum.accum_alpha_bits = 16;
    sim.formats = {alpha, accum, both, both_with_alpha_accum, sim_format(16, true)};
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE), 5);
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE | TK_MODE_ALPHA), 1);
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE | TK_MODE_ACCUM), 2);
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE | TK_MODE_ALPHA | TK_MODE_ACCUM), 4);
    // Colour index ignores alpha and accumulation.
    PlatPixelFormat ci = index_format(8, true);
    ci.accum_bits = 16;
    sim.formats = {ci};
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE | TK_MODE_INDEX), 1);
}

TEST_F(TkPixelFormat, ScanGivesNothingWhenADescriptionFails) {
    sim.formats = {sim_format(24, true), sim_format(32, true)};
    sim.describe_fails_at = 2;
    EXPECT_EQ(choose(2, TK_MODE_DOUBLE), 0);
}

TEST_F(TkPixelFormat, ScanDescriptionIsTheWinnersOwn) {
    PlatPixelFormat f = sim_format(24, true, 16);
    f.red_shift = 16;
    f.blue_shift = 0;
    sim.formats = {f};
    PlatPixelFormat out{};
    ASSERT_EQ(choose(2, TK_MODE_DOUBLE | TK_MODE_DEPTH16, &out), 1);
    EXPECT_EQ(out.red_shift, 16);
    EXPECT_EQ(out.depth_bits, 16);
}

// ---- Explicit index ------------------------------------------------------------------------

TEST_F(TkPixelFormat, ExplicitIndexWithinRangeIsTaken) {
    sim.formats = {sim_format(16, false), sim_format(24, true)};
    tk_set_pixel_format_index(2);
    PlatPixelFormat out{};
    EXPECT_EQ(choose(1, 0, &out), 2);
    EXPECT_EQ(out.color_bits, 24);
    EXPECT_EQ(tk_get_pixel_format_index(), 2);
    EXPECT_EQ(tk_get_pixel_format_rule(), 1);
}

TEST_F(TkPixelFormat, ExplicitIndexZeroOrBeyondTheLastFails) {
    sim.formats = {sim_format(24, true)};
    tk_set_pixel_format_index(0);
    EXPECT_EQ(choose(0, TK_MODE_DOUBLE), 0);
    tk_set_pixel_format_index(2);
    EXPECT_EQ(choose(0, TK_MODE_DOUBLE), 0);
}

TEST_F(TkPixelFormat, ExplicitIndexMustDrawToAWindowWithOpenGl) {
    sim.formats = {sim_format(24, true)};
    sim.formats[0].flags &= ~PLAT_PFD_SUPPORT_OPENGL;
    tk_set_pixel_format_index(1);
    EXPECT_EQ(choose(5, TK_MODE_DOUBLE), 0);
}

TEST_F(TkPixelFormat, ExplicitIndexBeyondTheLastFailsTheOpen) {
    sim.formats = {sim_format(24, true)};
    tk_set_pixel_format_rule(1);
    tk_set_pixel_format_index(3);
    EXPECT_EQ(open_app_window(), 0);
    EXPECT_EQ(boxes("Error"), (std::vector<std::string>{"Selecting a pixel format failed\n"}));
}

// ---- Current format ------------------------------------------------------------------------

TEST_F(TkPixelFormat, CurrentFormatIsDescribed) {
    sim.formats = {sim_format(16, true), sim_format(24, true)};
    sim.current_format = 2;
    PlatPixelFormat out{};
    EXPECT_EQ(tk_describe_current_format(kDc, &out), 2);
    EXPECT_EQ(out.color_bits, 24);
    EXPECT_TRUE(sim.boxes.empty());
}

TEST_F(TkPixelFormat, NoCurrentFormatIsReportedWithTheDeviceContext) {
    sim.current_format = 0;
    PlatPixelFormat out{};
    EXPECT_EQ(tk_describe_current_format(0x1234abcd, &out), 0);
    EXPECT_EQ(boxes("Error"),
              (std::vector<std::string>{"Could not get pixel format for Dc 0x1234ABCD\n"}));
}

TEST_F(TkPixelFormat, UndescribableCurrentFormatIsReportedWithItsIndex) {
    sim.formats = {sim_format(24, true)};
    sim.current_format = 1;
    sim.describe_fails_at = 1;
    PlatPixelFormat out{};
    EXPECT_EQ(tk_describe_current_format(kDc, &out), 0);
    EXPECT_EQ(boxes("Error"),
              (std::vector<std::string>{"Could not get a description of pixel format 1\n"}));
}

// ---- Cursor and reporting ----------------------------------------------------------------------

TEST_F(TkPixelFormat, MousePositionIsRelativeToTheClientOrigin) {
    tk_set_window_rect(10, 20, 632, 425); // client origin (14, 42)
    sim.cursor_x = 100;
    sim.cursor_y = 80;
    int x = -1, y = -1;
    tk_get_mouse_position(&x, &y);
    EXPECT_EQ(x, 86);
    EXPECT_EQ(y, 38);
}

TEST_F(TkPixelFormat, MousePositionFollowsAMovedWindow) {
    sim.formats = {sim_format(24, true)};
    ASSERT_EQ(open_app_window(), 1);
    PlatEvent moved{PLAT_EV_MOVED, tk_get_window(), 300, 200, 0, 0};
    tk_win_proc(&moved);
    sim.cursor_x = 310;
    sim.cursor_y = 205;
    int x = 0, y = 0;
    tk_get_mouse_position(&x, &y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 5);
}

TEST_F(TkPixelFormat, ReportedMessagesFitIn256Characters) {
    std::string long_text(400, 'x');
    tk_report_error("%s", long_text.c_str());
    ASSERT_EQ(sim.boxes.size(), 1u);
    EXPECT_EQ(sim.boxes[0].text.size(), 255u);
    EXPECT_EQ(sim.boxes[0].caption, "Error");
}
