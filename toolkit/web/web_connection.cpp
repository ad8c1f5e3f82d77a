// The web backend's window class (the page and its WebGL 2) and process operations, and the
// table that makes it the platform of the web build.
#include "toolkit/web/web.h"

#include <emscripten.h>
#include <unistd.h>

#include <cstdio>

EM_JS(int, web_page_has_webgl2, (), { return WebBackend.hasWebGL2() ? 1 : 0; });

// The web build runs on the page alone. The class is the page: it registers when the browser can
// give the canvas a WebGL 2 context.
int plat_select(PlatTable* table) {
    SINGLE_WINDOW_BACKEND_OPERATIONS(SINGLE_WINDOW_FILL, web)
    return single_window_fill(
        table, [] { return web_page_has_webgl2() != 0; }, web_release_window);
}

void web_exit_process(int status) {
    // Ends at once, without the exit processing; what was printed still reaches the page.
    std::fflush(nullptr);
    _exit(status);
}

void web_yield() {
    emscripten_sleep(0);
}
