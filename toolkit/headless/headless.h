// The headless backend: one off-screen "window" and a scripted event queue, drawn by Mesa's
// surfaceless EGL on Linux and by WGL into a framebuffer object on Windows. Its platform
// operations are defined as headless_<operation> in the file of their group, beside those that
// follow from the one window's bookkeeping alone (toolkit/single_window.h):
//  - headless_connection.cpp: the GL display (the window class), process operations, and
//    filling the platform table.
//  - headless_window.cpp: the off-screen window's size and the input state.
//  - headless_formats.cpp: the RGB formats as pixel formats, contexts, swaps and the read-back,
//    over the display, surface and context of headless_egl.cpp (Mesa's surfaceless EGL, a
//    pbuffer) or headless_wgl.cpp (WGL on a hidden window, a framebuffer object).
//  - headless_events.cpp: the scripted queue, the backend's settings, the capture.
//  - headless_message_box.cpp: standard error, as there is no display.
// The device is true colour: the palette group is the shared one of platform.h.
// Only these files include this header; programs use headless_control.h.
#pragma once

#include <vector>

#include "toolkit/single_window.h"

SINGLE_WINDOW_BACKEND_OPERATIONS(SINGLE_WINDOW_DECLARE, headless)

// The one off-screen window, by this backend's name.
inline SingleWindow& g_headless = g_single_window;

// The formats the display offers, in the order they are numbered from 1; filled when the display
// opens (headless_formats.cpp defines it).
extern std::vector<PlatPixelFormat> g_headless_formats;

// Display connection, surface and context (headless_egl.cpp or headless_wgl.cpp).
bool headless_display_open();
// Off-screen surface and context for a format (1-based index); false when the GL refuses.
bool headless_surface_create(int format_index, int width, int height);
bool headless_context_create();
bool headless_make_current(bool current);
void headless_context_destroy();
void headless_surface_destroy();
// Reads the finished frame as RGBA rows, top row first.
void headless_read_frame(std::vector<unsigned char>* rgba);

// The scripted queue and the capture step (headless_events.cpp).
void headless_queue_drop_window_events();
void headless_present_frame();
