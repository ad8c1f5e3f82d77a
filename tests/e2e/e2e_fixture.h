// A fixture that gives each test its own desktop (an Xvfb, bare or with a window manager, a
// headless Wayland compositor, or a headless browser for the web build) and, once started, the real
// program in the folder with the mesh files, with its window found. The checks that every desktop
// shares (title, client size, the console report, keys that change the picture, the ways the
// program ends) are its methods, so that each desktop's tests are the same few lines.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/browser.h"
#include "tests/e2e/compositor.h"
#include "tests/e2e/e2e_harness.h"
#include "tests/support/read_png.h"
#include "tests/e2e/wine.h"
#include "render/render_image.h"

namespace e2e {

const int kLastFrame = 1050;

// The frame numbers of the complete reports in text; *tail_ok tells whether the text is made of
// nothing but well-formed reports.
inline std::vector<int> report_frames(const std::string& text, bool* tail_ok) {
    static const std::regex report("\n[0-9]+\\.[0-9]{2}\tFrames por segundo\\.\tTiempo: ([0-9]+)");
    std::vector<int> frames;
    size_t covered = 0;
    for (std::sregex_iterator it(text.begin(), text.end(), report), end; it != end; ++it) {
        if ((size_t)it->position() != covered) break;
        covered += it->length();
        frames.push_back(std::stoi((*it)[1]));
    }
    *tail_ok = covered == text.size();
    return frames;
}

// Empty when every report is the one five frames after its predecessor, with 0 after 1050,
// starting at frame 5; else where the sequence breaks.
inline std::string sequence_break(const std::vector<int>& frames) {
    for (size_t i = 0; i < frames.size(); ++i) {
        int expected = i == 0 ? 5 : frames[i - 1] == kLastFrame ? 0 : frames[i - 1] + 5;
        if (frames[i] != expected)
            return "report " + std::to_string(i) + " is frame " + std::to_string(frames[i]) +
                   ", expected " + std::to_string(expected);
    }
    return "";
}

} // namespace e2e

// The desktops the program is tested on: an X server alone, an X server under a reparenting
// window manager, a Wayland compositor (sway, headless) where it opens a native window, and an X
// server where the Windows build runs under Wine (which draws the window's frame itself), and a
// browser where the web build runs in a page.
enum class Desktop { Bare, Openbox, Sway, Wine, Web };
// The Wine desktop where the tests were built beside a Windows build.
#ifdef WINDOWS_BUILD_FOLDER
#define CRANE_WINE_DESKTOP , Desktop::Wine
#else
#define CRANE_WINE_DESKTOP
#define WINDOWS_BUILD_FOLDER ""
#endif
// The browser where the tests were built beside a web build.
#ifdef WEB_SITE_FOLDER
#define CRANE_WEB_DESKTOP , Desktop::Web
#else
#define CRANE_WEB_DESKTOP
#define WEB_SITE_FOLDER ""
#define WEB_KEY_ECHO_SITE ""
#endif

class CraneOnXvfb : public ::testing::Test {
  protected:
    static constexpr const char* kTitle = "Creado por: Velmora                    TARVENIL.";
    // Deadlines for things that take a fraction of a second on an idle machine: generous
    // enough for one ten times slower.
    static constexpr double kSoon = 30;

    void SetUp() override {
        if (on_web()) return; // the browser comes with the program
        if (desktop == Desktop::Sway) {
            ASSERT_TRUE(e2e::start_compositor(&sway)) << "sway did not start: " << sway.log();
            return;
        }
        ASSERT_TRUE(e2e::start_server(&server, depth)) << "Xvfb did not start";
        display = XOpenDisplay(server.name().c_str());
        ASSERT_NE(display, nullptr);
        if (desktop == Desktop::Openbox) {
            ASSERT_TRUE(e2e::start_window_manager(server, &wm))
                << "openbox did not start: " << e2e::read_file(wm.err_path);
        }
        if (desktop == Desktop::Wine) {
            ASSERT_TRUE(e2e::start_wine(server, &wine)) << "Wine did not start";
        }
    }

    void TearDown() override {
        if (on_web()) e2e::stop_browser(&browser, &crane);
        child::end(&crane);
        e2e::stop_wine(&wine);
        if (display) XCloseDisplay(display);
        child::end(&wm);
        e2e::stop_server(&server);
        e2e::stop_compositor(&sway);
        for (const std::string* path :
             {&crane.out_path, &crane.err_path, &wm.out_path, &wm.err_path})
            if (!path->empty()) unlink(path->c_str());
    }

    bool wayland() const { return desktop == Desktop::Sway; }
    bool on_wine() const { return desktop == Desktop::Wine; }
    bool on_web() const { return desktop == Desktop::Web; }

    // In the browser: the canvas, the page's answer to a command, and whether it was a success.
    static constexpr const char* canvas = "document.getElementById('canvas')";
    std::string page(const std::string& command) {
        return e2e::browser_command(&browser, command, kSoon);
    }
    bool page_ok(const std::string& command) { return e2e::browser_ok(&browser, command, kSoon); }

    // Opens the web build's page from a site folder (the build's, or one a test made) with a
    // query, and waits for the program's window.
    void start_page(const std::string& site, const std::string& query = "") {
        ASSERT_TRUE(e2e::start_browser(site, query, &browser, &crane));
        ASSERT_TRUE(page_ok("wait document.body.classList.contains('window-open')"))
            << "no window; " << program_state();
    }

    // Starts a program in dir and waits for its window with this title. Under Wine it is the
    // Windows build of the same program.
    void start_program(const char* exe, const std::string& dir, const char* title) {
        if (on_web()) {
            // The key echo is a page of its own beside the site.
            const bool echo = std::string(title) == "key echo";
            ASSERT_NO_FATAL_FAILURE(start_page(echo ? WEB_KEY_ECHO_SITE : WEB_SITE_FOLDER));
            return;
        }
        if (on_wine()) {
            std::string name = exe;
            name = name.substr(name.rfind('/') + 1) + ".exe";
            ASSERT_TRUE(e2e::launch_windows(wine, WINDOWS_FOLDER + name, {}, dir, &crane));
            window = e2e::wait_for_window(display, title, kSoon);
            ASSERT_NE(window, 0u) << "no window; stderr: " << err();
            // Wine draws the frame on the top-level window and GL on a child of the client's
            // size, made when the pixel format is set (a message box has none); keys reach the
            // active window only, which a click on its caption makes it.
            client = window;
            if (std::string(title) != "Error") {
                ASSERT_TRUE(e2e::wait_until(
                    [&] { return (client = e2e::only_child(display, window)) != window; }, kSoon))
                    << "no client window; stderr: " << err();
            }
            e2e::Area outer = e2e::client_area(display, window);
            e2e::click(display, outer.x + outer.width / 2, outer.y + 10);
            return;
        }
        if (wayland()) {
            ASSERT_TRUE(e2e::launch_client(sway, exe, dir, &crane));
            ASSERT_TRUE(e2e::wait_until(
                [&] {
                    return e2e::wait_for_toplevel(sway, crane.pid, 0, &toplevel) &&
                           toplevel.title == title;
                },
                kSoon))
                << "no window \"" << title << "\"; stderr: " << err();
            return;
        }
        ASSERT_TRUE(e2e::launch(exe, dir, server.name(), &crane));
        window = e2e::wait_for_window(display, title, kSoon);
        ASSERT_NE(window, 0u) << "no window; stderr: " << err();
    }

    // Starts the program and waits for its window.
    void start_crane() {
        ASSERT_NO_FATAL_FAILURE(
            start_program(CRANE_PROGRAM, e2e::mesh_folder(BUILD_FOLDER), kTitle));
    }

    // What the program wrote, its Windows line ends made plain.
    std::string out() const { return text_of(crane.out_path); }
    std::string err() const { return text_of(crane.err_path); }
    std::string text_of(const std::string& path) const {
        std::string text = e2e::read_file(path);
        if (on_wine()) text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        return text;
    }

    // The client area on the screen (on the output, on Wayland).
    e2e::Area client_area() {
        if (on_web()) {
            std::string size =
                page(std::string("eval [") + canvas + ".width, " + canvas + ".height]");
            int width = 0, height = 0;
            sscanf(size.c_str(), "[%d,%d]", &width, &height);
            return e2e::Area{0, 0, width, height};
        }
        if (on_wine()) return e2e::client_area(display, client);
        if (!wayland()) return e2e::client_area(display, window);
        e2e::wait_for_toplevel(sway, crane.pid, kSoon, &toplevel);
        return toplevel.content;
    }

    // Pixels of a part of the client area (all of it by default), relative to its corner.
    std::vector<unsigned> window_pixels(const e2e::Area* part = nullptr) {
        e2e::Area a = client_area();
        if (part) a = e2e::Area{a.x + part->x, a.y + part->y, part->width, part->height};
        if (on_web()) return canvas_pixels(a);
        return wayland() ? e2e::grab_output(sway, a) : e2e::grab(display, a);
    }

    // Waits until more than a tenth of an area of the canvas is lit (brighter than 40), as where
    // the picture reaches an edge; `lit` is the share seen last.
    bool wait_canvas_lit(const e2e::Area& a, double* lit) {
        return e2e::wait_until(
            [&] {
                *lit = 1.0 - e2e::share(canvas_pixels(a), false, 40);
                return *lit > 0.1;
            },
            kSoon);
    }

    // The canvas as the page shows it: pixels of an area of it, as 0xRRGGBB.
    std::vector<unsigned> canvas_pixels(const e2e::Area& a) {
        const std::string path = crane.out_path + ".png";
        RenderImage shot{0, 0, {}};
        std::string error;
        if (!page_ok("shot " + path) || !read_png(path, &shot, &error)) return {};
        unlink(path.c_str());
        std::vector<unsigned> pixels;
        for (int y = a.y; y < a.y + a.height && y < shot.height; ++y)
            for (int x = a.x; x < a.x + a.width && x < shot.width; ++x) {
                const unsigned char* p = &shot.rgba[4 * ((size_t)y * shot.width + x)];
                pixels.push_back((unsigned)p[0] << 16 | (unsigned)p[1] << 8 | p[2]);
            }
        return pixels;
    }

    // A real key press: a keysym name ("i", "Escape", "space").
    bool press(const char* key) {
        if (on_web()) return page_ok("key " + e2e::browser_key_name(key));
        return wayland() ? e2e::type_key(sway, key) : e2e::send_key(display, key);
    }

    // The pointer moved to a point of an area of the screen (of the output, on Wayland), and
    // its left button pressed or released there.
    bool move_pointer(const e2e::Area& in, int x, int y) {
        if (on_web())
            return page_ok("pointer " + std::to_string(in.x + x) + " " + std::to_string(in.y + y));
        if (wayland()) return e2e::move_pointer(&sway, in.x + x, in.y + y);
        e2e::move_pointer(display, in.x + x, in.y + y);
        return true;
    }
    bool press_left_button(bool down) {
        if (on_web()) return page_ok(down ? "button down" : "button up");
        if (wayland()) return e2e::press_left_button(&sway, down);
        e2e::press_left_button(display, down);
        return true;
    }
    bool click(const e2e::Area& in, int x, int y) {
        return move_pointer(in, x, y) && press_left_button(true) && press_left_button(false);
    }

    // Returns once the server has handed a pressed key on to the program: two round trips on
    // X; on Wayland the key tool's own round trip has already seen to it.
    void settle_input() {
        if (wayland() || on_web()) return;
        XSync(display, False);
        XSync(display, False);
    }

    // Holds the program still where it stands, and lets it go on: a stopped process, or in the
    // browser, a program held at its next buffer swap.
    void hold_still() {
        if (on_web()) {
            ASSERT_TRUE(page_ok("eval WebBackend.setPaused(true)"));
            ASSERT_TRUE(page_ok("wait WebBackend.resume !== null"));
            return;
        }
        ASSERT_EQ(kill(crane.pid, SIGSTOP), 0);
        int status = 0;
        ASSERT_EQ(waitpid(crane.pid, &status, WUNTRACED), crane.pid);
        ASSERT_TRUE(WIFSTOPPED(status));
    }
    void let_go() {
        if (on_web())
            ASSERT_TRUE(page_ok("eval WebBackend.setPaused(false)"));
        else
            ASSERT_EQ(kill(crane.pid, SIGCONT), 0);
    }

    // The desktop's close request, as the title bar's close button sends it.
    void request_close() {
        if (on_web())
            ASSERT_TRUE(page_ok("click #caption-close"));
        else if (wayland())
            ASSERT_TRUE(e2e::request_close(sway, crane.pid));
        else
            e2e::send_close_request(display, window);
    }

    // Frames of the reports printed so far. The last one is left out while the program runs,
    // since it may still be half-written.
    std::vector<int> frames_so_far() {
        bool tail_ok = false;
        std::vector<int> frames = e2e::report_frames(out(), &tail_ok);
        if (!frames.empty()) frames.pop_back();
        return frames;
    }

    // Whether the program still runs, or how it ended, with what it wrote on standard error.
    std::string program_state() {
        std::string state = "running";
        if (child::wait(&crane, 0)) {
            state = WIFEXITED(crane.status)
                        ? "ended with status " + std::to_string(WEXITSTATUS(crane.status))
                        : "ended by signal " + std::to_string(WTERMSIG(crane.status));
        }
        return state + "; stderr: " + err();
    }

    // Waits until at least count reports are complete; gives up early when the program ends.
    bool wait_reports(size_t count, double seconds) {
        e2e::wait_until([&] { return frames_so_far().size() >= count || child::wait(&crane, 0); },
                        seconds);
        return frames_so_far().size() >= count;
    }

    // Waits until the client area's pixels satisfy the condition; leaves the last grab in *seen.
    bool wait_picture(const std::function<bool(const std::vector<unsigned>&)>& condition,
                      std::vector<unsigned>* seen, double seconds) {
        return e2e::wait_until(
            [&] {
                *seen = window_pixels();
                return condition(*seen);
            },
            seconds);
    }

    // The window with what the desktop draws around it (title bar, borders), as a PNG file.
    bool save_window_picture(const std::string& path) {
        if (on_web()) return page_ok("page " + path);
        if (wayland()) {
            e2e::wait_for_toplevel(sway, crane.pid, kSoon, &toplevel);
            return e2e::save_picture(sway, toplevel.framed, path);
        }
        e2e::Area a = client_area();
        e2e::Extents f = e2e::frame_extents(display, window);
        e2e::Area outer{a.x - f.left, a.y - f.top, a.width + f.left + f.right,
                        a.height + f.top + f.bottom};
        if (on_wine()) {
            // Wine's frame: its top edge lies above the screen's, where nothing can be read.
            outer = e2e::client_area(display, window);
            outer.height += std::min(outer.y, 0);
            outer.y = std::max(outer.y, 0);
        }
        std::vector<unsigned> pixels = e2e::grab(display, outer);
        RenderImage image{outer.width, outer.height, {}};
        for (unsigned p : pixels)
            image.rgba.insert(image.rgba.end(), {(unsigned char)(p >> 16), (unsigned char)(p >> 8),
                                                 (unsigned char)p, 255});
        std::string error;
        return write_png(path, image, &error);
    }

    // ---- Checks every desktop shares ----------------------------------------------------------

    void expect_exact_title() {
        if (on_web()) {
            // The page's title keeps the blanks in the document; the caption shows them.
            const std::string quoted = std::string("\"") + kTitle + "\"";
            EXPECT_EQ(page("eval document.querySelector('title').textContent"), quoted);
            EXPECT_EQ(page("eval document.getElementById('caption-title').textContent"), quoted);
            return;
        }
        if (wayland()) {
            EXPECT_EQ(toplevel.title, kTitle);
            return;
        }
        char* name = nullptr;
        ASSERT_TRUE(XFetchName(display, window, &name));
        EXPECT_STREQ(name, kTitle);
        XFree(name);
    }

    // The client area is 632 x 425. On X the window's outer top-left corner (the frame's, where
    // a window manager decorates it) is the screen's; a Wayland client cannot place itself.
    void expect_client_632_by_425_at_the_top_left() {
        e2e::Area area = client_area();
        EXPECT_EQ(area.width, 632);
        EXPECT_EQ(area.height, 425);
        if (on_web()) {
            // The canvas takes as much room on the page as its drawing has pixels here.
            EXPECT_EQ(
                page(std::string("eval [") + canvas + ".clientWidth, " + canvas + ".clientHeight]"),
                "[632,425]");
            return;
        }
        if (wayland()) return;
        if (on_wine()) {
            // The placement puts the client where a frame of SM_CXFRAME and a caption of
            // SM_CYCAPTION - SM_CYBORDER + SM_CYFRAME would leave it: the window's outer top
            // edge lies one border (one pixel) above the screen's.
            e2e::Area outer = e2e::client_area(display, window);
            EXPECT_EQ(outer.x, 0);
            EXPECT_EQ(outer.y, -1);
            EXPECT_GT(area.y, outer.y + 10) << "no caption above the client area";
            return;
        }
        e2e::Extents frame = e2e::frame_extents(display, window);
        EXPECT_EQ(area.x, frame.left);
        EXPECT_EQ(area.y, frame.top);
    }

    // Waits for the picture to be mostly black, then has key i turn it mostly white and back.
    void expect_key_i_whitens_the_picture_and_back() {
        auto dark = [](const std::vector<unsigned>& p) {
            return e2e::share(p, false, 20) > 0.4 && e2e::share(p, true, 235) < 0.05;
        };
        auto light = [](const std::vector<unsigned>& p) {
            return e2e::share(p, true, 235) > 0.4 && e2e::share(p, false, 20) < 0.1;
        };
        std::vector<unsigned> seen;
        ASSERT_TRUE(wait_picture(dark, &seen, kSoon))
            << "black share " << e2e::share(seen, false, 20);
        ASSERT_TRUE(press("i"));
        ASSERT_TRUE(wait_picture(light, &seen, kSoon))
            << "after i: white share " << e2e::share(seen, true, 235) << ", black share "
            << e2e::share(seen, false, 20);
        ASSERT_TRUE(press("i"));
        ASSERT_TRUE(wait_picture(dark, &seen, kSoon))
            << "after i again: black share " << e2e::share(seen, false, 20);
    }

    // Waits for ten more reports (fifty frames): the frames go on.
    void expect_frames_go_on(const char* after) {
        size_t before = frames_so_far().size();
        EXPECT_TRUE(wait_reports(before + 10, kSoon))
            << "the frames stopped after " << after << " at " << frames_so_far().size()
            << " reports; stderr: " << err();
    }

    // The program ended by itself with status 0 and nothing on standard error.
    void expect_ended_with_status_zero(const char* after) {
        ASSERT_TRUE(child::wait(&crane, kSoon)) << "still running after " << after;
        ASSERT_TRUE(WIFEXITED(crane.status)) << "ended by signal " << WTERMSIG(crane.status);
        EXPECT_EQ(WEXITSTATUS(crane.status), 0);
        EXPECT_EQ(err(), "");
    }

    // Escape ends the process with status 0, and the console holds nothing but well-formed
    // reports in an unbroken frame sequence.
    void expect_escape_ends_an_unbroken_sequence() {
        ASSERT_TRUE(press("Escape"));
        expect_ended_with_status_zero("Escape");
        bool tail_ok = false;
        std::vector<int> frames = e2e::report_frames(out(), &tail_ok);
        EXPECT_TRUE(tail_ok) << "stray output after report " << frames.size();
        EXPECT_EQ(e2e::sequence_break(frames), "");
    }

    Desktop desktop = Desktop::Bare;
    int depth = 24; // of the X server's screen
    e2e::Server server;
    e2e::Program wm;
    Display* display = nullptr;
    e2e::Compositor sway;
    e2e::Toplevel toplevel; // on Wayland: the program's window as the compositor has it
    e2e::Program crane;
    Window window = 0;
    e2e::Wine wine;
    e2e::Browser browser;
    Window client = 0; // under Wine: the child window that shows the client area
    static inline const std::string WINDOWS_FOLDER = std::string(WINDOWS_BUILD_FOLDER) + "/";
};

// The same tests on every desktop, or on some of them.
class CraneOnDesktop : public CraneOnXvfb, public ::testing::WithParamInterface<Desktop> {
  protected:
    void SetUp() override {
        desktop = GetParam();
        CraneOnXvfb::SetUp();
    }
};

inline std::string desktop_name(Desktop desktop) {
    switch (desktop) {
    case Desktop::Bare:
        return "Bare";
    case Desktop::Openbox:
        return "Openbox";
    case Desktop::Sway:
        return "Sway";
    case Desktop::Wine:
        return "Wine";
    case Desktop::Web:
        return "Web";
    }
    return "";
}

inline void PrintTo(Desktop desktop, std::ostream* os) {
    *os << desktop_name(desktop);
}

#define CRANE_ON_DESKTOPS(suite, ...)                                                              \
    INSTANTIATE_TEST_SUITE_P(                                                                      \
        Desktop, suite, ::testing::Values(__VA_ARGS__),                                            \
        [](const ::testing::TestParamInfo<Desktop>& info) { return desktop_name(info.param); })
#define CRANE_ON_EVERY_DESKTOP(suite)                                                              \
    CRANE_ON_DESKTOPS(suite, Desktop::Bare, Desktop::Openbox,                                      \
                      Desktop::Sway CRANE_WINE_DESKTOP CRANE_WEB_DESKTOP)

// Tests that only make sense under an X window manager.
class CraneUnderWindowManager : public CraneOnXvfb {
  protected:
    void SetUp() override {
        desktop = Desktop::Openbox;
        CraneOnXvfb::SetUp();
    }
};

// Tests of the Windows build alone.
class CraneOnWine : public CraneOnXvfb {
  protected:
    void SetUp() override {
        desktop = Desktop::Wine;
        CraneOnXvfb::SetUp();
    }
};

// Tests of the web build alone.
class CraneInTheBrowser : public CraneOnXvfb {
  protected:
    void SetUp() override {
        desktop = Desktop::Web;
        CraneOnXvfb::SetUp();
    }
    // A fresh folder for a site of the test's own; empty when none could be made.
    static std::string temporary_folder() {
        char name[] = "/tmp/e2e_webXXXXXX";
        return mkdtemp(name) ? name : "";
    }
};

// Tests of what only a Wayland compositor does.
class CraneOnSway : public CraneOnXvfb {
  protected:
    void SetUp() override {
        desktop = Desktop::Sway;
        CraneOnXvfb::SetUp();
    }
};
