// Helpers for end-to-end tests under a real Wayland compositor with no GPU and no display:
// sway's headless backend with a software renderer, started by the test as an unprivileged
// account (sway refuses to run as root) in a run-time folder of its own; wtype for key
// presses, grim for pictures, swaymsg for the window's title, size and close request.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct wl_display;
struct wl_proxy;

#include "tests/e2e/e2e_harness.h"
#include "render/render_image.h"

namespace e2e {

struct Compositor {
    child::Process process;  // sway or weston
    child::Process keyboard; // a virtual keyboard that stays, so that the seat always has one
    std::string runtime_dir; // its XDG_RUNTIME_DIR, which holds its sockets
    std::string socket;      // the Wayland socket, as a path
    std::string ipc;         // sway's control socket
    // A virtual pointer, made on first use: the seat has no pointer until then.
    wl_display* pointer_connection = nullptr;
    wl_proxy* pointer = nullptr;
    std::string log() const;
};

// Starts sway headless with one output per scale given, HEADLESS-1, HEADLESS-2, ... from left
// to right, each 1024 x 768 in logical pixels (the pointer's positions are those of the first),
// on which every window floats at the size it asks for, under a title bar drawn by the
// compositor; waits until it and its keyboard answer. False when it did not come up.
bool start_compositor(Compositor* compositor, const std::vector<int>& scales = {1});
// Starts weston's headless backend (software renderer, one 1024 x 768 output in logical pixels
// at the scale given), a compositor that leaves decorations to its clients, as GNOME does.
// False when it did not come up.
bool start_weston(Compositor* compositor, int scale = 1);
// Ends the compositor (SIGTERM, or SIGKILL when abrupt) and removes its folder.
void stop_compositor(Compositor* compositor, bool abrupt = false);

// Runs exe in dir as a client of the compositor: WAYLAND_DISPLAY names its socket, DISPLAY is
// unset, and nothing forces a platform; then adjust, when given, changes that environment.
bool launch_client(const Compositor& compositor, const std::string& exe, const std::string& dir,
                   Program* program, const std::function<void()>& adjust = nullptr);

// What the compositor knows of a program's window.
struct Toplevel {
    std::string title;
    std::string app_id;
    Area content{0, 0, 0, 0}; // the client's surface on the output
    Area framed{0, 0, 0, 0};  // with the title bar and borders
};
// The window of the process pid, waiting up to seconds for it to be mapped; false when none
// came.
bool wait_for_toplevel(const Compositor& compositor, pid_t pid, double seconds, Toplevel* out);

// The box around the pixels from row first_row down that differ between two pictures of the
// same size; empty (width 0) when none do or the sizes differ.
Area changed_area(const RenderImage& a, const RenderImage& b, int first_row);

// A key press and release through a virtual keyboard: a single character types itself, any
// other name is an xkb key name ("Escape", "Return").
bool type_key(const Compositor& compositor, const std::string& key);
// Moves the pointer to a position on the output, or presses or releases its left button.
bool move_pointer(Compositor* compositor, int x, int y);
bool press_left_button(Compositor* compositor, bool down);
// Holds a key down until *holder is killed (the keyboard that holds it then goes away, and the
// focused client loses it).
bool hold_key(const Compositor& compositor, const std::string& key, Program* holder);
// The compositor's close request to the window of the process pid.
bool request_close(const Compositor& compositor, pid_t pid);
// Moves the window of the process pid to the output of that name.
bool move_to_output(const Compositor& compositor, pid_t pid, const std::string& output);
// Pixels of an output area as 0xRRGGBB, row by row, at the output's scale (an area on an output
// at scale 2 gives twice its width and height); empty when the grab failed.
std::vector<unsigned> grab_output(const Compositor& compositor, const Area& area);
// The whole output as weston's screenshooter takes it; false when it could not.
bool screenshot(const Compositor& compositor, RenderImage* out);
// Writes an output area to a PNG file.
bool save_picture(const Compositor& compositor, const Area& area, const std::string& path);

} // namespace e2e
