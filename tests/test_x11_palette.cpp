// The X11 backend's palette operations: logical palettes kept as entries, the stock palette,
// the system palette use; and, where an X display with a PseudoColor visual can be reached,
// palettes as X colormaps of the drawing window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "toolkit/platform.h"
#include "toolkit/x11/x11.h"

namespace {

PlatPaletteEntry grey(int level) {
    return PlatPaletteEntry{(uint8_t)level, (uint8_t)level, (uint8_t)level, 0};
}

TkHandle make_grey_palette(int count) {
    std::vector<PlatPaletteEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back(grey(i));
    return x11_create_palette(PLAT_LOGPALETTE_VERSION, entries.data(), count);
}

TEST(X11Palette, StockPaletteHasTwentyColoursFromBlackToWhite) {
    TkHandle stock = x11_get_default_palette();
    ASSERT_NE(stock, 0u);
    EXPECT_EQ(x11_get_palette_entries(stock, 0, 0, nullptr), 20);
    PlatPaletteEntry e[20];
    ASSERT_EQ(x11_get_palette_entries(stock, 0, 20, e), 20);
    EXPECT_EQ(e[0].red + e[0].green + e[0].blue, 0);
    EXPECT_EQ(e[19].red + e[19].green + e[19].blue, 3 * 255);
    EXPECT_EQ(x11_delete_palette(stock), 0); // stock objects stay
}

TEST(X11Palette, PaletteKeepsItsEntries) {
    TkHandle p = make_grey_palette(16);
    ASSERT_NE(p, 0u);
    EXPECT_EQ(x11_get_palette_entries(p, 0, 0, nullptr), 16);
    PlatPaletteEntry white = {255, 255, 255, PLAT_PC_NOCOLLAPSE};
    EXPECT_EQ(x11_set_palette_entries(p, 5, 1, &white), 1);
    PlatPaletteEntry e[16];
    ASSERT_EQ(x11_get_palette_entries(p, 0, 16, e), 16);
    EXPECT_EQ(e[4].red, 4);
    EXPECT_EQ(e[5].red, 255);
    EXPECT_EQ(e[5].flags, PLAT_PC_NOCOLLAPSE);
    EXPECT_EQ(x11_delete_palette(p), 1);
}

TEST(X11Palette, WritesAndReadsStopAtPaletteEnd) {
    TkHandle p = make_grey_palette(8);
    PlatPaletteEntry e[8] = {};
    EXPECT_EQ(x11_set_palette_entries(p, 6, 8, e), 2);
    EXPECT_EQ(x11_set_palette_entries(p, 8, 1, e), 0);
    EXPECT_EQ(x11_set_palette_entries(p, -1, 1, e), 0);
    PlatPaletteEntry out[8];
    EXPECT_EQ(x11_get_palette_entries(p, 4, 8, out), 4);
    EXPECT_EQ(out[0].red, 4);
    EXPECT_EQ(out[2].red, 0);
    x11_delete_palette(p);
}

TEST(X11Palette, DeletedPaletteIsGone) {
    TkHandle p = make_grey_palette(4);
    ASSERT_EQ(x11_delete_palette(p), 1);
    EXPECT_EQ(x11_delete_palette(p), 0);
    EXPECT_EQ(x11_get_palette_entries(p, 0, 0, nullptr), 0);
    EXPECT_EQ(x11_unrealize_palette(p), 0);
}

TEST(X11Palette, BadPaletteRequestsMakeNone) {
    PlatPaletteEntry e = grey(1);
    EXPECT_EQ(x11_create_palette(0x200, &e, 1), 0u);
    EXPECT_EQ(x11_create_palette(PLAT_LOGPALETTE_VERSION, &e, 0), 0u);
    EXPECT_EQ(x11_create_palette(PLAT_LOGPALETTE_VERSION, nullptr, 4), 0u);
}

TEST(X11Palette, NoWindowNoSelection) {
    TkHandle p = make_grey_palette(4);
    EXPECT_EQ(x11_select_palette(0, p, 0), 0u);
    EXPECT_EQ(x11_realize_palette(0), -1);
    x11_delete_palette(p);
}

TEST(X11Palette, SystemPaletteUseAnswersPreviousUse) {
    EXPECT_EQ(x11_set_system_palette_use(0, PLAT_SYSPAL_NOSTATIC), PLAT_SYSPAL_STATIC);
    EXPECT_EQ(x11_set_system_palette_use(0, PLAT_SYSPAL_STATIC), PLAT_SYSPAL_NOSTATIC);
    EXPECT_EQ(x11_set_system_palette_use(0, 7), PLAT_SYSPAL_ERROR);
    EXPECT_EQ(x11_set_system_palette_use(0, PLAT_SYSPAL_STATIC), PLAT_SYSPAL_STATIC);
}

// ---- Palettes as colormaps of a PseudoColor window --------------------------------------

// A drawing window of an 8-bit PseudoColor visual inside a top-level window, set up the way
// the backend's pixel-format step leaves them.
class X11PseudoColor : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!getenv("DISPLAY") || !x11_connect()) GTEST_SKIP() << "no X display";
        Display* d = g_x11.display;
        XVisualInfo pattern;
        pattern.screen = g_x11.screen;
        pattern.c_class = PseudoColor;
        pattern.depth = 8;
        int count = 0;
        XVisualInfo* list = XGetVisualInfo(d, VisualScreenMask | VisualClassMask | VisualDepthMask,
                                           &pattern, &count);
        if (!list || count == 0) {
            if (list) XFree(list);
            GTEST_SKIP() << "no 8-bit PseudoColor visual";
        }
        XVisualInfo v = list[0];
        XFree(list);
        Window root = RootWindow(d, g_x11.screen);
        top_ = XCreateSimpleWindow(d, root, 0, 0, 64, 64, 0, 0, 0);
        own_ = XCreateColormap(d, root, v.visual, AllocNone);
        XSetWindowAttributes a;
        a.colormap = own_;
        a.border_pixel = 0;
        gl_ = XCreateWindow(d, top_, 0, 0, 64, 64, 0, v.depth, InputOutput, v.visual,
                            CWColormap | CWBorderPixel, &a);
        XMapWindow(d, top_);
        XMapWindow(d, gl_);
        XSync(d, False);
        g_x11.win.top = top_;
        g_x11.win.gl = gl_;
        g_x11.win.colormap = own_;
        g_x11.win.format = 1;
        dc_ = (TkHandle)&g_x11.win;
    }
    void TearDown() override {
        if (!top_) return;
        x11_select_palette(dc_, x11_get_default_palette(), 0);
        XDestroyWindow(g_x11.display, top_);
        XFreeColormap(g_x11.display, own_);
        XSync(g_x11.display, False);
        g_x11.win = X11Window{};
    }

    // Entry i: red i, green 255 - i, blue i / 2.
    static TkHandle make_ramp() {
        std::vector<PlatPaletteEntry> e(256);
        for (int i = 0; i < 256; ++i)
            e[i] = PlatPaletteEntry{(uint8_t)i, (uint8_t)(255 - i), (uint8_t)(i / 2), 0};
        return x11_create_palette(PLAT_LOGPALETTE_VERSION, e.data(), 256);
    }
    Colormap window_colormap() {
        XWindowAttributes a;
        XGetWindowAttributes(g_x11.display, gl_, &a);
        return a.colormap;
    }
    XColor stored(Colormap c, int pixel) {
        XColor color;
        color.pixel = (unsigned long)pixel;
        XQueryColor(g_x11.display, c, &color);
        return color;
    }
    bool installed(Colormap c) {
        int n = 0;
        Colormap* maps = XListInstalledColormaps(g_x11.display, gl_, &n);
        bool found = false;
        for (int i = 0; i < n; ++i)
            found = found || maps[i] == c;
        if (maps) XFree(maps);
        return found;
    }

    Window top_ = 0, gl_ = 0;
    Colormap own_ = 0;
    TkHandle dc_ = 0;
};

TEST_F(X11PseudoColor, SelectedPaletteBecomesWindowColormapHoldingItsEntries) {
    TkHandle p = make_ramp();
    ASSERT_NE(x11_select_palette(dc_, p, 0), 0u);
    Colormap c = window_colormap();
    EXPECT_NE(c, own_);
    EXPECT_EQ(x11_realize_palette(dc_), 256);
    for (int i : {0, 1, 100, 200, 255}) {
        XColor color = stored(c, i);
        EXPECT_EQ(color.red >> 8, i) << "pixel " << i;
        EXPECT_EQ(color.green >> 8, 255 - i) << "pixel " << i;
        EXPECT_EQ(color.blue >> 8, i / 2) << "pixel " << i;
    }
    x11_delete_palette(p);
}

TEST_F(X11PseudoColor, RealizeCountsEntriesThatChanged) {
    TkHandle p = make_ramp();
    x11_select_palette(dc_, p, 0);
    EXPECT_EQ(x11_realize_palette(dc_), 256);
    EXPECT_EQ(x11_realize_palette(dc_), 0);
    PlatPaletteEntry e = {9, 9, 9, 0};
    x11_set_palette_entries(p, 7, 1, &e);
    EXPECT_EQ(x11_realize_palette(dc_), 1);
    EXPECT_EQ(stored(window_colormap(), 7).red >> 8, 9);
    x11_unrealize_palette(p);
    EXPECT_EQ(x11_realize_palette(dc_), 256);
    x11_delete_palette(p);
}

TEST_F(X11PseudoColor, ForegroundRealisationInstallsColormap) {
    TkHandle p = make_ramp();
    x11_select_palette(dc_, p, 1);
    x11_realize_palette(dc_);
    Colormap c = window_colormap();
    EXPECT_FALSE(installed(c));
    x11_select_palette(dc_, p, 0);
    x11_realize_palette(dc_);
    EXPECT_TRUE(installed(c));
    x11_delete_palette(p);
}

TEST_F(X11PseudoColor, StockPaletteGivesWindowItsOwnColormap) {
    TkHandle p = make_ramp();
    x11_select_palette(dc_, p, 0);
    EXPECT_EQ(x11_select_palette(dc_, x11_get_default_palette(), 0), p);
    EXPECT_EQ(window_colormap(), own_);
    EXPECT_EQ(x11_realize_palette(dc_), 0);
    x11_delete_palette(p);
}

TEST_F(X11PseudoColor, DeletingSelectedPaletteGivesWindowItsOwnColormap) {
    TkHandle p = make_ramp();
    x11_select_palette(dc_, p, 0);
    x11_realize_palette(dc_);
    ASSERT_EQ(x11_delete_palette(p), 1);
    EXPECT_EQ(window_colormap(), own_);
    EXPECT_EQ(x11_select_palette(dc_, x11_get_default_palette(), 0), x11_get_default_palette());
}

} // namespace
