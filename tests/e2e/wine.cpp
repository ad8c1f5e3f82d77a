#include "tests/e2e/wine.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace e2e {

namespace {

void wine_environment(const Wine& wine) {
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("XDG_RUNTIME_DIR");
    setenv("DISPLAY", wine.display.c_str(), 1);
    setenv("WINEPREFIX", wine.prefix.c_str(), 1);
}

// Runs a command of the prefix to its end; true when it ended with status 0.
bool run(const Wine& wine, const std::vector<std::string>& argv, double seconds) {
    Program p;
    if (!launch_argv(
            argv, "/", [&] { wine_environment(wine); }, &p))
        return false;
    const bool ended = child::wait(&p, seconds);
    child::end(&p);
    unlink(p.out_path.c_str());
    unlink(p.err_path.c_str());
    return ended && WIFEXITED(p.status) && WEXITSTATUS(p.status) == 0;
}

} // namespace

bool start_wine(const Server& server, Wine* wine) {
    // Two prefixes let two tests run at once; a third waits for one of them.
    for (int pass = 0; wine->lock < 0; ++pass) {
        for (int n = 0; n < 2 && wine->lock < 0; ++n) {
            std::string prefix = std::string(BUILD_FOLDER) + "/tests/wine-" + std::to_string(n);
            int fd = open((prefix + ".in-use").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
            if (fd < 0) return false;
            if (flock(fd, pass == 0 ? LOCK_EX | LOCK_NB : LOCK_EX) == 0) {
                wine->lock = fd;
                wine->prefix = prefix;
            } else {
                close(fd);
            }
            if (pass > 0) break; // waited for the first
        }
    }
    wine->display = server.name();
    // The wrapper makes the prefix on first use; wineboot then starts its services on this
    // display, so that the first window of the test comes at once.
    if (!run(*wine, {WINE_RUNNER, "wineboot"}, 300)) return false;
    // With no window manager on the test's server Wine draws the caption and frame itself, and
    // a window closes at once instead of after a two-second wait for one.
    if (read_file(wine->prefix + "/user.reg").find("\"Managed\"=\"N\"") != std::string::npos)
        return true;
    return run(*wine,
               {WINE_RUNNER, "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed",
                "/d", "N", "/f"},
               60);
}

void stop_wine(Wine* wine) {
    if (wine->lock < 0) return;
    run(*wine, {"wineserver", "-k"}, 30);
    run(*wine, {"wineserver", "-w"}, 30);
    close(wine->lock);
    wine->lock = -1;
}

bool launch_windows(const Wine& wine, const std::string& exe, const std::vector<std::string>& args,
                    const std::string& dir, Program* program) {
    std::vector<std::string> argv = {WINE_RUNNER, exe};
    argv.insert(argv.end(), args.begin(), args.end());
    return launch_argv(
        argv, dir, [&] { wine_environment(wine); }, program);
}

std::string c_drive_path(const Wine& wine, const std::string& windows_path) {
    std::string p = windows_path.substr(windows_path.find(':') + 1);
    std::replace(p.begin(), p.end(), '\\', '/');
    return wine.prefix + "/drive_c" + p;
}

} // namespace e2e
