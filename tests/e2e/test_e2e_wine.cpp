// What only the Windows build shows: the message of a missing mesh file; the installer a
// Windows user runs: it installs silently, its Start-menu entry starts the program where the
// mesh files are, the installed crane-render draws frame 200 as the Linux one does, and the
// uninstaller takes it all away; and the palette rules on a real 256-colour device.
#include "tests/e2e/e2e_fixture.h"
#include "tests/support/picture_difference.h"
#include "tests/support/read_png.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

bool exists(const std::string& path) {
    struct stat s;
    return stat(path.c_str(), &s) == 0;
}

// The installer CPack made in the Windows build ("crane-VERSION-windows-x64.exe").
std::string installer() {
    std::string found;
    if (DIR* d = opendir(WINDOWS_BUILD_FOLDER)) {
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name.rfind("crane-", 0) == 0 && name.size() > 16 &&
                name.compare(name.size() - 16, 16, "-windows-x64.exe") == 0)
                found = std::string(WINDOWS_BUILD_FOLDER) + "/" + name;
        }
        closedir(d);
    }
    return found;
}

std::string temp_folder() {
    char dir[] = "/tmp/e2e_wineXXXXXX";
    return mkdtemp(dir) ? dir : "/tmp";
}

} // namespace

TEST_F(CraneOnWine, MissingMeshFileIsReportedAndEndsWithStatusOne) {
    const std::string empty = temp_folder();
    ASSERT_TRUE(e2e::launch_windows(wine, WINDOWS_FOLDER + "crane.exe", {}, empty, &crane));
    ASSERT_TRUE(child::wait(&crane, kSoon)) << "still running in an empty folder";
    ASSERT_TRUE(WIFEXITED(crane.status));
    EXPECT_EQ(WEXITSTATUS(crane.status), 1);
    EXPECT_EQ(err(), "Error al abrir el fichero ASC: No such file or directory\n");
    EXPECT_EQ(out(), "");
    rmdir(empty.c_str());
}

// A mesh file cut in half still loads, as on Linux, and the Windows build says so too.
TEST_F(CraneOnWine, MeshFileCutShortIsDrawnWithAWarning) {
    const std::string folder = temp_folder();
    ASSERT_EQ(child::run_shell("cp " + std::string(BUILD_FOLDER) + "/*.asc " + folder).status, 0);
    const std::string grua1 = folder + "/grua1.asc";
    std::filesystem::resize_file(grua1, std::filesystem::file_size(grua1) / 2);
    e2e::Program render;
    ASSERT_TRUE(e2e::launch_windows(wine, WINDOWS_FOLDER + "crane-render.exe",
                                    {"--frames", "1", "--out", "Z:" + folder + "/out"}, folder,
                                    &render));
    ASSERT_TRUE(child::wait(&render, 120)) << "crane-render.exe did not end";
    const std::string said = e2e::read_file(render.err_path);
    EXPECT_TRUE(WIFEXITED(render.status) && WEXITSTATUS(render.status) == 0) << said;
    EXPECT_NE(said.find("grua1.asc: warning: the file is incomplete (vertices: "),
              std::string::npos)
        << said;
    EXPECT_TRUE(exists(folder + "/out/frame-0001.png")) << said;
    EXPECT_EQ(child::run({"rm", "-rf", folder}).status, 0);
}

TEST_F(CraneOnWine, InstallerInstallsSilentlyAndTheInstalledProgramDrawsAsOnLinux) {
    const std::string setup = installer();
    ASSERT_NE(setup, "") << "no installer in " << WINDOWS_BUILD_FOLDER << " (cpack -G NSIS)";
    const std::string target = "C:\\crane-test";
    const std::string folder = e2e::c_drive_path(wine, target);
    const std::string entry =
        "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\crane\\crane.lnk";
    // Nothing of an earlier run may stand in for this one's.
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::remove_all(std::filesystem::path(e2e::c_drive_path(wine, entry)).parent_path(),
                                ignored);
    // The installer takes its folder as the last argument, unquoted.
    e2e::Program install;
    ASSERT_TRUE(e2e::launch_windows(wine, setup, {"/S", "/D=" + target}, "/", &install));
    ASSERT_TRUE(child::wait(&install, 120)) << "the installer did not end";
    EXPECT_TRUE(WIFEXITED(install.status) && WEXITSTATUS(install.status) == 0);
    ASSERT_TRUE(e2e::wait_until([&] { return exists(folder + "/Uninstall.exe"); }, kSoon))
        << "nothing installed in " << folder;
    EXPECT_TRUE(exists(folder + "/README.txt"));

    // The Start-menu entry starts the program in its folder: the window opens only once the
    // seventeen mesh files have been read.
    ASSERT_TRUE(exists(e2e::c_drive_path(wine, entry))) << "no Start-menu entry";
    e2e::Program start;
    ASSERT_TRUE(e2e::launch_windows(wine, "start", {entry}, "/", &start));
    window = e2e::wait_for_window(display, kTitle, kSoon);
    EXPECT_NE(window, 0u) << "the entry opened no window";

    // The installed crane-render draws frame 200 as the Linux build's does.
    const std::string windows_out = temp_folder(), linux_out = temp_folder();
    e2e::Program render;
    ASSERT_TRUE(e2e::launch_windows(wine, folder + "/crane-render.exe",
                                    {"--frames", "200", "--out", "Z:" + windows_out}, folder,
                                    &render));
    ASSERT_TRUE(child::wait(&render, 120)) << "crane-render.exe did not end";
    ASSERT_TRUE(e2e::launch_argv(
        {std::string(BUILD_FOLDER) + "/crane-render", "--frames", "200", "--out", linux_out},
        BUILD_FOLDER, [] {}, &crane));
    ASSERT_TRUE(child::wait(&crane, 120));
    RenderImage windows_frame, linux_frame;
    std::string error;
    ASSERT_TRUE(read_png(windows_out + "/frame-0200.png", &windows_frame, &error))
        << error << "; crane-render.exe said: " << e2e::read_file(render.err_path);
    ASSERT_TRUE(read_png(linux_out + "/frame-0200.png", &linux_frame, &error)) << error;
    ASSERT_EQ(windows_frame.width, linux_frame.width);
    ASSERT_EQ(windows_frame.height, linux_frame.height);
    // The same rasteriser draws both: only a few edge pixels may round apart.
    const PictureDifference d = picture_difference(windows_frame, linux_frame);
    EXPECT_LT(d.mean, 0.05) << "mean difference per channel";
    EXPECT_LT(d.over_2, 0.001) << 100 * d.over_2 << " % of pixels differ by more than 2";

    // Closed, the program lets the uninstaller remove it (which runs from a copy of itself and
    // ends later).
    if (window) e2e::send_close_request(display, window);
    EXPECT_TRUE(e2e::wait_until([&] { return !e2e::wait_for_window(display, kTitle, 0); }, kSoon));
    e2e::Program uninstall;
    ASSERT_TRUE(e2e::launch_windows(wine, folder + "/Uninstall.exe", {"/S"}, "/", &uninstall));
    EXPECT_TRUE(e2e::wait_until(
        [&] { return !exists(folder + "/crane.exe") && !exists(e2e::c_drive_path(wine, entry)); },
        kSoon))
        << "crane.exe or its Start-menu entry is still there";
    for (const e2e::Program* p : {&install, &start, &render, &uninstall}) {
        unlink(p->out_path.c_str());
        unlink(p->err_path.c_str());
    }
}

// On a 256-colour screen Wine's GDI has a real system palette and system colours, though its GL
// has no visual there: the take-over, its refusal while held and the give-back from the user's
// registry settings act on them. While they are held the probe sets slot 5 ("Window") in the
// registry and takes slot 24 ("InfoWindow") out of it, which then gets back what it held before.
class PaletteOnWine : public CraneOnWine {
  protected:
    void SetUp() override {
        depth = 8;
        CraneOnWine::SetUp();
    }
    // The value after "name " in the probe's output.
    static std::string line(const std::string& text, const std::string& name) {
        size_t at = text.find(name + " ");
        if (at == std::string::npos) return "";
        at += name.size() + 1;
        return text.substr(at, text.find('\n', at) - at);
    }
};

TEST_F(PaletteOnWine, SystemColoursAreTakenRefusedWhileHeldAndGivenBackFromTheRegistry) {
    ASSERT_TRUE(
        e2e::launch_windows(wine, WINDOWS_FOLDER + "tk_palette_probe.exe", {}, "/", &crane));
    ASSERT_TRUE(child::wait(&crane, kSoon));
    const std::string text = out();
    ASSERT_EQ(line(text, "palette-device"), "1") << text;
    EXPECT_EQ(line(text, "palette-size"), "256");
    EXPECT_EQ(line(text, "grab"), "1");
    EXPECT_EQ(line(text, "taken"), "WBBWWWBBBWWWWBWWBBBBBBWBW");
    EXPECT_EQ(line(text, "use"), "2"); // SYSPAL_NOSTATIC while held
    EXPECT_EQ(line(text, "grab-again"), "0");
    EXPECT_EQ(line(text, "restore"), "1");
    const std::string before = line(text, "before"), restored = line(text, "restored");
    ASSERT_EQ(restored.size(), 25u * 7 - 1) << text;
    EXPECT_EQ(restored.substr(5 * 7, 6), "030201"); // red 1, green 2, blue 3
    EXPECT_EQ(restored.substr(24 * 7, 6), before.substr(24 * 7, 6));
    EXPECT_EQ(text.substr(text.rfind("use ") + 4, 1), "1"); // SYSPAL_STATIC again
    EXPECT_EQ(line(text, "realize"), "256");
}
