// The web backend's window class (the page and its WebGL 2) and process operations, and the
// table that makes it the platform of the web build.
#include "toolkit/web/web.h"

#include <emscripten.h>
#include <unistd.h>

#include <cstdio>

EM_JS(int, web_page_has_webgl2, (), { return WebBackend.hasWebGL2() ? 1 : 0; });

int web_platform_init(PlatTable* table) {
    single_window_fill(table);
#define WEB_FILL(name) table->name = web_##name;
    SINGLE_WINDOW_BACKEND_OPERATIONS(WEB_FILL)
#undef WEB_FILL
    return web_page_has_webgl2();
}

// The web build runs on the page alone.
int plat_select(PlatTable* table) {
    return web_platform_init(table);
}

// The class is the page: it registers when the browser can give the canvas a WebGL 2 context.
int web_register_class(int, PlatEventProc proc) {
    if (!web_page_has_webgl2()) return 0;
    return single_window_register(proc, web_release_window);
}

void web_exit_process(int status) {
    // Ends at once, without the exit processing; what was printed still reaches the page.
    std::fflush(nullptr);
    _exit(status);
}

void web_yield() {
    emscripten_sleep(0);
}
