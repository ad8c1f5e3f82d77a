// A Wayland surface is true colour: there is no palette device and no system palette to take
// over.
#include "toolkit/wayland/wayland.h"

// The stock default palette exists on every device, even one that never uses it.
const TkHandle k_default_palette = 0x4001;

TkHandle wayland_get_default_palette() {
    return k_default_palette;
}
TkHandle wayland_create_palette(int, const PlatPaletteEntry*, int) {
    return 0;
}
TkHandle wayland_select_palette(TkHandle, TkHandle, int) {
    return 0;
}
int wayland_unrealize_palette(TkHandle) {
    return 0;
}
int wayland_realize_palette(TkHandle) {
    return -1;
}
int wayland_set_palette_entries(TkHandle, int, int, const PlatPaletteEntry*) {
    return 0;
}
int wayland_get_palette_entries(TkHandle, int, int, PlatPaletteEntry*) {
    return 0;
}
int wayland_delete_palette(TkHandle) {
    return 0;
}
int wayland_set_system_palette_use(TkHandle, int) {
    return PLAT_SYSPAL_ERROR;
}
