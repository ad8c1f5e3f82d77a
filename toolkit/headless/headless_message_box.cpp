#include "toolkit/headless/headless.h"

// No display to show a box on: the text goes to standard error so that no failure is silent.
int headless_message_box(TkHandle, const char* text, const char* caption) {
    return plat_message_to_stderr(text, caption);
}
