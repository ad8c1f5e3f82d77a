// The real program on a bare X server, under a window manager and in its native window on a
// Wayland compositor: its window, its console report, and how real key presses and the
// desktop's close request act on it.
#include "tests/e2e/e2e_fixture.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <set>

using CraneWindow = CraneOnDesktop;

TEST_P(CraneWindow, TitleIsExact) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    expect_exact_title();
    // Named as the desktop entry, crane.desktop, so that desktops show its name and icon.
    if (wayland()) {
        EXPECT_EQ(toplevel.app_id, "crane");
    } else if (desktop == Desktop::Bare || desktop == Desktop::Openbox) {
        XClassHint hint{};
        ASSERT_TRUE(XGetClassHint(display, window, &hint));
        EXPECT_STREQ(hint.res_class, "crane");
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    // The README's pictures of the window on each desktop come from here, when asked for.
    if (const char* folder = getenv("CRANE_WINDOW_PICTURES")) {
        ASSERT_TRUE(wait_reports(40, kSoon));
        std::string path = std::string(folder) + "/window-" + desktop_name(desktop) + ".png";
        EXPECT_TRUE(save_window_picture(path)) << path;
    }
}

TEST_P(CraneWindow, ClientAreaIs632By425AtTheTopLeft) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    expect_client_632_by_425_at_the_top_left();
}

TEST_P(CraneWindow, ReportsEveryFifthFrameInTheExactFormat) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(4, kSoon)) << "reports: " << frames_so_far().size();
    expect_escape_ends_an_unbroken_sequence();
    bool well_formed = false;
    std::vector<int> frames = e2e::report_frames(out(), &well_formed);
    ASSERT_GE(frames.size(), 4u);
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(frames[i], 5 * (int)(i + 1));
}

TEST_P(CraneWindow, KeyITurnsThePictureWhiteAndBackToBlack) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    expect_key_i_whitens_the_picture_and_back();
}

// The program is held still while Escape reaches it, so that it meets the key at its next look
// at the queue: at most the pass it was in may finish, and no frame after that is reported.
TEST_P(CraneWindow, EscapeEndsTheProcessBeforeAnotherFrameWithStatusZero) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(1, kSoon));
    ASSERT_NO_FATAL_FAILURE(hold_still());
    ASSERT_TRUE(press("Escape"));
    settle_input();
    bool tail_ok = false;
    size_t before = e2e::report_frames(out(), &tail_ok).size();
    ASSERT_NO_FATAL_FAILURE(let_go());
    expect_ended_with_status_zero("Escape");
    size_t after = e2e::report_frames(out(), &tail_ok).size();
    EXPECT_LE(after, before + 1) << "frames went on after Escape";
}

TEST_P(CraneWindow, CloseRequestEndsTheLoopAndTheProcessWithStatusZero) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(1, kSoon));
    ASSERT_NO_FATAL_FAILURE(request_close());
    expect_ended_with_status_zero("the close request");
}

CRANE_ON_EVERY_DESKTOP(CraneWindow);

using CraneUnderOpenbox = CraneUnderWindowManager;

namespace {

// A window's 32-bit CARDINAL property; empty when it has none.
std::vector<unsigned long> cardinals(Display* display, Window window, const char* name) {
    std::vector<unsigned long> out;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1 << 20, False,
                           XA_CARDINAL, &type, &format, &count, &left, &data) == Success &&
        data) {
        // Xlib hands 32-bit items over as longs.
        const unsigned long* items = reinterpret_cast<const unsigned long*>(data);
        if (type == XA_CARDINAL && format == 32) out.assign(items, items + count);
        XFree(data);
    }
    return out;
}

} // namespace

// Beside its title a window manager shows the window's icon, in four sizes, each a picture on a
// transparent background, and can tell the program's process on this host.
TEST_F(CraneUnderOpenbox, WindowCarriesItsIconAndItsProcess) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    std::vector<unsigned long> icon = cardinals(display, window, "_NET_WM_ICON");
    std::vector<unsigned long> sizes;
    size_t at = 0;
    while (at + 2 <= icon.size()) {
        unsigned long width = icon[at], height = icon[at + 1];
        EXPECT_EQ(width, height);
        size_t end = at + 2 + width * height;
        ASSERT_LE(end, icon.size()) << "icon of " << width << " x " << height << " cut short";
        // Xlib widens each 32-bit item as a signed one: only the low 32 bits are the pixel.
        std::set<unsigned long> colours;
        for (size_t i = at + 2; i < end; ++i)
            colours.insert(icon[i] & 0xFFFFFFFFu);
        EXPECT_GT(colours.size(), 4u) << width;
        EXPECT_EQ(icon[at + 2] >> 24 & 0xFF, 0u) << width << ": the corner is not transparent";
        EXPECT_TRUE(std::any_of(colours.begin(), colours.end(), [](unsigned long pixel) {
            return pixel >> 24 == 0xFF;
        })) << width;
        sizes.push_back(width);
        at = end;
    }
    EXPECT_EQ(at, icon.size());
    EXPECT_EQ(sizes, (std::vector<unsigned long>{16, 24, 32, 48}));
    EXPECT_EQ(cardinals(display, window, "_NET_WM_PID"),
              std::vector<unsigned long>{(unsigned long)crane.pid});
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    XTextProperty machine{};
    ASSERT_TRUE(XGetWMClientMachine(display, window, &machine));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(machine.value), machine.nitems), host);
    XFree(machine.value);
}

// The close button at the right of the title bar, clicked as a user does.
TEST_F(CraneUnderOpenbox, CloseButtonEndsTheProcessWithStatusZero) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(1, kSoon));
    e2e::Area area = e2e::client_area(display, window);
    e2e::Extents frame = e2e::frame_extents(display, window);
    ASSERT_GT(frame.top, 4) << "no title bar";
    e2e::click(display, area.x + area.width + frame.right - frame.top / 2 - 2,
               area.y - frame.top / 2);
    expect_ended_with_status_zero("a click on the close button");
}

TEST_F(CraneUnderOpenbox, ResizeByTheWindowManagerKeepsTheFramesComing) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(wait_reports(1, kSoon));
    e2e::request_resize(display, window, 480, 300);
    ASSERT_TRUE(e2e::wait_until(
        [&] {
            e2e::Area a = e2e::client_area(display, window);
            return a.width == 480 && a.height == 300;
        },
        kSoon))
        << "the window manager did not resize the window";
    expect_frames_go_on("the resize");
    // The picture fills the new size: key i turns all of it white.
    expect_key_i_whitens_the_picture_and_back();
    expect_escape_ends_an_unbroken_sequence();
}

// What a real pointer becomes: motion, and the left button pressed, dragged and released, each
// at its place in the client area with the buttons then held.
TEST_P(CraneWindow, PointerEventsArriveInClientCoordinatesWithTheButtonsHeld) {
    ASSERT_NO_FATAL_FAILURE(start_program(KEY_ECHO_PROGRAM, BUILD_FOLDER, "key echo"));
    // A compositor may still be placing the window, and a Wayland client binds a pointer that
    // the seat has only just gained: move in and out until a move arrives.
    e2e::Area area{};
    int x = 10;
    ASSERT_TRUE(e2e::wait_until(
        [&] {
            area = client_area();
            x = -x;
            return move_pointer(area, x, 10) && out().find("move ") != std::string::npos;
        },
        kSoon))
        << out();
    ASSERT_TRUE(move_pointer(area, 40, 25));
    ASSERT_TRUE(press_left_button(true));
    ASSERT_TRUE(move_pointer(area, 60, 45));
    ASSERT_TRUE(press_left_button(false));
    // The four lines that end with the release.
    std::vector<std::string> events;
    ASSERT_TRUE(e2e::wait_until(
        [&] {
            events = e2e::lines(out());
            return events.size() >= 4 && events.back().rfind("up ", 0) == 0;
        },
        kSoon))
        << out();
    events.erase(events.begin(), events.end() - 4);
    // A compositor may centre the window on half a pixel: the first position within one.
    int x0 = 0, y0 = 0;
    ASSERT_EQ(sscanf(events[0].c_str(), "move %d %d 0", &x0, &y0), 2) << events[0];
    EXPECT_NEAR(x0, 40, 1);
    EXPECT_NEAR(y0, 25, 1);
    auto at = [&](const char* what, int dx, int buttons) {
        return std::string(what) + " " + std::to_string(x0 + dx) + " " + std::to_string(y0 + dx) +
               " " + std::to_string(buttons);
    };
    EXPECT_EQ(events, (std::vector<std::string>{at("move", 0, 0), at("down", 0, 1),
                                                at("move", 20, 1), at("up", 20, 1)}));
}

// What real key presses become on Wayland, where the client translates keys itself: Return,
// Space and the arrows as keys (their typed characters dropped), digits and letters as typed,
// capitals included, and a held key repeating at the compositor's rate while the loop, with no
// idle handler, waits for events.
TEST_F(CraneOnSway, KeysArriveTranslatedAndAHeldKeyRepeats) {
    ASSERT_NO_FATAL_FAILURE(start_program(KEY_ECHO_PROGRAM, BUILD_FOLDER, "key echo"));
    for (const char* key : {"Return", "space", "Left", "Up", "Right", "Down", "a", "7", "P"})
        ASSERT_TRUE(press(key)) << key;
    const std::string typed = "key 13 0\nkey 32 0\nkey 37 0\nkey 38 0\nkey 39 0\nkey 40 0\n"
                              "key 97 0\nkey 55 0\nkey 80 0\n";
    EXPECT_TRUE(e2e::wait_until([&] { return out().size() >= typed.size(); }, kSoon)) << out();
    EXPECT_EQ(out(), typed);

    e2e::Program holder;
    ASSERT_TRUE(e2e::hold_key(sway, "x", &holder));
    auto repeats = [&] {
        std::string text = out();
        size_t n = 0;
        for (size_t at = text.find("key 120 0\n"); at != std::string::npos;
             at = text.find("key 120 0\n", at + 1))
            ++n;
        return n;
    };
    EXPECT_TRUE(e2e::wait_until([&] { return repeats() >= 4; }, kSoon))
        << "x came " << repeats() << " times";
    child::end(&holder);

    ASSERT_TRUE(press("Escape"));
    expect_ended_with_status_zero("Escape");
}

// On a compositor that leaves decorations to its clients (weston, as GNOME does) the program
// draws its own frame through libdecor: a title bar above its 632 x 425 picture, and the
// animation runs.
class CraneOnWeston : public ::testing::Test {
  protected:
    static constexpr double kSoon = 30;
    static const int kPanelHeight = 40; // the shell's panel, whose clock ticks
    static const int kTitleBar = 20;    // at least

    void SetUp() override {
        ASSERT_TRUE(e2e::start_weston(&weston)) << "weston did not start: " << weston.log();
    }
    void TearDown() override {
        child::end(&crane);
        e2e::stop_compositor(&weston);
        for (const std::string& path : {crane.out_path, crane.err_path})
            if (!path.empty()) unlink(path.c_str());
    }

    e2e::Compositor weston;
    e2e::Program crane;
};

TEST_F(CraneOnWeston, DrawsItsOwnTitleBarAboveThePictureAndRuns) {
    // The shell paints its background after it starts: wait until two pictures agree.
    RenderImage desktop{0, 0, {}}, now{0, 0, {}};
    ASSERT_TRUE(e2e::wait_until(
        [&] {
            RenderImage next{0, 0, {}};
            if (!e2e::screenshot(weston, &next)) return false;
            bool settled = next.width == 1024 && next.rgba == desktop.rgba;
            desktop = next;
            return settled;
        },
        kSoon))
        << weston.log();

    ASSERT_TRUE(e2e::launch_client(weston, CRANE_PROGRAM, e2e::mesh_folder(BUILD_FOLDER), &crane));
    bool whole = false;
    ASSERT_TRUE(e2e::wait_until(
        [&] { return e2e::report_frames(e2e::read_file(crane.out_path), &whole).size() >= 20; },
        kSoon))
        << e2e::read_file(crane.err_path);

    e2e::Area window{0, 0, 0, 0};
    EXPECT_TRUE(e2e::wait_until(
        [&] {
            window = e2e::screenshot(weston, &now) ? e2e::changed_area(desktop, now, kPanelHeight)
                                                   : window;
            return window.width >= 632 && window.height >= 425 + kTitleBar;
        },
        kSoon))
        << "the window drawn is " << window.width << " x " << window.height;

    if (const char* folder = getenv("CRANE_WINDOW_PICTURES")) {
        RenderImage framed{window.width, window.height, {}};
        for (int y = window.y; y < window.y + window.height; ++y) {
            auto row = now.rgba.begin() + ((size_t)y * now.width + window.x) * 4;
            framed.rgba.insert(framed.rgba.end(), row, row + (size_t)window.width * 4);
        }
        std::string error;
        EXPECT_TRUE(write_png(std::string(folder) + "/window-Weston.png", framed, &error)) << error;
    }
}
