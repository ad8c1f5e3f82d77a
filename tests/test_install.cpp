// The installed programs: `cmake --install` into a temporary prefix, then used from another
// folder as a person would, through the launchers on PATH; the desktop entry, the metainfo, the
// icons and the manual pages that come with them.
#include <gtest/gtest.h>

// Xlib's macros must come after GoogleTest.
#include "tests/support/read_png.h"
#include "tests/e2e/e2e_harness.h"
#include "render/render_image.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using CommandResult = child::Output;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string make_temp_dir(const char* what) {
    std::string pattern = std::string("/tmp/crane-install-test-") + what + "-XXXXXX";
    return mkdtemp(&pattern[0]) ? pattern : "";
}

// Runs a shell command in dir, its output kept aside.
CommandResult run_in(const std::string& dir, const std::string& command) {
    child::Options options;
    options.dir = dir;
    return child::run_shell(command, options);
}

class Installed : public ::testing::Test {
  protected:
    static std::string prefix;
    static CommandResult install;

    static void SetUpTestSuite() {
        prefix = make_temp_dir("prefix");
        install = run_in(BUILD_FOLDER, std::string("'") + CMAKE_COMMAND + "' --install '" +
                                           BUILD_FOLDER + "' --prefix '" + prefix + "'");
    }
    static void TearDownTestSuite() { child::run({"rm", "-rf", prefix}); }

    void SetUp() override { ASSERT_EQ(install.status, 0) << install.out << install.err; }
};
std::string Installed::prefix;
CommandResult Installed::install;

TEST_F(Installed, RendersFromAnotherFolderTheSameFrameAsTheBuildFolder) {
    const std::string elsewhere = make_temp_dir("caller");
    const CommandResult r =
        run_in(elsewhere, "'" + prefix + "/bin/crane-render' --frames 200 --out shots");
    ASSERT_EQ(r.status, 0) << r.err;
    const CommandResult here =
        run_in(BUILD_FOLDER, std::string("'") + BUILD_FOLDER +
                                 "/crane-render' --frames 200 --out '" + elsewhere + "/reference'");
    ASSERT_EQ(here.status, 0) << here.err;
    const std::string installed = slurp(elsewhere + "/shots/frame-0200.png");
    EXPECT_FALSE(installed.empty());
    EXPECT_TRUE(installed == slurp(elsewhere + "/reference/frame-0200.png"));
    // --gl gles3 hands the run to the program installed beside it.
    const CommandResult gles3 =
        run_in(elsewhere, "'" + prefix + "/bin/crane-render' --gl gles3 --frames 200 --out gles3");
    EXPECT_EQ(gles3.status, 0) << gles3.err;
    EXPECT_FALSE(slurp(elsewhere + "/gles3/frame-0200.png").empty());
    child::run({"rm", "-rf", elsewhere});
}

TEST_F(Installed, CraneOpensItsWindowFromAnotherFolder) {
    e2e::Server server;
    ASSERT_TRUE(e2e::start_server(&server));
    e2e::Program crane;
    const std::string elsewhere = make_temp_dir("caller");
    ASSERT_TRUE(e2e::launch(prefix + "/bin/crane", elsewhere, server.name(), &crane));
    Display* display = XOpenDisplay(server.name().c_str());
    ASSERT_NE(display, nullptr);
    const Window window =
        e2e::wait_for_window(display, "Creado por: Velmora                    TARVENIL.", 30);
    EXPECT_NE(window, 0u) << e2e::read_file(crane.err_path);
    if (window) e2e::send_close_request(display, window);
    const bool ended = child::wait(&crane, 30);
    EXPECT_TRUE(ended);
    if (ended) {
        EXPECT_TRUE(WIFEXITED(crane.status) && WEXITSTATUS(crane.status) == 0);
    }
    child::end(&crane);
    XCloseDisplay(display);
    e2e::stop_server(&server);
    child::run({"rm", "-rf", elsewhere});
}

TEST_F(Installed, DesktopEntryMetainfoIconsAndManualPages) {
    CommandResult r = run_in(prefix, "desktop-file-validate share/applications/crane.desktop");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_NE(slurp(prefix + "/share/applications/crane.desktop").find("\nIcon=crane\n"),
              std::string::npos);
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        RenderImage icon = {0, 0, {}};
        std::string error;
        ASSERT_TRUE(
            read_png(prefix + "/share/icons/hicolor/" + name + "/apps/crane.png", &icon, &error))
            << error;
        EXPECT_EQ(icon.width, size);
        EXPECT_EQ(icon.height, size);
        EXPECT_EQ(icon.rgba[3], 0) << name << ": the corner is not transparent";
    }
    EXPECT_NE(slurp(prefix + "/share/icons/hicolor/scalable/apps/crane.svg").find("<svg"),
              std::string::npos);
    // Software centres list the program by its metainfo, whose newest release is this one.
    r = run_in(prefix,
               "appstreamcli validate --no-net share/metainfo/org._crane.crane.metainfo.xml");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(slurp(prefix + "/share/metainfo/org._crane.crane.metainfo.xml")
                  .find("<releases>\n    <release version=\"" CRANE_VERSION "\""),
              std::string::npos)
        << "the metainfo has no release " CRANE_VERSION " first";
    // Each page renders without a warning and covers what a user needs.
    const struct {
        const char* page;
        const char* sections[4];
    } pages[] = {
        {"crane.1.gz", {"KEYS", "CONSOLE REPORT", "EXIT STATUS", "grua1.asc"}},
        {"crane-render.1.gz", {"--video", "--fps", "EXIT STATUS", "--bench"}},
    };
    for (const auto& p : pages) {
        r = run_in(prefix, std::string("MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "
                                       "share/man/man1/") +
                               p.page);
        EXPECT_EQ(r.status, 0) << p.page << ": " << r.err;
        EXPECT_EQ(r.err, "") << p.page;
        for (const char* section : p.sections)
            EXPECT_NE(r.out.find(section), std::string::npos) << p.page << " lacks " << section;
    }
}

} // namespace
