// crane-render's videos: what ffprobe reads in them, how their frames compare with the PNG
// pictures of the same frames, and that a failed video leaves no file behind. crane-render
// runs as its own process from the build folder, where the mesh files are.
#include "render/render_image.h"

#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/read_png.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using CommandResult = child::Output;

struct TempDir {
    std::string path;
    TempDir() {
        char pattern[] = "/tmp/crane-video-test-XXXXXX";
        path = mkdtemp(pattern) ? pattern : "";
    }
    ~TempDir() { child::run({"rm", "-rf", path}); }
};

// Runs a shell command, its output kept.
CommandResult run(const std::string& command) {
    return child::run_shell(command);
}

std::string render(const std::string& args) {
    return std::string("'") + CRANE_RENDER_EXE + "' " + args;
}

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// How far apart two pictures of one size are: the mean difference of a channel, and the
// share of pixels where some channel is off by more than 24.
struct Difference {
    double mean;
    double far_share;
};

Difference compare(const RenderImage& a, const RenderImage& b) {
    double sum = 0.0;
    size_t far = 0;
    const size_t pixels = static_cast<size_t>(a.width) * a.height;
    for (size_t i = 0; i < pixels; ++i) {
        int worst = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs(a.rgba[i * 4 + c] - b.rgba[i * 4 + c]);
            sum += d;
            if (d > worst) worst = d;
        }
        if (worst > 24) ++far;
    }
    return {sum / (pixels * 3.0), static_cast<double>(far) / pixels};
}

RenderImage load(const std::string& path) {
    RenderImage image = {0, 0, {}};
    std::string error;
    EXPECT_TRUE(read_png(path, &image, &error)) << error;
    return image;
}

// Within what H.264 at its default quality leaves of a picture. Frames 1 and 1051, the
// nearest other frame that differs much, are 1.5 apart on average with 1.8 % far pixels. A
// decoded picture one row or column larger than the rendered one repeats its last row or column
// there.
void expect_same_picture(const std::string& decoded, const std::string& rendered) {
    const RenderImage a = load(decoded);
    const RenderImage b = load(rendered);
    ASSERT_TRUE(a.width - b.width == 0 || a.width - b.width == 1) << a.width << " " << b.width;
    ASSERT_TRUE(a.height - b.height == 0 || a.height - b.height == 1) << a.height;
    if (a.height > b.height) {
        const size_t row = static_cast<size_t>(a.width) * 4;
        RenderImage last = {a.width, 1, {a.rgba.end() - row, a.rgba.end()}};
        RenderImage above = {a.width, 1, {a.rgba.end() - 2 * row, a.rgba.end() - row}};
        EXPECT_LT(compare(last, above).mean, 2.0) << "the added row of " << decoded;
    }
    // The part the rendered picture covers.
    RenderImage cut = {b.width, b.height, {}};
    for (int y = 0; y < b.height; ++y) {
        auto from = a.rgba.begin() + static_cast<ptrdiff_t>(y) * a.width * 4;
        cut.rgba.insert(cut.rgba.end(), from, from + b.width * 4);
    }
    const Difference d = compare(cut, b);
    EXPECT_LT(d.mean, 1.0) << decoded << " against " << rendered;
    EXPECT_LT(d.far_share, 0.005) << decoded << " against " << rendered;
}

// What ffprobe says of a video's first stream, one "key=value" line each.
CommandResult probe(const std::string& video, const char* entries) {
    return run(std::string("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                           "stream=") +
               entries + " -of default=nw=1 '" + video + "'");
}

TEST(RenderVideo, OnePassIsH264At30FpsAndItsEndsMatchThePictures) {
    TempDir dir;
    const std::string video = dir.path + "/pass.mp4";
    CommandResult r = run(render("--video '" + video + "'"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(exists(video + ".part"));
    // Off a terminal there is no progress line.
    EXPECT_EQ(r.err.find("frames/s"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\r'), std::string::npos);

    r = probe(video, "codec_name,profile,pix_fmt,width,height,r_frame_rate,nb_read_frames");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("codec_name=h264\n"), std::string::npos) << r.out;
    // What every player takes: High profile, 4:2:0, the odd 425 rows grown to 426.
    EXPECT_NE(r.out.find("profile=High\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("pix_fmt=yuv420p\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("width=632\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("height=426\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("r_frame_rate=30/1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("nb_read_frames=1051\n"), std::string::npos) << r.out;

    r = run("ffmpeg -v error -i '" + video + "' -frames:v 1 '" + dir.path +
            "/first.png' && ffmpeg -v error -i '" + video +
            "' -vf 'select=eq(n\\,1050)' -vsync 0 -frames:v 1 '" + dir.path + "/last.png'");
    ASSERT_EQ(r.status, 0) << r.err;
    r = run(render("--frames 1,1051 --out '" + dir.path + "'"));
    ASSERT_EQ(r.status, 0) << r.err;
    expect_same_picture(dir.path + "/first.png", dir.path + "/frame-0001.png");
    expect_same_picture(dir.path + "/last.png", dir.path + "/frame-1051.png");
}

TEST(RenderVideo, H264IsHigh420AtEverySizeAnOddSideGrownByOne) {
    TempDir dir;
    const struct {
        const char* size;
        const char* coded;
    } cases[] = {{"101x75", "width=102\nheight=76\n"}, {"100x74", "width=100\nheight=74\n"}};
    for (const auto& c : cases) {
        const std::string video = dir.path + "/" + c.size + ".mp4";
        CommandResult r = run(render("--video '" + video + "' --frames 1-3 --size " + c.size));
        ASSERT_EQ(r.status, 0) << r.err;
        r = probe(video, "profile,pix_fmt,width,height");
        ASSERT_EQ(r.status, 0) << r.err;
        for (const char* line : {"profile=High\n", "pix_fmt=yuv420p\n", c.coded})
            EXPECT_NE(r.out.find(line), std::string::npos) << c.size << ": " << r.out;
    }
}

TEST(RenderVideo, AVideoThatCannotBeCompletedLeavesNothing) {
    TempDir dir;
    // A folder that is not there: refused before drawing.
    const std::string missing = dir.path + "/no-such-folder/pass.mp4";
    CommandResult r = run(render("--video '" + missing + "'"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write " + missing), std::string::npos) << r.err;
    EXPECT_FALSE(exists(missing + ".part"));

    // A file that stops growing part way (a full disk): the run goes on, then fails, and
    // neither the video nor its temporary file is left.
    const std::string video = dir.path + "/pass.webm";
    r = run("ulimit -f 64; trap '' XFSZ; exec " + render("--video '" + video + "' --frames 1-300"));
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("pass.webm"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("wrote"), std::string::npos) << r.err;
    EXPECT_FALSE(exists(video));
    EXPECT_FALSE(exists(video + ".part"));

    // Interrupted while it is being written (Ctrl-C).
    const std::string interrupted = dir.path + "/interrupted.mp4";
    child::Process render_process;
    ASSERT_TRUE(child::start({CRANE_RENDER_EXE, "--video", interrupted, "--frames", "1-1000000"},
                             {}, &render_process));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!exists(interrupted + ".part") && std::chrono::steady_clock::now() < deadline &&
           !child::wait(&render_process, 0))
        usleep(20000);
    EXPECT_TRUE(exists(interrupted + ".part"));
    child::end(&render_process, SIGINT, 60);
    EXPECT_TRUE(WIFSIGNALED(render_process.status) && WTERMSIG(render_process.status) == SIGINT)
        << render_process.status;
    EXPECT_FALSE(exists(interrupted));
    EXPECT_FALSE(exists(interrupted + ".part"));
}

} // namespace
