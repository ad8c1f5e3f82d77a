// The web window: the page's canvas, sized in CSS pixels as the program asks and drawn at the
// device's pixel ratio; the page's title and its caption bar carry the window's title.
#include "toolkit/web/web.h"

#include <emscripten.h>

#include <cwchar>

WebWindow g_web;

namespace {

bool is_window(TkHandle w) {
    return w != 0 && w == g_web.window;
}

} // namespace

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
    WebWindow& w = g_web;
    if (!w.registered || w.window != 0 || width < 1 || height < 1) return 0;
    ++w.serial;
    w.window = 0x1000 + w.serial;
    web_page_open_window(title, wide_title, width, height, &w.width, &w.height);
    w.format = 0;
    w.invalid = false;
    w.painting = false;
    return w.window;
}

int web_destroy_window(TkHandle window) {
    WebWindow& w = g_web;
    if (!is_window(window)) return 0;
    PlatEvent e = {};
    e.kind = PLAT_EV_DESTROYED;
    e.window = window;
    if (w.proc) w.proc(&e);
    // Whatever the toolkit left behind goes with the window.
    if (w.context) web_gl_delete_context(w.context);
    web_queue_drop_window_events();
    web_page_close_window();
    w.window = 0;
    w.dc = 0;
    w.context = 0;
    w.format = 0;
    w.invalid = false;
    w.painting = false;
    return 1;
}

// The canvas is the screen's top-left corner: the page has no other windows to place it among.
int web_get_window_rect(TkHandle window, PlatRect* rect) {
    if (!is_window(window)) return 0;
    *rect = {0, 0, g_web.width, g_web.height};
    return 1;
}

int web_get_client_rect(TkHandle window, PlatRect* rect) {
    if (!is_window(window)) return 0;
    *rect = {0, 0, g_web.width, g_web.height};
    return 1;
}

int web_show_window(TkHandle window) {
    if (!is_window(window)) return 0;
    web_page_show_window();
    // A newly shown window is exposed: its first repaint comes before anything else.
    g_web.invalid = true;
    return 1;
}

TkHandle web_get_dc(TkHandle window) {
    if (!is_window(window)) return 0;
    if (g_web.dc == 0) g_web.dc = 0x2000 + g_web.serial;
    return g_web.dc;
}

int web_release_dc(TkHandle window, TkHandle dc) {
    return is_window(window) && dc != 0 && dc == g_web.dc;
}

// ---- Input ---------------------------------------------------------------------------------

int web_key_held(int key) {
    if (key == PLAT_KEY_SHIFT) return g_web.shift_held;
    if (key == PLAT_KEY_CONTROL) return g_web.control_held;
    return 0;
}

void web_capture_mouse(TkHandle window) {
    if (is_window(window)) web_page_capture_mouse(1);
}
void web_release_mouse() {
    web_page_capture_mouse(0);
}

// Positions are the canvas's device pixels, and the canvas stands at the screen's origin.
int web_get_cursor_pos(int* x, int* y) {
    web_page_cursor(x, y);
    return 1;
}

TkHandle web_get_focus() {
    return g_web.window;
}
