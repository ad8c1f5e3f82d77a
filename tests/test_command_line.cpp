// crane's command line: --help, --version and the pace, from --fps or CRANE_FPS.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

struct Parsed {
    bool ok;
    CraneOptions options;
    std::string error;
};

Parsed parse(std::initializer_list<const char*> args, const char* env_fps = nullptr) {
    std::vector<const char*> argv(args);
    Parsed p;
    p.ok = parse_crane_args((int)argv.size(), argv.data(), env_fps, &p.options, &p.error);
    return p;
}

TEST(CraneArgs, PaceFromTheCommandLineWinsOverTheEnvironmentAndOtherArgumentsAreIgnored) {
    EXPECT_EQ(parse({}).options.fps, 0);
    EXPECT_EQ(parse({"--fps", "30"}).options.fps, 30);
    EXPECT_EQ(parse({"--fps=30"}).options.fps, 30);
    EXPECT_EQ(parse({}, "12").options.fps, 12);
    EXPECT_EQ(parse({}, "").options.fps, 0);
    EXPECT_EQ(parse({"--fps", "30"}, "12").options.fps, 30);
    EXPECT_TRUE(parse({"--fps", "30"}, "nonsense").ok);
    const Parsed p = parse({"stray", "-x", "--fps", "7", "--other"});
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.options.fps, 7);
    EXPECT_FALSE(p.options.help || p.options.version);
    EXPECT_TRUE(parse({"stray", "--help"}).options.help);
    EXPECT_TRUE(parse({"--version"}, "nonsense").options.version);
}

TEST(CraneArgs, BadPaceIsRefusedNamingWhereItCameFrom) {
    for (const Parsed& p : {parse({"--fps", "0"}), parse({"--fps=1001"}), parse({"--fps"})}) {
        EXPECT_FALSE(p.ok);
        EXPECT_NE(p.error.find("--fps"), std::string::npos) << p.error;
    }
    const Parsed p = parse({}, "fast");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, "CRANE_FPS: 'fast' is not a whole number from 1 to 1000");
}

} // namespace
