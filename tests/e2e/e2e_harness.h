// Helpers for end-to-end tests of the real program under a private Xvfb: start the server on
// a free display, launch a program with its output captured, wait for its window, send real
// key presses and close requests, read pixels back, and stop everything.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace e2e {

struct Server : child::Process {
    int number = -1; // display number
    std::string name() const { return ":" + std::to_string(number); }
};

// Starts Xvfb (1024 x 768, 24 bits unless told, no window manager) on a display number nobody
// uses and waits until it accepts connections. False when it did not come up.
bool start_server(Server* server, int depth = 24);
// Ends the server (SIGTERM, or SIGKILL when abrupt) and reaps it.
void stop_server(Server* server, bool abrupt = false);
// A display number with no server behind it.
int free_display_number();

// A program started by launch: child::wait and child::end wait for it and end it.
struct Program : child::Process {
    std::string out_path, err_path; // captured standard output and error
};

// Starts openbox, a reparenting window manager as a desktop has, on the server and waits until
// it has taken over the screen. False when it did not.
bool start_window_manager(const Server& server, Program* wm);
// The window manager's frame extents around a client window (left, right, top, bottom); all
// zero when nothing decorates it.
struct Extents {
    int left = 0, right = 0, top = 0, bottom = 0;
};
Extents frame_extents(Display* display, Window window);

// Polls condition until it holds or seconds have passed; true when it held.
bool wait_until(const std::function<bool()>& condition, double seconds);

// Runs argv[0] with its arguments in dir with its output captured, after environment() has set
// its environment.
bool launch_argv(const std::vector<std::string>& argv, const std::string& dir,
                 const std::function<void()>& environment, Program* program);
// Runs exe in dir with its output captured, after environment() has set its environment.
bool launch_in(const std::string& exe, const std::string& dir,
               const std::function<void()>& environment, Program* program);
// Runs exe in dir with DISPLAY set to display ("" leaves DISPLAY unset) and no Wayland session.
bool launch(const std::string& exe, const std::string& dir, const std::string& display,
            Program* program);
std::string read_file(const std::string& path);

// The viewable client window with exactly this title (a child of the root, or of a window
// manager's frame), waiting up to seconds; 0 when none came.
Window wait_for_window(Display* display, const std::string& title, double seconds);
// The window's client area on the screen.
struct Area {
    int x, y, width, height;
};
Area client_area(Display* display, Window window);
// The window's one child window, or the window itself when it has none or several.
Window only_child(Display* display, Window window);

// The complete lines of a text, without their line ends.
std::vector<std::string> lines(const std::string& text);

// A real key press and release through the XTest extension.
bool send_key(Display* display, const char* keysym_name);
// The window manager's close request (WM_DELETE_WINDOW).
void send_close_request(Display* display, Window window);
// A pointer click at a screen position.
void click(Display* display, int x, int y);
// The pointer moved to a screen position; its left button pressed or released.
void move_pointer(Display* display, int x, int y);
void press_left_button(Display* display, bool down);
// Asks the window manager to give the client window a new size.
void request_resize(Display* display, Window window, int width, int height);

// Pixels of a screen area as 0xRRGGBB, row by row.
std::vector<unsigned> grab(Display* display, const Area& area);
// Share of pixels whose three channels are all at least (bright) or all at most (!bright)
// the limit.
double share(const std::vector<unsigned>& pixels, bool bright, int limit);

// The folder the program should run in: the build folder when it holds the seventeen mesh
// files, else a temporary folder with seventeen minimal ones (one triangle each).
std::string mesh_folder(const std::string& build_folder);

// Pauses between two looks at a condition; never a wait for progress by itself.
void sleep_seconds(double seconds);

} // namespace e2e
