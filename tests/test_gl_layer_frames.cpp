// The program's own frames through the GL 1.1 layer of web/gl/ against Mesa's fixed function:
// crane-render draws them through Mesa's GL and, with --gl gles3, through the layer over
// OpenGL ES 3; the pictures must agree within the tolerances the web build is held to.
#include "tests/support/gl_layer_pictures.h"
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
    const std::string run = std::string("'") + CRANE_RENDER_EXE + "' --frames 75,200,440,800";
    const std::string command = "(" + run + " --out '" + dir + "/mesa' & " + run +
                                " --gl gles3 --out '" + dir + "/gles3'; s=$?; wait $! && exit $s)" +
                                " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
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
    std::system(("rm -rf '" + dir + "'").c_str());
}

} // namespace
