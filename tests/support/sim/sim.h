// A simulated window system for the toolkit tests: no GL and no display. Its operations are
// defined as sim_<operation> in the file of their group (connection, window, formats, events,
// palette, message box), and it is the platform of every program that links it. Every call
// is recorded in order; a test queues events, offers any set of pixel formats, sets the
// platform version, metrics, key state, registry values and system colours, and makes chosen
// operations fail.
#pragma once

#include <csetjmp>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "toolkit/platform.h"

enum { SIM_CHOOSE_MATCH = -2 };

struct SimState {
    // Every call, in order: the operation's name (its table member), then its arguments,
    // separated by blanks ("create_window 10 20 640 480 0").
    std::vector<std::string> calls;
    // Operations (names as recorded) that fail until removed.
    std::set<std::string> failing;
    // Operations that fail the next n times they are called.
    std::map<std::string, int> fail_times;

    // Pixel formats offered, numbered from 1.
    std::vector<PlatPixelFormat> formats;
    // What choose answers; -1: the first format that draws to a window with OpenGL, or 0;
    // SIM_CHOOSE_MATCH: the shared matcher's pick, as every real backend chooses.
    int choose_result = -1;
    int current_format = 0;
    // Describing this format index fails (0: none).
    int describe_fails_at = 0;

    PlatVersion version{PLAT_VER_PLATFORM_WIN32_NT, 4, 0};
    int cx_frame = 4, cy_frame = 4, cy_caption = 19, cy_border = 1;
    // Where a window created with the default-position flag lands (outer corner).
    int default_x = 40, default_y = 30;

    bool class_registered = false;
    int class_wide = -1;
    PlatEventProc proc = nullptr;

    TkHandle window = 0; // the live window, 0 when none
    PlatRect window_rect{0, 0, 0, 0};
    int client_width = 0, client_height = 0;
    std::string title;
    bool visible = false;
    TkHandle dc = 0;
    TkHandle gl_context = 0;
    TkHandle current_context = 0;
    TkHandle next_handle = 0x100;

    std::deque<PlatEvent> queue;
    bool repaint_pending = false; // the client area needs repainting
    bool painting = false;
    int swaps = 0;

    bool shift_held = false, control_held = false;
    TkHandle capture = 0;
    int cursor_x = 0, cursor_y = 0;
    TkHandle focus = 0;

    struct Box {
        std::string caption, text;
        TkHandle owner;
    };
    std::vector<Box> boxes;

    int exit_status = -1;              // set by exit_process
    std::jmp_buf* exit_jump = nullptr; // exit_process longjmps here when set, else _exit

    // Palette device state, used by the palette operations.
    std::map<TkHandle, std::vector<PlatPaletteEntry>> palettes;
    TkHandle default_palette = 0x50;
    TkHandle selected_palette = 0; // the palette selected into the device context
    int realize_result = 0;        // what realize answers when it does not fail
    int system_palette_use = PLAT_SYSPAL_STATIC;
    PlatColor sys_colors[25] = {};
    bool registry_present = true;
    std::map<std::string, std::pair<int, std::string>> registry; // value name -> type, text
    int broadcasts = 0;
};

extern SimState sim;

// Back to a fresh platform (call in each test's set-up); the class registration stays.
void sim_reset();
// Records a call (printf-style) and answers whether the named operation is to fail; the name
// is the text up to the first blank.
bool sim_call(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Queues an event for the live window.
void sim_queue(int kind, int a = 0, int b = 0, int c = 0);
// Index of the first recorded call starting with prefix at or after from, -1 if none.
int sim_find(const std::string& prefix, int from = 0);
int sim_count(const std::string& prefix);
// The recorded call names (first word) in order, leaving out those in skip.
std::vector<std::string> sim_names(const std::set<std::string>& skip = {});

#define SIM_DECLARE(result, name, parameters) result sim_##name parameters;
PLAT_OPERATIONS(SIM_DECLARE)
#undef SIM_DECLARE

// A typical double-buffered RGBA window format, to start a format list from.
PlatPixelFormat sim_format(int color_bits, bool double_buffer, int depth_bits = 0);
