// A modal message box: a dialog in the page with the caption, the text and an OK button, which
// the button, Return, Escape or Space dismiss. The program waits while it is shown.
#include "toolkit/web/web.h"

#include <emscripten.h>

EM_ASYNC_JS(void, web_page_message_box, (const char* text, const char* caption),
            { await WebBackend.messageBox(UTF8ToString(text), UTF8ToString(caption)); });

int web_message_box(TkHandle, const char* text, const char* caption) {
    web_page_message_box(text ? text : "", caption ? caption : "");
    return 1;
}
