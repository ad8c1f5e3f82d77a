// The web backend: the page is the window system. The canvas is the window, the page's title
// and a caption bar above the canvas carry its title, a WebGL 2 context on the canvas is its GL
// (drawn through web/gl/), and the DOM's input becomes the toolkit's events. Its platform
// operations are defined as web_<operation> in the file of their group, beside those that follow
// from the one window's bookkeeping alone (toolkit/single_window.h):
//  - web_connection.cpp: the page (the window class), process operations, and filling the
//    platform table.
//  - web_window.cpp: the canvas as the one window, its title, size and the pointer.
//  - web_formats.cpp: the one RGBA double-buffered format with depth, the WebGL 2 context, and
//    the swap, which yields to the browser once per frame at the pace the page asks for.
//  - web_events.cpp: the event queue the page's input fills, the toolkit's posts.
//  - web_message_box.cpp: a modal dialog in the page with the caption, the text and OK.
// The JavaScript half (web_backend.js) keeps the DOM's side: listeners, the queue, the canvas
// size, the dialog, the pace. A canvas is true colour: the palette group is the shared one.
#pragma once

#include "toolkit/single_window.h"

SINGLE_WINDOW_BACKEND_OPERATIONS(SINGLE_WINDOW_DECLARE, web)

// The canvas, by this backend's name: its size is the drawing buffer's, in device pixels, and it
// stands at the screen's origin, as the page has no other windows to place it among.
inline SingleWindow& g_web = g_single_window;

// Events the page queued for the window are dropped with it.
void web_queue_drop_window_events();
// The context, the queued events and the page's window go with the window.
void web_release_window();
