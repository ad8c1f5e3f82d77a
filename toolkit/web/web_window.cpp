// The web window: the page's canvas, sized in CSS pixels as the program asks and drawn at the
// device's pixel ratio; the page's title and its caption bar carry the window's title.
#include "toolkit/web/web.h"

#include <emscripten.h>

#include <cwchar>

// Sizes the canvas to width x height CSS pixels and shows the title; the drawing buffer's size
// in device pixels comes back in *buffer_width and *buffer_height.
EM_JS(void, web_page_open_window,
      (const char* title, const wchar_t* wide_title, int width, int height, int* buffer_width,
       int* buffer_height),
      {
          let text = "";
          if (title) {
              // 8-bit text: every byte is its own character.
              for (let p = title; HEAPU8[p]; ++p)
                  text += String.fromCharCode(HEAPU8[p]);
          } else {
              for (let p = wide_title >> 2; HEAP32[p]; ++p)
                  text += String.fromCodePoint(HEAP32[p]);
          }
          const size = WebBackend.openWindow(text, width, height);
          HEAP32[buffer_width >> 2] = size[0];
          HEAP32[buffer_height >> 2] = size[1];
      });
EM_JS(void, web_page_show_window, (), { WebBackend.showWindow(); });
EM_JS(void, web_page_close_window, (), { WebBackend.closeWindow(); });
EM_JS(void, web_page_capture_mouse, (int on), { WebBackend.captureMouse(on != 0); });
EM_JS(void, web_page_cursor, (int* x, int* y), {
    HEAP32[x >> 2] = WebBackend.cursor[0];
    HEAP32[y >> 2] = WebBackend.cursor[1];
});

// ---- Windows -------------------------------------------------------------------------------

TkHandle web_create_window(const char* title, const wchar_t* wide_title, int, int, int width,
                           int height, int) {
    const TkHandle window = single_window_create(0, 0, width, height);
    if (window) web_page_open_window(title, wide_title, width, height, &g_web.width, &g_web.height);
    return window;
}

void web_release_window() {
    if (g_web.context) web_gl_delete_context(g_web.context);
    web_queue_drop_window_events();
    web_page_close_window();
}

int web_show_window(TkHandle window) {
    if (!single_window_is(window)) return 0;
    web_page_show_window();
    // A newly shown window is exposed: its first repaint comes before anything else.
    g_web.invalid = true;
    return 1;
}

// ---- Input ---------------------------------------------------------------------------------

void web_capture_mouse(TkHandle window) {
    if (single_window_is(window)) web_page_capture_mouse(1);
}
void web_release_mouse() {
    web_page_capture_mouse(0);
}

// Positions are the canvas's device pixels, and the canvas stands at the screen's origin.
int web_get_cursor_pos(int* x, int* y) {
    web_page_cursor(x, y);
    return 1;
}
