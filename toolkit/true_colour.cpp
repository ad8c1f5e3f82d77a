// The palette group of a true-colour device: there is no palette device, no system palette to
// take over and no user colour settings to read.
#include "toolkit/true_colour.h"

namespace {

// The stock default palette exists on every device, even one that never uses it.
const TkHandle k_default_palette = 0x4001;

// The classic system colours, so that a query gets a plausible answer.
const PlatColor k_sys_colors[] = {
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
const int k_sys_color_count = sizeof(k_sys_colors) / sizeof(k_sys_colors[0]);

} // namespace

TkHandle true_colour_get_default_palette() {
    return k_default_palette;
}
TkHandle true_colour_create_palette(int, const PlatPaletteEntry*, int) {
    return 0;
}
TkHandle true_colour_select_palette(TkHandle, TkHandle, int) {
    return 0;
}
int true_colour_unrealize_palette(TkHandle) {
    return 0;
}
int true_colour_realize_palette(TkHandle) {
    return -1;
}
int true_colour_set_palette_entries(TkHandle, int, int, const PlatPaletteEntry*) {
    return 0;
}
int true_colour_get_palette_entries(TkHandle, int, int, PlatPaletteEntry*) {
    return 0;
}
int true_colour_delete_palette(TkHandle) {
    return 0;
}
int true_colour_set_system_palette_use(TkHandle, int) {
    return PLAT_SYSPAL_ERROR;
}

PlatColor true_colour_get_sys_color(int index) {
    return index >= 0 && index < k_sys_color_count ? k_sys_colors[index] : 0;
}

int true_colour_set_sys_colors(int, const int*, const PlatColor*) {
    return 0;
}
void true_colour_broadcast_sys_color_change() {}
TkHandle true_colour_reg_open_user_key(const char*) {
    return 0;
}
int true_colour_reg_query_value(TkHandle, const char*, int*, char*, int*) {
    return 0;
}
void true_colour_reg_close(TkHandle) {}

void true_colour_fill_palette_operations(PlatTable* table) {
#define TRUE_COLOUR_FILL(result, name, parameters) table->name = true_colour_##name;
    PLAT_PALETTE_OPERATIONS(TRUE_COLOUR_FILL)
#undef TRUE_COLOUR_FILL
}
