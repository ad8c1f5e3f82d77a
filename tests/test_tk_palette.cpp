// Palettes and system colours on the simulated window system: palette making on 256-colour
// devices, realisation on activation, taking over and giving back the system colours, and the
// colour-map operations.
#include "tests/support/tk_fixture.h"

namespace {

const uint8_t kLevels2[4] = {0, 116, 191, 255};
const uint8_t kLevels3[8] = {0, 63, 104, 139, 171, 200, 229, 255};

const char* const kSlotNames[25] = {
    "Scrollbar",     "Background",     "ActiveTitle",  "InactiveTitle", "Menu",
    "Window",        "WindowFrame",    "MenuText",     "WindowText",    "TitleText",
    "ActiveBorder",  "InactiveBorder", "AppWorkspace", "Hilight",       "HilightText",
    "ButtonFace",    "ButtonShadow",   "GrayText",     "ButtonText",    "InactiveTitleText",
    "ButtonHilight", "ButtonDkShadow", "ButtonLight",  "InfoText",      "InfoWindow",
};
const bool kSlotWhite[25] = {true,  false, false, true,  true,  true,  false, false, false,
                             true,  true,  true,  true,  false, true,  true,  false, false,
                             false, false, false, false, true,  false, true};

const PlatColor kWhite = PLAT_PALETTERGB(255, 255, 255);
const PlatColor kBlack = PLAT_PALETTERGB(0, 0, 0);

// An RGBA 3-3-2 format of a 256-colour display.
PlatPixelFormat rgb332_format(uint32_t extra_flags = 0) {
    PlatPixelFormat f = sim_format(8, true);
    f.flags |= PLAT_PFD_NEED_PALETTE | extra_flags;
    f.red_bits = 3;
    f.red_shift = 0;
    f.green_bits = 3;
    f.green_shift = 3;
    f.blue_bits = 2;
    f.blue_shift = 6;
    return f;
}

PlatPixelFormat index_format(int color_bits) {
    PlatPixelFormat f = sim_format(color_bits, true);
    f.pixel_type = PLAT_PFD_TYPE_COLORINDEX;
    f.flags |= PLAT_PFD_NEED_PALETTE;
    f.red_bits = f.green_bits = f.blue_bits = 0;
    f.red_shift = f.green_shift = f.blue_shift = 0;
    return f;
}

// The colour a slot starts with, different for every slot.
PlatColor initial_color(int slot) {
    return PLAT_RGB(10 + slot, 100 + slot, 200 + slot);
}

bool same(const PlatPaletteEntry& e, int r, int g, int b) {
    return e.red == r && e.green == g && e.blue == b;
}

class TkPalette : public TkSim {
  protected:
    void SetUp() override {
        TkSim::SetUp();
        // The toolkit registers its window procedure once per process; a fresh simulated
        // platform must still deliver the destroyed event to it, or no teardown would run.
        sim.proc = tk_win_proc;
        tk_set_error_boxes(0);
        for (int i = 0; i < 25; ++i)
            sim.sys_colors[i] = initial_color(i);
    }

    bool open(const PlatPixelFormat& format, int mode = TK_MODE_DOUBLE) {
        sim.formats = {format};
        tk_set_display_mode(mode);
        return tk_open_window("palette") == 1;
    }
    bool open_index(int color_bits, int mode = TK_MODE_DOUBLE | TK_MODE_INDEX) {
        return open(index_format(color_bits), mode);
    }

    const std::vector<PlatPaletteEntry>& entries() { return sim.palettes.at(g_tk_win.palette); }
    const PlatPaletteEntry& entry(int i) { return entries().at(i); }

    int handle(int kind, int a = 0, int b = 0, TkHandle other = 0) {
        PlatEvent e{kind, g_tk_win.window, a, b, 0, other};
        return tk_win_proc(&e);
    }
    int activate() { return handle(PLAT_EV_ACTIVATE, 1, 0); }
    int deactivate() { return handle(PLAT_EV_ACTIVATE, 0, 0); }

    int queued(int kind) {
        int n = 0;
        for (const PlatEvent& e : sim.queue)
            if (e.kind == kind) ++n;
        return n;
    }
    void expect_colors_taken(int count) {
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(sim.sys_colors[i], kSlotWhite[i] ? kWhite : kBlack) << "slot " << i;
    }
    void expect_initial_colors(int from, int to) {
        for (int i = from; i < to; ++i)
            EXPECT_EQ(sim.sys_colors[i], initial_color(i)) << "slot " << i;
    }
};

// ---- True-colour displays ------------------------------------------------------------------

TEST_F(TkPalette, TrueColourFormatGetsNoPalette) {
    ASSERT_TRUE(open(sim_format(24, true)));
    EXPECT_EQ(g_tk_win.palette, 0u);
    EXPECT_EQ(sim_count("create_palette"), 0);
    EXPECT_EQ(tk_palette_size(), 0);
}

TEST_F(TkPalette, TrueColourPaletteEventsDoNothing) {
    ASSERT_TRUE(open(sim_format(24, true)));
    sim.calls.clear();
    handle(PLAT_EV_ACTIVATE, 1, 0);
    handle(PLAT_EV_ACTIVATE, 0, 0);
    handle(PLAT_EV_PALETTE_CHANGED, 0, 0, 0x999);
    handle(PLAT_EV_USER_REFRESH);
    EXPECT_EQ(sim_count("select_palette"), 0);
    EXPECT_EQ(sim_count("realize_palette"), 0);
    EXPECT_EQ(sim_count("set_system_palette_use"), 0);
    EXPECT_EQ(sim_count("invalidate"), 0);
    expect_initial_colors(0, 25);
}

TEST_F(TkPalette, TrueColourColourMapOperationsDoNothing) {
    ASSERT_TRUE(open(sim_format(24, true)));
    sim.calls.clear();
    tk_set_color_index(5, 1.0f, 0.0f, 0.0f);
    tk_set_grey_ramp();
    tk_set_grey_blocks(4, 4);
    EXPECT_EQ(tk_reload_palette(), -1);
    EXPECT_EQ(sim_count("create_palette"), 0);
    EXPECT_EQ(sim_count("set_palette_entries"), 0);
    EXPECT_EQ(sim_count("post_user_refresh"), 0);
}

// ---- The RGB palette -----------------------------------------------------------------------

TEST_F(TkPalette, Rgb332RampWithTwelveFixedEntries) {
    ASSERT_TRUE(open(rgb332_format()));
    ASSERT_NE(g_tk_win.palette, 0u);
    ASSERT_EQ(entries().size(), 256u);
    EXPECT_FALSE(tk_palette_is_full());

    struct Fixed {
        int index, r, g, b;
    };
    const Fixed fixed[12] = {{3, 128, 0, 0},       {24, 0, 128, 0},      {27, 128, 128, 0},
                             {64, 0, 0, 128},      {67, 128, 0, 128},    {88, 0, 128, 128},
                             {173, 192, 192, 192}, {181, 192, 220, 192}, {236, 166, 202, 240},
                             {247, 255, 251, 240}, {164, 160, 160, 164}, {91, 128, 128, 128}};
    bool is_fixed[256] = {};
    for (const Fixed& f : fixed) {
        is_fixed[f.index] = true;
        EXPECT_TRUE(same(entry(f.index), f.r, f.g, f.b)) << "entry " << f.index;
    }
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(entry(i).flags, 0) << "entry " << i;
        if (!is_fixed[i]) {
            EXPECT_TRUE(same(entry(i), kLevels3[i & 7], kLevels3[(i >> 3) & 7], kLevels2[i >> 6]))
                << "entry " << i;
        }
    }
    EXPECT_TRUE(same(entry(0), 0, 0, 0));
    EXPECT_TRUE(same(entry(255), 255, 255, 255));
    EXPECT_TRUE(same(entry(0x49), 63, 63, 116));
}

TEST_F(TkPalette, Rgb332PaletteRealizedInForegroundWithoutTakeOver) {
    ASSERT_TRUE(open(rgb332_format()));
    int select = sim_find("select_palette");
    ASSERT_GE(select, 0);
    EXPECT_EQ(sim.calls[select].substr(sim.calls[select].size() - 2), " 0");
    EXPECT_GT(sim_find("realize_palette", select), select);
    EXPECT_EQ(sim.selected_palette, g_tk_win.palette);
    EXPECT_EQ(sim_count("set_system_palette_use"), 0);
    EXPECT_EQ(sim.broadcasts, 0);
    expect_initial_colors(0, 25);
}

TEST_F(TkPalette, PaletteMadeAfterFormatAndBeforeGlContext) {
    ASSERT_TRUE(open(rgb332_format()));
    int set_format = sim_find("set_pixel_format");
    int create = sim_find("create_palette");
    int context = sim_find("gl_create_context");
    ASSERT_GE(set_format, 0);
    EXPECT_GT(create, set_format);
    EXPECT_GT(context, create);
}

TEST_F(TkPalette, OtherLayoutGetsPlainRamp) {
    PlatPixelFormat f = rgb332_format();
    f.red_shift = 5;
    f.green_shift = 2;
    f.blue_shift = 0;
    ASSERT_TRUE(open(f));
    for (int i = 0; i < 256; ++i)
        EXPECT_TRUE(same(entry(i), kLevels3[(i >> 5) & 7], kLevels3[(i >> 2) & 7], kLevels2[i & 3]))
            << "entry " << i;
}

TEST_F(TkPalette, RampOfSmallDisplayHasTwoToTheColourBitsEntries) {
    PlatPixelFormat f = sim_format(4, true);
    f.flags |= PLAT_PFD_NEED_PALETTE;
    f.red_bits = 1;
    f.red_shift = 0;
    f.green_bits = 2;
    f.green_shift = 1;
    f.blue_bits = 1;
    f.blue_shift = 3;
    ASSERT_TRUE(open(f));
    ASSERT_EQ(entries().size(), 16u);
    for (int i = 0; i < 16; ++i) {
        EXPECT_TRUE(same(entry(i), (i & 1) ? 255 : 0, kLevels2[(i >> 1) & 3], (i & 8) ? 255 : 0))
            << "entry " << i;
        EXPECT_EQ(entry(i).flags, 0);
    }
}

TEST_F(TkPalette, ChannelOfFourBitsGetsLevelZero) {
    PlatPixelFormat f = rgb332_format();
    f.red_bits = 4;
    ASSERT_TRUE(open(f));
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(entry(i).red, 0) << "entry " << i;
}

// ---- The full palette ----------------------------------------------------------------------

TEST_F(TkPalette, FormatNeedingSystemPaletteGetsPlainRampWithNoCollapse) {
    ASSERT_TRUE(open(rgb332_format(PLAT_PFD_NEED_SYSTEM_PALETTE)));
    EXPECT_TRUE(tk_palette_is_full());
    EXPECT_EQ(entry(0).flags, 0);
    EXPECT_EQ(entry(255).flags, 0);
    for (int i = 1; i < 255; ++i)
        EXPECT_EQ(entry(i).flags, PLAT_PC_NOCOLLAPSE) << "entry " << i;
    // No fixed entries: entry 3 keeps its ramp colour.
    EXPECT_TRUE(same(entry(3), kLevels3[3], 0, 0));
    EXPECT_TRUE(same(entry(173), kLevels3[5], kLevels3[5], kLevels2[2]));
}

TEST_F(TkPalette, SystemPaletteModeGivesFullPalette) {
    ASSERT_TRUE(open(rgb332_format(), TK_MODE_DOUBLE | TK_MODE_SYSTEM_PALETTE));
    EXPECT_TRUE(tk_palette_is_full());
    for (int i = 1; i < 255; ++i)
        EXPECT_EQ(entry(i).flags, PLAT_PC_NOCOLLAPSE) << "entry " << i;
    expect_colors_taken(25);
}

TEST_F(TkPalette, FullPaletteTakesSystemColoursWhileActive) {
    ASSERT_TRUE(open(rgb332_format(PLAT_PFD_NEED_SYSTEM_PALETTE)));
    EXPECT_TRUE(tk_system_colors_taken());
    EXPECT_EQ(sim.system_palette_use, PLAT_SYSPAL_NOSTATIC);
    expect_colors_taken(25);
    EXPECT_EQ(sim.broadcasts, 1);
    // Saved before being replaced, the palette then unrealized, selected and realized.
    int save = sim_find("get_sys_color");
    int set = sim_find("set_sys_colors 25");
    int unrealize = sim_find("unrealize_palette");
    int select = sim_find("select_palette", unrealize);
    ASSERT_GE(save, 0);
    EXPECT_GT(set, save);
    EXPECT_GT(unrealize, set);
    EXPECT_GT(select, unrealize);
    EXPECT_GT(sim_find("realize_palette", select), select);
}

TEST_F(TkPalette, DeactivationGivesBackColoursFromRegistry) {
    sim.registry["Background"] = {PLAT_REG_SZ, "1 2 3"};
    sim.registry["InfoWindow"] = {PLAT_REG_SZ, "255 255 225"};
    ASSERT_TRUE(open(rgb332_format(PLAT_PFD_NEED_SYSTEM_PALETTE)));
    EXPECT_EQ(deactivate(), 0); // default handling follows
    EXPECT_FALSE(tk_system_colors_taken());
    EXPECT_EQ(sim.sys_colors[1], PLAT_RGB(1, 2, 3));
    EXPECT_EQ(sim.sys_colors[24], PLAT_RGB(255, 255, 225));
    expect_initial_colors(2, 24);
    EXPECT_EQ(sim.sys_colors[0], initial_color(0)); // not in the registry: the saved colour
    EXPECT_EQ(sim.system_palette_use, PLAT_SYSPAL_STATIC);
    EXPECT_EQ(sim.broadcasts, 2);
    EXPECT_GE(sim_find("default_event"), 0);
}

TEST_F(TkPalette, DeactivationRealizesInBackground) {
    ASSERT_TRUE(open(rgb332_format(PLAT_PFD_NEED_SYSTEM_PALETTE)));
    sim.calls.clear();
    deactivate();
    int select = sim_find("select_palette");
    ASSERT_GE(select, 0);
    EXPECT_EQ(sim.calls[select].substr(sim.calls[select].size() - 2), " 1");
    EXPECT_GT(select, sim_find("set_sys_colors"));
}

TEST_F(TkPalette, ReactivationTakesColoursAgain) {
    ASSERT_TRUE(open(rgb332_format(PLAT_PFD_NEED_SYSTEM_PALETTE)));
    deactivate();
    EXPECT_EQ(activate(), 1);
    EXPECT_TRUE(tk_system_colors_taken());
    expect_colors_taken(25);
    EXPECT_EQ(sim.broadcasts, 3);
}

TEST_F(TkPalette, SecondActivationWhileTakenRealizesNothing) {
    ASSERT_TRUE(open(rgb332_format(PLAT_PFD_NEED_SYSTEM_PALETTE)));
    sim.calls.clear();
    sim.realize_result = 5;
    EXPECT_EQ(activate(), 1);
    EXPECT_EQ(tk_realize_palette(g_tk_win.dc, g_tk_win.palette, false), -1);
    EXPECT_EQ(sim_count("set_system_palette_use"), 0);
    EXPECT_EQ(sim_count("set_sys_colors"), 0);
    EXPECT_EQ(sim_count("select_palette"), 0);
    EXPECT_EQ(sim_count("realize_palette"), 0);
    EXPECT_EQ(sim_count("invalidate"), 0);
    // The colours saved at the first take-over are still the ones given back.
    deactivate();
    expect_initial_colors(0, 25);
}

TEST_F(TkPalette, GrabWhileTakenRefuses) {
    ASSERT_TRUE(open(rgb332_format(PLAT_PFD_NEED_SYSTEM_PALETTE)));
    sim.calls.clear();
    EXPECT_FALSE(tk_grab_system_colors(g_tk_win.dc));
    EXPECT_EQ(sim_count("set_system_palette_use"), 0);
    EXPECT_TRUE(tk_system_colors_taken());
}

TEST_F(TkPalette, FullPaletteRefreshWhileTakenRealizesNothing) {
    ASSERT_TRUE(open_index(8, TK_MODE_DOUBLE | TK_MODE_INDEX | TK_MODE_SYSTEM_PALETTE));
    ASSERT_EQ(tk_palette_size(), 256);
    ASSERT_TRUE(tk_system_colors_taken());
    tk_set_color_index(10, 0.5f, 0.5f, 0.5f);
    ASSERT_EQ(queued(PLAT_EV_USER_REFRESH), 1);
    sim.queue.clear();
    sim.calls.clear();
    sim.realize_result = 1;
    handle(PLAT_EV_USER_REFRESH);
    EXPECT_EQ(sim_count("realize_palette"), 0);
    EXPECT_EQ(sim_count("invalidate"), 0);
    EXPECT_EQ(queued(PLAT_EV_USER_REFRESH), 0); // no retry: the colours are ours already
}

TEST_F(TkPalette, ActivationWhileMinimizedGetsDefaultHandlingOnly) {
    ASSERT_TRUE(open(rgb332_format()));
    sim.calls.clear();
    EXPECT_EQ(handle(PLAT_EV_ACTIVATE, 1, 1), 0);
    EXPECT_EQ(sim_count("realize_palette"), 0);
    EXPECT_GE(sim_find("default_event"), 0);
}

TEST_F(TkPalette, RemappedEntriesOnActivationAskForRedraw) {
    ASSERT_TRUE(open(rgb332_format()));
    sim.repaint_pending = false;
    sim.realize_result = 3;
    sim.calls.clear();
    EXPECT_EQ(activate(), 1);
    EXPECT_EQ(sim_count("default_event"), 0);
    EXPECT_GE(sim_find("invalidate"), 0);
}

TEST_F(TkPalette, NothingRemappedOnActivationAsksNoRedraw) {
    ASSERT_TRUE(open(rgb332_format()));
    sim.realize_result = 0;
    sim.calls.clear();
    activate();
    EXPECT_GE(sim_find("realize_palette"), 0);
    EXPECT_EQ(sim_count("invalidate"), 0);
}

TEST_F(TkPalette, OtherWindowsPaletteChangeReselectsInBackground) {
    ASSERT_TRUE(open(rgb332_format()));
    sim.realize_result = 4;
    sim.calls.clear();
    handle(PLAT_EV_PALETTE_CHANGED, 0, 0, 0x999);
    int select = sim_find("select_palette");
    ASSERT_GE(select, 0);
    EXPECT_EQ(sim.calls[select].substr(sim.calls[select].size() - 2), " 1");
    EXPECT_GT(sim_find("realize_palette", select), select);
    EXPECT_EQ(sim_count("invalidate"), 0);
}

TEST_F(TkPalette, OwnPaletteChangeIsIgnored) {
    ASSERT_TRUE(open(rgb332_format()));
    sim.calls.clear();
    handle(PLAT_EV_PALETTE_CHANGED, 0, 0, g_tk_win.window);
    EXPECT_EQ(sim_count("select_palette"), 0);
    EXPECT_EQ(sim_count("realize_palette"), 0);
}

TEST_F(TkPalette, PaletteChangeIgnoredWhileColoursTaken) {
    ASSERT_TRUE(open(rgb332_format(PLAT_PFD_NEED_SYSTEM_PALETTE)));
    sim.calls.clear();
    handle(PLAT_EV_PALETTE_CHANGED, 0, 0, 0x999);
    EXPECT_EQ(sim_count("select_palette"), 0);
}

// ---- A refused take-over -------------------------------------------------------------------

TEST_F(TkPalette, RefusedTakeOverYieldsAndPostsOneRefresh) {
    sim.system_palette_use = PLAT_SYSPAL_NOSTATIC; // another program holds the system palette
    ASSERT_TRUE(open(rgb332_format(PLAT_PFD_NEED_SYSTEM_PALETTE)));
    EXPECT_FALSE(tk_system_colors_taken());
    EXPECT_GE(sim_find("yield"), 0);
    EXPECT_EQ(queued(PLAT_EV_USER_REFRESH), 1);
    EXPECT_EQ(sim_count("realize_palette"), 0);
    expect_initial_colors(0, 25);
    // A second refusal while the request is queued posts no other one.
    activate();
    EXPECT_EQ(queued(PLAT_EV_USER_REFRESH), 1);
}

TEST_F(TkPalette, RefusedTakeOverSucceedsOnLaterRefresh) {
    sim.failing.insert("set_system_palette_use");
    ASSERT_TRUE(open(rgb332_format(PLAT_PFD_NEED_SYSTEM_PALETTE)));
    EXPECT_FALSE(tk_system_colors_taken());
    ASSERT_EQ(queued(PLAT_EV_USER_REFRESH), 1);
    sim.queue.clear();

    // Still refused: a new request.
    handle(PLAT_EV_USER_REFRESH);
    EXPECT_EQ(queued(PLAT_EV_USER_REFRESH), 1);
    sim.queue.clear();

    sim.failing.erase("set_system_palette_use");
    sim.realize_result = 2;
    sim.calls.clear();
    handle(PLAT_EV_USER_REFRESH);
    EXPECT_TRUE(tk_system_colors_taken());
    expect_colors_taken(25);
    EXPECT_GE(sim_find("realize_palette"), 0);
    EXPECT_GE(sim_find("invalidate"), 0);
    EXPECT_EQ(queued(PLAT_EV_USER_REFRESH), 0);
}

// ---- User colours from the registry --------------------------------------------------------

TEST_F(TkPalette, UserColourComponentsCutToLowEightBits) {
    sim.registry["Menu"] = {PLAT_REG_SZ, "300 -1 65"};
    PlatColor colors[25] = {};
    EXPECT_TRUE(tk_read_user_colors(colors, 25));
    EXPECT_EQ(colors[4], PLAT_RGB(44, 255, 65));
}

TEST_F(TkPalette, EverySlotReadFromItsValueName) {
    for (int i = 0; i < 25; ++i)
        sim.registry[kSlotNames[i]] = {PLAT_REG_SZ, std::to_string(i) + " " +
                                                        std::to_string(2 * i) + " " +
                                                        std::to_string(3 * i)};
    PlatColor colors[25] = {};
    EXPECT_TRUE(tk_read_user_colors(colors, 25));
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(colors[i], PLAT_RGB(i, 2 * i, 3 * i)) << kSlotNames[i];
    EXPECT_GE(sim_find("reg_open_user_key Control Panel\\Colors"), 0);
    EXPECT_EQ(sim_count("reg_close"), 1);
}

TEST_F(TkPalette, UnusableRegistryTextLeavesSlot) {
    sim.registry["Scrollbar"] = {PLAT_REG_SZ, "12 34"};
    sim.registry["Background"] = {PLAT_REG_SZ, "red green blue"};
    sim.registry["ActiveTitle"] = {PLAT_REG_NONE, "1 2 3"};
    sim.registry["InactiveTitle"] = {PLAT_REG_SZ, std::string(80, '7')};
    PlatColor colors[25];
    for (int i = 0; i < 25; ++i)
        colors[i] = initial_color(i);
    EXPECT_TRUE(tk_read_user_colors(colors, 25));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(colors[i], initial_color(i)) << kSlotNames[i];
}

TEST_F(TkPalette, MissingRegistryKeyChangesNothing) {
    sim.registry_present = false;
    sim.registry["Menu"] = {PLAT_REG_SZ, "1 2 3"};
    PlatColor colors[25] = {};
    EXPECT_FALSE(tk_read_user_colors(colors, 25));
    EXPECT_EQ(colors[4], 0u);
}

TEST_F(TkPalette, OnlyCountSlotsAreRead) {
    sim.registry["ButtonDkShadow"] = {PLAT_REG_SZ, "1 2 3"}; // slot 21
    PlatColor colors[25] = {};
    EXPECT_TRUE(tk_read_user_colors(colors, 21));
    EXPECT_EQ(colors[21], 0u);
    EXPECT_EQ(sim_count("reg_query_value"), 21);
}

// ---- The system colour count ---------------------------------------------------------------

TEST_F(TkPalette, CountFromPlatformVersion) {
    struct Case {
        PlatVersion version;
        int count;
    };
    const Case cases[] = {{{PLAT_VER_PLATFORM_WIN32_NT, 3, 5}, 21},
                          {{PLAT_VER_PLATFORM_WIN32_NT, 3, 51}, 21},
                          {{PLAT_VER_PLATFORM_WIN32_NT, 3, 10}, 25},
                          {{PLAT_VER_PLATFORM_WIN32_NT, 4, 0}, 25},
                          {{PLAT_VER_PLATFORM_WIN32_WINDOWS, 3, 51}, 25}};
    for (const Case& c : cases) {
        sim.version = c.version;
        ASSERT_TRUE(open(sim_format(24, true)));
        EXPECT_EQ(tk_get_system_color_count(), c.count)
            << c.version.platform_id << " " << c.version.major << "." << c.version.minor;
        tk_close_window();
    }
}

TEST_F(TkPalette, CountOf21LeavesLastFourSlotsUntouched) {
    sim.version = PlatVersion{PLAT_VER_PLATFORM_WIN32_NT, 3, 51};
    sim.registry["InfoText"] = {PLAT_REG_SZ, "9 9 9"}; // slot 23, beyond the count
    ASSERT_TRUE(open(rgb332_format(PLAT_PFD_NEED_SYSTEM_PALETTE)));
    EXPECT_EQ(tk_get_system_color_count(), 21);
    expect_colors_taken(21);
    expect_initial_colors(21, 25);
    deactivate();
    expect_initial_colors(0, 25);
    EXPECT_EQ(sim_count("set_sys_colors 21"), 2);
}

// ---- Teardown ------------------------------------------------------------------------------

TEST_F(TkPalette, TeardownSelectsStockPaletteBackAndDeletesPalette) {
    ASSERT_TRUE(open(rgb332_format()));
    TkHandle palette = g_tk_win.palette;
    sim.calls.clear();
    tk_close_window();
    EXPECT_EQ(sim.selected_palette, sim.default_palette);
    EXPECT_EQ(sim.palettes.count(palette), 0u);
    EXPECT_EQ(g_tk_win.palette, 0u);
    int select = sim_find("select_palette");
    int delete_call = sim_find("delete_palette");
    ASSERT_GE(select, 0);
    EXPECT_GT(delete_call, select);
    // The palette goes before the GL context.
    EXPECT_GT(sim_find("gl_delete_context"), delete_call);
}

TEST_F(TkPalette, TeardownOfFullPaletteRestoresColours) {
    sim.registry["Window"] = {PLAT_REG_SZ, "250 250 250"};
    ASSERT_TRUE(open(rgb332_format(PLAT_PFD_NEED_SYSTEM_PALETTE)));
    TkHandle palette = g_tk_win.palette;
    tk_close_window();
    EXPECT_FALSE(tk_system_colors_taken());
    EXPECT_EQ(sim.sys_colors[5], PLAT_RGB(250, 250, 250));
    expect_initial_colors(0, 5);
    expect_initial_colors(6, 25);
    EXPECT_EQ(sim.system_palette_use, PLAT_SYSPAL_STATIC);
    EXPECT_EQ(sim.selected_palette, sim.default_palette);
    EXPECT_EQ(sim.palettes.count(palette), 0u);
}

TEST_F(TkPalette, TeardownAfterDeactivationLeavesColoursAlone) {
    ASSERT_TRUE(open(rgb332_format(PLAT_PFD_NEED_SYSTEM_PALETTE)));
    deactivate();
    int broadcasts = sim.broadcasts;
    tk_close_window();
    EXPECT_EQ(sim.broadcasts, broadcasts);
    expect_initial_colors(0, 25);
}

// ---- Colour-index palettes and the colour-map operations ----------------------------------

TEST_F(TkPalette, IndexPaletteMadeOnFirstUseFromStockColours) {
    ASSERT_TRUE(open_index(8));
    EXPECT_EQ(g_tk_win.palette, 0u);
    EXPECT_EQ(tk_palette_size(), 256);
    ASSERT_NE(g_tk_win.palette, 0u);
    const std::vector<PlatPaletteEntry>& stock = sim.palettes.at(sim.default_palette);
    for (size_t i = 0; i < stock.size(); ++i)
        EXPECT_TRUE(same(entry((int)i), stock[i].red, stock[i].green, stock[i].blue));
    for (int i = (int)stock.size(); i < 256; ++i)
        EXPECT_TRUE(same(entry(i), 0, 0, 0)) << "entry " << i;
    EXPECT_EQ(sim.selected_palette, g_tk_win.palette);
}

TEST_F(TkPalette, IndexPaletteOfFullPaletteHasBlackAndWhiteEnds) {
    ASSERT_TRUE(open_index(8, TK_MODE_DOUBLE | TK_MODE_INDEX | TK_MODE_SYSTEM_PALETTE));
    ASSERT_EQ(tk_palette_size(), 256);
    EXPECT_TRUE(same(entry(0), 0, 0, 0));
    EXPECT_TRUE(same(entry(255), 255, 255, 255));
    EXPECT_EQ(entry(0).flags, 0);
    EXPECT_EQ(entry(255).flags, 0);
    for (int i = 1; i < 255; ++i)
        EXPECT_EQ(entry(i).flags, PLAT_PC_NOCOLLAPSE);
    expect_colors_taken(25);
}

TEST_F(TkPalette, IndexPaletteSizeFollowsColourBits) {
    ASSERT_TRUE(open_index(4));
    EXPECT_EQ(tk_palette_size(), 16);
    tk_close_window();
    ASSERT_TRUE(open_index(12));
    EXPECT_EQ(tk_palette_size(), 256);
}

TEST_F(TkPalette, SetColorIndexConvertsComponents) {
    ASSERT_TRUE(open_index(8));
    tk_set_color_index(7, 0.0f, 0.5f, 1.0f);
    EXPECT_TRUE(same(entry(7), 0, 128, 255));
    EXPECT_EQ(entry(7).flags, 0);
    tk_set_color_index(0, 1.0f, 1.0f, 1.0f); // not full: index 0 may change, and no reservation
    EXPECT_TRUE(same(entry(0), 255, 255, 255));
    EXPECT_EQ(entry(0).flags, 0);
    // Just under half a step: in single precision the product rounds up to 0.5.
    tk_set_color_index(7, 0.0019607842f, 0.0f, 0.0f);
    EXPECT_EQ(entry(7).red, 0);
}

TEST_F(TkPalette, SetColorIndexClampsComponentsOutsideUnitRange) {
    ASSERT_TRUE(open_index(8));
    tk_set_color_index(9, 2.0f, -1.0f, 1.5f);
    EXPECT_TRUE(same(entry(9), 255, 0, 255));
}

TEST_F(TkPalette, SetColorIndexPostsOneRefresh) {
    ASSERT_TRUE(open_index(8));
    tk_set_color_index(7, 0.2f, 0.2f, 0.2f);
    tk_set_color_index(8, 0.2f, 0.2f, 0.2f);
    EXPECT_EQ(queued(PLAT_EV_USER_REFRESH), 1);
}

TEST_F(TkPalette, SetColorIndexOutsidePaletteWritesNothing) {
    ASSERT_TRUE(open_index(4));
    tk_palette_size();
    sim.calls.clear();
    tk_set_color_index(16, 1.0f, 0.0f, 0.0f);
    tk_set_color_index(-1, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(sim_count("set_palette_entries"), 0);
}

TEST_F(TkPalette, FullPaletteSetColorIndexLeavesEndsAndReservesWhite) {
    ASSERT_TRUE(open_index(8, TK_MODE_DOUBLE | TK_MODE_INDEX | TK_MODE_SYSTEM_PALETTE));
    tk_set_color_index(0, 1.0f, 0.0f, 0.0f);
    tk_set_color_index(255, 1.0f, 0.0f, 0.0f);
    EXPECT_TRUE(same(entry(0), 0, 0, 0));
    EXPECT_TRUE(same(entry(255), 255, 255, 255));
    tk_set_color_index(10, 1.0f, 1.0f, 1.0f);
    EXPECT_TRUE(same(entry(10), 255, 255, 255));
    EXPECT_EQ(entry(10).flags, PLAT_PC_NOCOLLAPSE | PLAT_PC_RESERVED);
    tk_set_color_index(11, 1.0f, 1.0f, 0.99f);
    EXPECT_EQ(entry(11).flags, PLAT_PC_NOCOLLAPSE);
}

TEST_F(TkPalette, GreyBlocksFillByBlockAndStep) {
    ASSERT_TRUE(open_index(8));
    tk_set_grey_blocks(4, 4);
    // Entry 16k + j gets min(16k + 16j, 255).
    EXPECT_TRUE(same(entry(0x00), 0, 0, 0));
    EXPECT_TRUE(same(entry(0x12), 48, 48, 48));
    EXPECT_TRUE(same(entry(0x30), 48, 48, 48));
    EXPECT_TRUE(same(entry(0x77), 224, 224, 224));
    EXPECT_TRUE(same(entry(0x88), 255, 255, 255));
    EXPECT_TRUE(same(entry(0xFF), 255, 255, 255));
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(entry(i).flags, 0);
    EXPECT_EQ(queued(PLAT_EV_USER_REFRESH), 1);
}

TEST_F(TkPalette, FullPaletteGreyBlocksFlags) {
    ASSERT_TRUE(open_index(8, TK_MODE_DOUBLE | TK_MODE_INDEX | TK_MODE_SYSTEM_PALETTE));
    tk_set_grey_blocks(4, 4);
    EXPECT_EQ(entry(0).flags, 0);
    EXPECT_EQ(entry(255).flags, 0);
    EXPECT_EQ(entry(0x10).flags, PLAT_PC_NOCOLLAPSE);
    EXPECT_EQ(entry(0x88).flags, PLAT_PC_NOCOLLAPSE | PLAT_PC_RESERVED);
    EXPECT_EQ(entry(0x87).flags, PLAT_PC_NOCOLLAPSE); // 128 + 112 = 240
}

TEST_F(TkPalette, GreyBlocksCoveringPartOfPaletteKeepTheRest) {
    ASSERT_TRUE(open_index(8));
    tk_set_color_index(16, 0.0f, 1.0f, 0.0f);
    tk_set_color_index(200, 1.0f, 0.0f, 0.0f);
    tk_set_grey_blocks(2, 2);             // four blocks of four: entries 0 to 15
    EXPECT_TRUE(same(entry(5), 8, 8, 8)); // 4 + 1 * 4
    EXPECT_TRUE(same(entry(15), 24, 24, 24));
    EXPECT_TRUE(same(entry(16), 0, 255, 0));
    EXPECT_TRUE(same(entry(200), 255, 0, 0));
}

TEST_F(TkPalette, GreyBlocksBeyondPaletteNotWritten) {
    ASSERT_TRUE(open_index(4));
    tk_palette_size();
    sim.calls.clear();
    tk_set_grey_blocks(4, 2); // 64 entries asked of a 16-entry palette
    int set = sim_find("set_palette_entries");
    ASSERT_GE(set, 0);
    const std::string& call = sim.calls[set];
    EXPECT_EQ(call.substr(call.size() - 5), " 0 16");
    ASSERT_EQ(entries().size(), 16u);
    EXPECT_TRUE(same(entry(3), 12, 12, 12));
    EXPECT_TRUE(same(entry(15), 60, 60, 60));
}

TEST_F(TkPalette, GreyRampSpreadsOverPalette) {
    ASSERT_TRUE(open_index(4));
    tk_set_grey_ramp();
    for (int i = 0; i < 16; ++i) {
        EXPECT_TRUE(same(entry(i), 17 * i, 17 * i, 17 * i)) << "entry " << i;
        EXPECT_EQ(entry(i).flags, 0);
    }
    EXPECT_EQ(queued(PLAT_EV_USER_REFRESH), 1);
}

TEST_F(TkPalette, GreyRampRoundsToNearest) {
    ASSERT_TRUE(open_index(3));
    tk_set_grey_ramp();
    // i / 7 * 255 + 0.5, truncated.
    const int expected[8] = {0, 36, 73, 109, 146, 182, 219, 255};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(entry(i).red, expected[i]) << "entry " << i;
}

TEST_F(TkPalette, GreyRampOnOneEntryGivesBlack) {
    ASSERT_TRUE(open_index(0));
    tk_set_color_index(0, 1.0f, 1.0f, 1.0f);
    ASSERT_EQ(tk_palette_size(), 1);
    tk_set_grey_ramp();
    EXPECT_TRUE(same(entry(0), 0, 0, 0));
}

TEST_F(TkPalette, FullPaletteGreyRampMarksAllButEndsWithoutReservation) {
    ASSERT_TRUE(open_index(8, TK_MODE_DOUBLE | TK_MODE_INDEX | TK_MODE_SYSTEM_PALETTE));
    tk_set_grey_ramp();
    EXPECT_EQ(entry(0).flags, 0);
    EXPECT_EQ(entry(255).flags, 0);
    EXPECT_TRUE(same(entry(255), 255, 255, 255));
    for (int i = 1; i < 255; ++i)
        EXPECT_EQ(entry(i).flags, PLAT_PC_NOCOLLAPSE);
}

TEST_F(TkPalette, ReloadRefillsByRampRuleAndRealizes) {
    PlatPixelFormat f = rgb332_format();
    ASSERT_TRUE(open(f));
    tk_set_grey_ramp();
    EXPECT_TRUE(same(entry(3), 3, 3, 3));
    sim.realize_result = 7;
    EXPECT_EQ(tk_reload_palette(), 7);
    EXPECT_TRUE(same(entry(3), 128, 0, 0));
    EXPECT_TRUE(same(entry(0x49), 63, 63, 116));
}

TEST_F(TkPalette, ReloadOfFailedRealisationGivesMinusOne) {
    ASSERT_TRUE(open(rgb332_format()));
    sim.failing.insert("realize_palette");
    EXPECT_EQ(tk_reload_palette(), -1);
}

TEST_F(TkPalette, RealizeFailsWhenSelectFails) {
    ASSERT_TRUE(open(rgb332_format()));
    sim.failing.insert("select_palette");
    EXPECT_EQ(tk_realize_palette(g_tk_win.dc, g_tk_win.palette, false), -1);
    EXPECT_EQ(tk_realize_palette(g_tk_win.dc, g_tk_win.palette, true), -1);
}

} // namespace
