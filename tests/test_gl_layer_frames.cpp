// The program's own frames through the GL 1.1 layer of web/gl/ against Mesa's fixed function:
// crane-render draws them through Mesa's GL and, with --gl gles3, through the layer over
// OpenGL ES 3; the pictures must agree within the tolerances the web build is held to.
#include "tests/support/child_process.h"
#include "tests/support/gl_layer_pictures.h"
#include "tests/support/read_png.h"
#include "render/render_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// Both runs side by side.
TEST(GlLayer, ProgramFramesMatchMesa) {
    char pattern[] = "/tmp/gl-layer-frames-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    child::Process mesa_run;
    child::Options quiet;
    quiet.out = quiet.err = "/dev/null";
    ASSERT_TRUE(
        child::start({CRANE_RENDER_EXE, "--frames", "75,200,440,800", "--out", dir + "/mesa"},
                     quiet, &mesa_run));
    const child::Output gles3_run = child::run(
        {CRANE_RENDER_EXE, "--frames", "75,200,440,800", "--gl", "gles3", "--out", dir + "/gles3"});
    ASSERT_TRUE(child::wait(&mesa_run, 600));
    ASSERT_EQ(child::exit_code(mesa_run), 0);
    ASSERT_EQ(gles3_run.status, 0) << gles3_run.err;
    for (const char* frame : {"0075", "0200", "0440", "0800"}) {
        RenderImage mesa, layer;
        std::string error;
        const std::string name = std::string("/frame-") + frame + ".png";
        ASSERT_TRUE(read_png(dir + "/mesa" + name, &mesa, &error)) << error;
        ASSERT_TRUE(read_png(dir + "/gles3" + name, &layer, &error)) << error;
        const PictureDifference d = report_difference(std::string("frame ") + frame, layer, mesa);
        EXPECT_LE(d.mean, kLayerMeanLimit) << frame;
        EXPECT_LE(d.over_16, kLayerOver16Limit) << frame;
    }
    child::run({"rm", "-rf", dir});
}

} // namespace
