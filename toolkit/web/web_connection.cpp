// The web backend's window class (the page and its WebGL 2), version, metrics and process
// operations, and the table that makes it the platform of the web build.
#include "toolkit/web/web.h"

#include <emscripten.h>
#include <unistd.h>

#include <cstdio>

EM_JS(int, web_page_has_webgl2, (), { return WebBackend.hasWebGL2() ? 1 : 0; });

int web_platform_init(PlatTable* table) {
    plat_fill_plain_settings(table);
    plat_fill_true_colour_palette(table);
#define WEB_FILL(result, name, parameters) table->name = web_##name;
    PLAT_WINDOW_OPERATIONS(WEB_FILL)
#undef WEB_FILL
    return web_page_has_webgl2();
}

// The web build runs on the page alone.
int plat_select(PlatTable* table) {
    return web_platform_init(table);
}

int web_get_version(PlatVersion* version) {
    *version = PlatVersion{PLAT_VER_PLATFORM_WIN32_NT, 10, 0};
    return 1;
}

// The caption bar is the page's, beside the canvas: no frame, caption or border to allow for.
int web_get_system_metric(int) {
    return 0;
}
int web_adjust_window_rect(PlatRect*) {
    return 1;
}

// The class is the page: it registers when the browser can give the canvas a WebGL 2 context.
int web_register_class(int, PlatEventProc proc) {
    if (!web_page_has_webgl2()) return 0;
    g_web.registered = true;
    g_web.proc = proc;
    return 1;
}

void web_exit_process(int status) {
    // Ends at once, without the exit processing; what was printed still reaches the page.
    std::fflush(nullptr);
    _exit(status);
}

void web_yield() {
    emscripten_sleep(0);
}
