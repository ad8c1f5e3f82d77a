// What a backend takes where its window system has nothing of its own: system colours and user
// settings (the layer keeps the classic colour table, nobody else reads it, and the user's
// settings key cannot be opened), the palette group of a true-colour device, and a message
// box's text on standard error.
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

// The stock default palette exists on every device, even one that never uses it.
const TkHandle k_default_palette = 0x4001;

TkHandle get_default_palette() {
    return k_default_palette;
}
TkHandle create_palette(int, const PlatPaletteEntry*, int) {
    return 0;
}
TkHandle select_palette(TkHandle, TkHandle, int) {
    return 0;
}
int unrealize_palette(TkHandle) {
    return 0;
}
int realize_palette(TkHandle) {
    return -1;
}
int set_palette_entries(TkHandle, int, int, const PlatPaletteEntry*) {
    return 0;
}
int get_palette_entries(TkHandle, int, int, PlatPaletteEntry*) {
    return 0;
}
int delete_palette(TkHandle) {
    return 0;
}
int set_system_palette_use(TkHandle, int) {
    return PLAT_SYSPAL_ERROR;
}

} // namespace

void plat_fill_plain_settings(PlatTable* table) {
#define PLAIN_FILL(result, name, parameters) table->name = name;
    PLAT_SETTINGS_OPERATIONS(PLAIN_FILL)
#undef PLAIN_FILL
}

void plat_fill_true_colour_palette(PlatTable* table) {
#define TRUE_COLOUR_FILL(result, name, parameters) table->name = name;
    PLAT_PALETTE_OPERATIONS(TRUE_COLOUR_FILL)
#undef TRUE_COLOUR_FILL
}

int plat_message_to_stderr(const char* text, const char* caption) {
    if (!text) text = "";
    const size_t n = strlen(text);
    fprintf(stderr, "%s: %s%s", caption, text, (n && text[n - 1] == '\n') ? "" : "\n");
    fflush(stderr);
    return 1;
}
