// The headless surface is true colour: there is no palette device and no system palette to
// take over.
#include "toolkit/headless/headless.h"

// The stock default palette exists on every device, even one that never uses it.
const TkHandle k_default_palette = 0x4001;

TkHandle headless_get_default_palette() {
    return k_default_palette;
}
TkHandle headless_create_palette(int, const PlatPaletteEntry*, int) {
    return 0;
}
TkHandle headless_select_palette(TkHandle, TkHandle, int) {
    return 0;
}
int headless_unrealize_palette(TkHandle) {
    return 0;
}
int headless_realize_palette(TkHandle) {
    return -1;
}
int headless_set_palette_entries(TkHandle, int, int, const PlatPaletteEntry*) {
    return 0;
}
int headless_get_palette_entries(TkHandle, int, int, PlatPaletteEntry*) {
    return 0;
}
int headless_delete_palette(TkHandle) {
    return 0;
}
int headless_set_system_palette_use(TkHandle, int) {
    return PLAT_SYSPAL_ERROR;
}
