// The web backend: the page is the window system. The canvas is the window, the page's title
// and a caption bar above the canvas carry its title, a WebGL 2 context on the canvas is its GL
// (drawn through web/gl/), and the DOM's input becomes the toolkit's events. Its platform
// operations are defined as web_<operation> in the file of their group:
//  - web_connection.cpp: the page (the window class), version, metrics, process operations,
//    and filling the platform table.
//  - web_window.cpp: the canvas as the one window, its title, sizes and input queries.
//  - web_formats.cpp: the one RGBA double-buffered format with depth, the WebGL 2 context, and
//    the swap, which yields to the browser once per frame at the pace the page asks for.
//  - web_events.cpp: the event queue the page's input fills, repaints, the toolkit's posts.
//  - web_message_box.cpp: a modal dialog in the page with the caption, the text and OK.
// The JavaScript half (web_backend.js) keeps the DOM's side: listeners, the queue, the canvas
// size, the dialog, the pace. A canvas is true colour: the palette group is the shared one.
#pragma once

#include "toolkit/platform.h"

#define WEB_DECLARE(result, name, parameters) result web_##name parameters;
PLAT_WINDOW_OPERATIONS(WEB_DECLARE)
#undef WEB_DECLARE

// Fills table with this backend's operations; non-zero when the page offers WebGL 2.
int web_platform_init(PlatTable* table);

// The one window; window == 0 when there is none.
struct WebWindow {
    PlatEventProc proc = nullptr;
    bool registered = false;
    int serial = 0; // makes every new window's handles differ from the last one's
    TkHandle window = 0, dc = 0, context = 0;
    int width = 0, height = 0; // of the drawing buffer, in device pixels
    int format = 0;
    bool invalid = false;                          // needs a repaint
    bool painting = false;                         // between begin and end of a repaint
    bool shift_held = false, control_held = false; // with the event last taken
};

extern WebWindow g_web;

// Events the page queued for the window are dropped with it.
void web_queue_drop_window_events();
