#include "toolkit/headless/headless.h"

#include <cstdio>
#include <cstring>

// No display to show a box on: the text goes to standard error so that no failure is silent.
int headless_message_box(TkHandle, const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s", caption, text);
    const size_t n = text ? std::strlen(text) : 0;
    if (n == 0 || text[n - 1] != '\n') std::fputc('\n', stderr);
    return 1;
}
