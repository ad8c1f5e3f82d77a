// crane-render's command line: what each option accepts, and the reasons it refuses others.
#include "render/render_args.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

struct Parsed {
    bool ok;
    RenderOptions options;
    std::string error;
};

Parsed parse(std::initializer_list<const char*> args) {
    std::vector<const char*> argv(args);
    Parsed p;
    p.ok = parse_render_args(static_cast<int>(argv.size()), argv.data(), &p.options, &p.error);
    return p;
}

void expect_refused(std::initializer_list<const char*> args, const std::string& reason_part) {
    const Parsed p = parse(args);
    EXPECT_FALSE(p.ok);
    EXPECT_NE(p.error.find(reason_part), std::string::npos) << "error was: " << p.error;
}

TEST(RenderArgsFrames, SingleFrameWithDefaults) {
    const Parsed p = parse({"--frames", "75"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.frames, std::vector<int>{75});
    EXPECT_EQ(p.options.out_dir, ".");
    EXPECT_EQ(p.options.width, 632);
    EXPECT_EQ(p.options.height, 425);
    EXPECT_TRUE(p.options.sheet.empty());
    EXPECT_EQ(p.options.bench, 0);
    EXPECT_FALSE(p.options.help);
    EXPECT_EQ(render_last_frame(p.options), 75);
}

TEST(RenderArgsFrames, ListsAndRangesAreSortedAndMerged) {
    const Parsed p = parse({"--frames", "640,3-5,75,4,1051"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.frames, (std::vector<int>{3, 4, 5, 75, 640, 1051}));
    EXPECT_EQ(render_last_frame(p.options), 1051);
}

TEST(RenderArgsFrames, RepeatedOptionAddsFrames) {
    const Parsed p = parse({"--frames", "10", "--frames=2-3"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.frames, (std::vector<int>{2, 3, 10}));
}

TEST(RenderArgsFrames, RangeOfOneFrame) {
    const Parsed p = parse({"--frames", "7-7"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.frames, std::vector<int>{7});
}

TEST(RenderArgsFrames, RefusesWhatIsNotAFrame) {
    expect_refused({"--frames", "0"}, "'0'");
    expect_refused({"--frames", "-3"}, "range");
    expect_refused({"--frames", "5-2"}, "range");
    expect_refused({"--frames", "1,,2"}, "''");
    expect_refused({"--frames", "12a"}, "'12a'");
    expect_refused({"--frames", "+4"}, "'+4'");
    expect_refused({"--frames", "1000001"}, "1000000");
    expect_refused({"--frames", "99999999999999"}, "not a frame");
    expect_refused({"--frames", ""}, "not a frame");
}

TEST(RenderArgsKeys, LettersDigitsAndNamedKeys) {
    const Parsed p =
        parse({"--frames", "300", "--key", "10:p", "--key=20:Escape", "--key", "30:I", "--key",
               "40:7", "--key", "50:Return", "--key", "60:Space", "--key", "70:Esc"});
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(p.options.keys.size(), 7u);
    const int frames[] = {10, 20, 30, 40, 50, 60, 70};
    const int keys[] = {'p', 27, 'I', '7', 13, 32, 27};
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(p.options.keys[i].frame, frames[i]);
        EXPECT_EQ(p.options.keys[i].key, keys[i]);
    }
}

TEST(RenderArgsKeys, RefusesMalformedKeys) {
    expect_refused({"--frames", "9", "--key", "5"}, "N:c");
    expect_refused({"--frames", "9", "--key", ":p"}, "N:c");
    expect_refused({"--frames", "9", "--key", "0:p"}, "N:c");
    expect_refused({"--frames", "9", "--key", "5:"}, "not a key");
    expect_refused({"--frames", "9", "--key", "5:pp"}, "not a key");
    expect_refused({"--frames", "9", "--key", "5:#"}, "not a key");
}

TEST(RenderArgsKeys, KeyAfterTheLastFrameWouldNeverArrive) {
    expect_refused({"--frames", "9", "--key", "10:p"}, "after the last frame 9");
    EXPECT_TRUE(parse({"--frames", "9", "--key", "9:p"}).ok);
    EXPECT_TRUE(parse({"--bench", "9", "--key", "9:i"}).ok);
}

TEST(RenderArgsSize, WidthTimesHeight) {
    const Parsed p = parse({"--frames", "1", "--size", "320x200"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.width, 320);
    EXPECT_EQ(p.options.height, 200);
}

TEST(RenderArgsSize, RefusesOtherSizes) {
    expect_refused({"--frames", "1", "--size", "320"}, "WxH");
    expect_refused({"--frames", "1", "--size", "0x200"}, "WxH");
    expect_refused({"--frames", "1", "--size", "320x"}, "WxH");
    expect_refused({"--frames", "1", "--size", "5000x100"}, "WxH");
    expect_refused({"--frames", "1", "--size", "32 x 20"}, "WxH");
}

TEST(RenderArgsOutput, FolderAndSheet) {
    const Parsed p = parse({"--out", "pics", "--frames", "1,2", "--sheet", "pics/s.png"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.out_dir, "pics");
    EXPECT_EQ(p.options.sheet, "pics/s.png");
    expect_refused({"--frames", "1", "--out", ""}, "--out");
    expect_refused({"--frames", "1", "--sheet="}, "--sheet");
}

TEST(RenderArgsBench, CountAndNothingToSave) {
    const Parsed p = parse({"--bench", "1051"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.bench, 1051);
    EXPECT_TRUE(p.options.frames.empty());
    EXPECT_EQ(render_last_frame(p.options), 1051);
    expect_refused({"--bench", "0"}, "--bench");
    expect_refused({"--bench", "10", "--frames", "3"}, "cannot be combined");
    expect_refused({"--bench", "10", "--sheet", "s.png"}, "cannot be combined");
    expect_refused({"--bench", "10", "--out", "d"}, "cannot be combined");
}

TEST(RenderArgsVideo, OnePassAt30FpsUnlessToldOtherwise) {
    Parsed p = parse({"--video", "pass.mp4"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.video, "pass.mp4");
    EXPECT_EQ(p.options.fps, 30);
    ASSERT_EQ(p.options.frames.size(), 1051u);
    EXPECT_EQ(p.options.frames.front(), 1);
    EXPECT_EQ(render_last_frame(p.options), 1051);
    p = parse({"--video=clip.webm", "--frames", "10-20", "--fps", "12", "--key", "15:i"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.frames.size(), 11u);
    EXPECT_EQ(p.options.fps, 12);
    EXPECT_TRUE(parse({"--video", "preview.webp", "--size", "316x212"}).ok);
}

TEST(RenderArgsVideo, RefusesWhatCannotMakeAWholeVideo) {
    expect_refused({"--video", "pass.avi"}, ".mp4");
    expect_refused({"--video", ".mp4x"}, ".webm");
    expect_refused({"--video", ""}, ".mp4");
    expect_refused({"--video", "a.mp4", "--bench", "10"}, "cannot be combined");
    expect_refused({"--video", "a.mp4", "--out", "x"}, "cannot be combined");
    expect_refused({"--video", "a.mp4", "--sheet", "s.png"}, "cannot be combined");
    expect_refused({"--video", "a.mp4", "--key", "20:Escape"}, "Escape");
    expect_refused({"--frames", "5", "--fps", "30"}, "--fps needs --video");
    expect_refused({"--video", "a.mp4", "--fps", "0"}, "--fps");
    expect_refused({"--video", "a.mp4", "--fps", "241"}, "--fps");
}

TEST(RenderArgsGeneral, HelpAndVersionNeedNothingElse) {
    const Parsed p = parse({"--help"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.options.help);
    EXPECT_TRUE(parse({"-h"}).options.help);
    EXPECT_TRUE(parse({"--version"}).options.version);
    EXPECT_FALSE(parse({"--version"}).options.help);
    EXPECT_NE(std::string(render_usage()).find("--frames"), std::string::npos);
}

TEST(RenderArgsGeneral, GlIsMesaUnlessGles3IsAsked) {
    EXPECT_FALSE(parse({"--frames", "1"}).options.gles3);
    EXPECT_FALSE(parse({"--frames", "1", "--gl", "mesa"}).options.gles3);
    EXPECT_TRUE(parse({"--frames", "1", "--gl=gles3"}).options.gles3);
    expect_refused({"--frames", "1", "--gl", "gles2"}, "--gl: 'gles2'");
}

TEST(RenderArgsGeneral, RefusesUnknownMissingAndEmpty) {
    expect_refused({}, "nothing to do");
    expect_refused({"--frames"}, "needs a value");
    expect_refused({"--frames", "1", "--fast"}, "unknown argument '--fast'");
    expect_refused({"frames", "1"}, "unknown argument 'frames'");
    expect_refused({"--out", "x"}, "nothing to do");
    expect_refused({"--help=yes"}, "--help");
    expect_refused({"--version=1"}, "--version");
}

} // namespace
