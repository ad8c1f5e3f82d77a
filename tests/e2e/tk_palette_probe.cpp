// A Windows program that puts the toolkit's palette rules to the screen's device: on a
// 256-colour screen it takes over the system palette and colours, tries again while holding them,
// gives them back from the user's settings (changed meanwhile: "Window" set to 1 2 3,
// "InfoWindow" taken out) and realizes a 3-3-2 ramp, writing what each step gave as "name value"
// lines. The user's settings are put back as they were at the end.
#include <windows.h>

#include <cstdio>
#include <string>

#include "toolkit/platform.h"
#include "toolkit/tk_palette.h"

namespace {

const int kSlots = 25;
const char kColors[] = "Control Panel\\Colors";

// A value of the user's colour settings: its text, or "" when there is none.
std::string setting(const char* name) {
    char text[64] = "";
    DWORD size = sizeof text - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, kColors, name, RRF_RT_REG_SZ, nullptr, text, &size))
        return "";
    return text;
}

void set_setting(const char* name, const std::string& text) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kColors, 0, KEY_SET_VALUE, &key)) return;
    if (text.empty())
        RegDeleteValueA(key, name);
    else
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

// 'W' for a slot that holds palette white, 'B' for palette black, '?' for anything else.
void print_black_and_white(const char* name) {
    printf("%s ", name);
    for (int i = 0; i < kSlots; ++i) {
        COLORREF c = GetSysColor(i);
        putchar(c == PALETTERGB(255, 255, 255) ? 'W' : c == PALETTERGB(0, 0, 0) ? 'B' : '?');
    }
    putchar('\n');
}

void print_slots(const char* name) {
    printf("%s", name);
    for (int i = 0; i < kSlots; ++i)
        printf(" %06lx", (unsigned long)GetSysColor(i));
    putchar('\n');
}

} // namespace

int main() {
    HDC dc = GetDC(nullptr);
    printf("palette-device %d\n", (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0);
    printf("palette-size %d\n", GetDeviceCaps(dc, SIZEPALETTE));
    tk_set_system_color_count(kSlots);
    print_slots("before");
    printf("grab %d\n", tk_grab_system_colors((TkHandle)dc));
    print_black_and_white("taken");
    printf("use %u\n", GetSystemPaletteUse(dc));
    printf("grab-again %d\n", tk_grab_system_colors((TkHandle)dc));
    const std::string window = setting("Window"), info_window = setting("InfoWindow");
    set_setting("Window", "1 2 3");
    set_setting("InfoWindow", "");
    printf("restore %d\n", tk_restore_system_colors((TkHandle)dc));
    set_setting("Window", window);
    set_setting("InfoWindow", info_window);
    print_slots("restored");
    printf("use %u\n", GetSystemPaletteUse(dc));

    PlatPixelFormat f{};
    f.color_bits = 8;
    f.red_bits = 3;
    f.green_bits = 3;
    f.green_shift = 3;
    f.blue_bits = 2;
    f.blue_shift = 6;
    PlatPaletteEntry entries[256];
    tk_fill_ramp(&f, entries, 256);
    TkHandle palette = plat().create_palette(PLAT_LOGPALETTE_VERSION, entries, 256);
    printf("realize %d\n", palette ? tk_realize_palette((TkHandle)dc, palette, false) : -2);
    fflush(stdout);
    ReleaseDC(nullptr, dc);
    return 0;
}
