// Shared state of the headless EGL backend: the surfaceless display, its RGBA configs, the one
// off-screen "window" and the scripted event queue. Only the egl_*.cpp files include this.
#pragma once

#include <vector>

#include <EGL/egl.h>

#include "toolkit/platform.h"

// One offered pixel format: an EGL config seen as single- or double-buffered. Swapping a
// pbuffer only hands the frame to the capture step, so both views draw the same way.
struct EglFormat {
    EGLConfig config;
    int red_bits, green_bits, blue_bits, alpha_bits;
    int depth_bits, stencil_bits;
    bool double_buffer;
};

// Display connection and formats (egl_context.cpp).
bool egl_display_open();
const std::vector<EglFormat>& egl_formats();
// Off-screen surface and context for a format (1-based index); false when EGL refuses.
bool egl_surface_create(int format_index, int width, int height);
bool egl_context_create();
bool egl_make_current(bool current);
void egl_context_destroy();
void egl_surface_destroy();
bool egl_has_surface();
bool egl_has_context();
int egl_surface_width();
int egl_surface_height();
// Reads the finished frame as RGBA rows, top row first.
void egl_read_frame(std::vector<unsigned char>* rgba);

// The one off-screen window (egl_window.cpp).
TkHandle egl_window_handle(); // 0 when there is none
bool egl_window_needs_repaint();
bool egl_window_painting(); // between begin and end of a repaint
PlatEventProc egl_event_proc();

// The scripted queue and the capture step (egl_events.cpp).
void egl_queue_push(int kind, int a);
void egl_queue_drop_window_events();
void egl_present_frame();
