// What a backend takes where its window system has nothing of its own: system colours and user
// settings (the layer keeps the classic colour table, nobody else reads it, and the user's
// settings key cannot be opened), and a message box's text on standard error.
#include <cstdio>
#include <cstring>

#include "toolkit/platform.h"

namespace {

const int kSysColorCount = 25;

PlatColor s_sys_colors[kSysColorCount] = {
    PLAT_RGB(192, 192, 192), PLAT_RGB(0, 128, 128),   PLAT_RGB(0, 0, 128),
    PLAT_RGB(128, 128, 128), PLAT_RGB(192, 192, 192), PLAT_RGB(255, 255, 255),
    PLAT_RGB(0, 0, 0),       PLAT_RGB(0, 0, 0),       PLAT_RGB(0, 0, 0),
    PLAT_RGB(255, 255, 255), PLAT_RGB(192, 192, 192), PLAT_RGB(192, 192, 192),
    PLAT_RGB(128, 128, 128), PLAT_RGB(0, 0, 128),     PLAT_RGB(255, 255, 255),
    PLAT_RGB(192, 192, 192), PLAT_RGB(128, 128, 128), PLAT_RGB(128, 128, 128),
    PLAT_RGB(0, 0, 0),       PLAT_RGB(192, 192, 192), PLAT_RGB(255, 255, 255),
    PLAT_RGB(0, 0, 0),       PLAT_RGB(223, 223, 223), PLAT_RGB(0, 0, 0),
    PLAT_RGB(255, 255, 225),
};

PlatColor get_sys_color(int index) {
    return index >= 0 && index < kSysColorCount ? s_sys_colors[index] : 0;
}

int set_sys_colors(int count, const int* indexes, const PlatColor* colors) {
    if (count <= 0 || !indexes || !colors) return 0;
    for (int i = 0; i < count; ++i)
        if (indexes[i] >= 0 && indexes[i] < kSysColorCount) s_sys_colors[indexes[i]] = colors[i];
    return 1;
}

// No other window reads these colours, so there is nobody to tell.
void broadcast_sys_color_change() {}

TkHandle reg_open_user_key(const char*) {
    return 0;
}

int reg_query_value(TkHandle, const char*, int*, char*, int*) {
    return 0;
}

void reg_close(TkHandle) {}

} // namespace

void plat_fill_plain_settings(PlatTable* table) {
#define PLAIN_FILL(result, name, parameters) table->name = name;
    PLAT_SETTINGS_OPERATIONS(PLAIN_FILL)
#undef PLAIN_FILL
}

int plat_message_to_stderr(const char* text, const char* caption) {
    if (!text) text = "";
    const size_t n = strlen(text);
    fprintf(stderr, "%s: %s%s", caption, text, (n && text[n - 1] == '\n') ? "" : "\n");
    fflush(stderr);
    return 1;
}
