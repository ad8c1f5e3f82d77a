// The X11 backend's pixel formats on a real X server: one for each visual GLX can render to, in
// the server's order, each described as GLX itself describes that visual.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "toolkit/platform.h"
#include "toolkit/x11/x11.h"

namespace {

class X11PixelFormat : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!getenv("DISPLAY") || !x11_connect()) GTEST_SKIP() << "no X display";
        Display* d = g_x11.display;
        top_ = XCreateSimpleWindow(d, RootWindow(d, g_x11.screen), 0, 0, 64, 64, 0, 0, 0);
        g_x11.win.top = top_;
        dc_ = (TkHandle)&g_x11.win;
    }
    void TearDown() override {
        if (!top_) return;
        XDestroyWindow(g_x11.display, top_);
        XSync(g_x11.display, False);
        g_x11.win = X11Window{};
    }

    static int glx(XVisualInfo* v, int attribute) {
        int value = -1;
        EXPECT_EQ(glXGetConfig(g_x11.display, v, attribute, &value), 0)
            << "attribute " << attribute;
        return value;
    }
    // The visuals of the screen that GLX says it can render to, in the server's order.
    static std::vector<VisualID> gl_visuals() {
        XVisualInfo pattern;
        pattern.screen = g_x11.screen;
        int count = 0;
        XVisualInfo* list = XGetVisualInfo(g_x11.display, VisualScreenMask, &pattern, &count);
        std::vector<VisualID> ids;
        for (int i = 0; i < count; ++i) {
            int use_gl = 0;
            if (glXGetConfig(g_x11.display, &list[i], GLX_USE_GL, &use_gl) == 0 && use_gl)
                ids.push_back(list[i].visualid);
        }
        if (list) XFree(list);
        return ids;
    }
    PlatPixelFormat format(int index) {
        PlatPixelFormat f{};
        EXPECT_GT(x11_describe_pixel_format(dc_, index, &f), 0) << "format " << index;
        return f;
    }

    Window top_ = 0;
    TkHandle dc_ = 0;
};

TEST_F(X11PixelFormat, FormatsAreTheGlVisualsInServerOrder) {
    std::vector<VisualID> expected = gl_visuals();
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(x11_describe_pixel_format(dc_, 1, nullptr), (int)expected.size());
    for (int i = 1; i <= (int)expected.size(); ++i)
        EXPECT_EQ(x11_visual(i)->visualid, expected[i - 1]) << "format " << i;
    PlatPixelFormat f{};
    EXPECT_EQ(x11_describe_pixel_format(dc_, (int)expected.size() + 1, &f), 0);
}

TEST_F(X11PixelFormat, EveryDescriptionAgreesWithGlx) {
    int count = x11_describe_pixel_format(dc_, 1, nullptr);
    ASSERT_GT(count, 0);
    for (int i = 1; i <= count; ++i) {
        SCOPED_TRACE(testing::Message() << "format " << i);
        XVisualInfo* v = x11_visual(i);
        PlatPixelFormat f = format(i);
        bool rgba = glx(v, GLX_RGBA) != 0;
        EXPECT_EQ(f.pixel_type, rgba ? PLAT_PFD_TYPE_RGBA : PLAT_PFD_TYPE_COLORINDEX);
        EXPECT_EQ((f.flags & PLAT_PFD_DOUBLEBUFFER) != 0, glx(v, GLX_DOUBLEBUFFER) != 0);
        EXPECT_EQ((f.flags & PLAT_PFD_STEREO) != 0, glx(v, GLX_STEREO) != 0);
        EXPECT_EQ(f.red_bits, glx(v, GLX_RED_SIZE));
        EXPECT_EQ(f.green_bits, glx(v, GLX_GREEN_SIZE));
        EXPECT_EQ(f.blue_bits, glx(v, GLX_BLUE_SIZE));
        EXPECT_EQ(f.color_bits,
                  rgba ? f.red_bits + f.green_bits + f.blue_bits : glx(v, GLX_BUFFER_SIZE));
        EXPECT_EQ(f.alpha_bits, glx(v, GLX_ALPHA_SIZE));
        EXPECT_EQ(f.accum_alpha_bits, glx(v, GLX_ACCUM_ALPHA_SIZE));
        EXPECT_EQ(f.accum_bits, glx(v, GLX_ACCUM_RED_SIZE) + glx(v, GLX_ACCUM_GREEN_SIZE) +
                                    glx(v, GLX_ACCUM_BLUE_SIZE) + glx(v, GLX_ACCUM_ALPHA_SIZE));
        EXPECT_EQ(f.depth_bits, glx(v, GLX_DEPTH_SIZE));
        EXPECT_EQ(f.stencil_bits, glx(v, GLX_STENCIL_SIZE));
        EXPECT_EQ(f.aux_buffers, glx(v, GLX_AUX_BUFFERS));
        int level = glx(v, GLX_LEVEL);
        EXPECT_EQ(f.layer_type,
                  level == 0 ? PLAT_PFD_MAIN_PLANE
                             : (level > 0 ? PLAT_PFD_OVERLAY_PLANE : PLAT_PFD_UNDERLAY_PLANE));
        EXPECT_EQ(f.red_shift, v->red_mask ? __builtin_ctzl(v->red_mask) : 0);
        EXPECT_EQ(f.flags & (PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL),
                  (uint32_t)(PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL));
    }
}

TEST_F(X11PixelFormat, PlatformChoiceForTheWindowIsDoubleBufferedRgbaWithDepth) {
    PlatPixelFormat request{};
    request.size = PLAT_PFD_SIZE;
    request.version = PLAT_PFD_VERSION;
    request.flags = PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL | PLAT_PFD_DOUBLEBUFFER;
    request.pixel_type = PLAT_PFD_TYPE_RGBA;
    request.color_bits = 24;
    request.depth_bits = 16;
    int chosen = x11_choose_pixel_format(dc_, &request);
    ASSERT_GT(chosen, 0);
    PlatPixelFormat f = format(chosen);
    EXPECT_EQ(f.pixel_type, PLAT_PFD_TYPE_RGBA);
    EXPECT_NE(f.flags & PLAT_PFD_DOUBLEBUFFER, 0u);
    EXPECT_GT(f.depth_bits, 0);
    EXPECT_EQ(f.layer_type, PLAT_PFD_MAIN_PLANE);
    // The answer matches what GLX calls the visual, so a context made for it renders there.
    int double_buffer = 0;
    glXGetConfig(g_x11.display, x11_visual(chosen), GLX_DOUBLEBUFFER, &double_buffer);
    EXPECT_TRUE(double_buffer);
}

} // namespace
