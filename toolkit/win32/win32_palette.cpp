// Logical palettes and the system palette through GDI, the system colours through USER32 and
// the user's colour settings from the registry: on this platform the toolkit's palette rules
// act on the real display, so nothing here is kept in the backend.
#include "toolkit/win32/win32.h"

#include <vector>

namespace {

HPALETTE hpal(TkHandle h) {
    return reinterpret_cast<HPALETTE>(h);
}

} // namespace

TkHandle win32_get_default_palette() {
    return win32_handle(GetStockObject(DEFAULT_PALETTE));
}

TkHandle win32_create_palette(int version, const PlatPaletteEntry* entries, int count) {
    if (count <= 0 || !entries) return 0;
    // LOGPALETTE declares one entry; the rest follow it.
    std::vector<unsigned char> block(sizeof(LOGPALETTE) + (count - 1) * sizeof(PALETTEENTRY));
    LOGPALETTE* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = static_cast<WORD>(version);
    palette->palNumEntries = static_cast<WORD>(count);
    for (int i = 0; i < count; ++i)
        palette->palPalEntry[i] =
            PALETTEENTRY{entries[i].red, entries[i].green, entries[i].blue, entries[i].flags};
    return win32_handle(CreatePalette(palette));
}

TkHandle win32_select_palette(TkHandle dc, TkHandle palette, int background) {
    return win32_handle(SelectPalette(win32_hdc(dc), hpal(palette), background ? TRUE : FALSE));
}

int win32_unrealize_palette(TkHandle palette) {
    return UnrealizeObject(hpal(palette)) != 0;
}

int win32_realize_palette(TkHandle dc) {
    const UINT remapped = RealizePalette(win32_hdc(dc));
    return remapped == GDI_ERROR ? -1 : static_cast<int>(remapped);
}

int win32_set_palette_entries(TkHandle palette, int start, int count,
                              const PlatPaletteEntry* entries) {
    if (count <= 0 || !entries) return 0;
    std::vector<PALETTEENTRY> e(count);
    for (int i = 0; i < count; ++i)
        e[i] = PALETTEENTRY{entries[i].red, entries[i].green, entries[i].blue, entries[i].flags};
    return static_cast<int>(SetPaletteEntries(hpal(palette), start, count, e.data()));
}

int win32_get_palette_entries(TkHandle palette, int start, int count, PlatPaletteEntry* entries) {
    if (!entries) return static_cast<int>(GetPaletteEntries(hpal(palette), 0, 0, nullptr));
    if (count <= 0) return 0;
    std::vector<PALETTEENTRY> e(count);
    const UINT got = GetPaletteEntries(hpal(palette), start, count, e.data());
    for (UINT i = 0; i < got; ++i)
        entries[i] = PlatPaletteEntry{e[i].peRed, e[i].peGreen, e[i].peBlue, e[i].peFlags};
    return static_cast<int>(got);
}

int win32_delete_palette(TkHandle palette) {
    return DeleteObject(hpal(palette)) != 0;
}

int win32_set_system_palette_use(TkHandle dc, int use) {
    return static_cast<int>(SetSystemPaletteUse(win32_hdc(dc), static_cast<UINT>(use)));
}

// ---- System colours and the user's settings --------------------------------------------------

PlatColor win32_get_sys_color(int index) {
    return GetSysColor(index);
}

int win32_set_sys_colors(int count, const int* indexes, const PlatColor* colors) {
    if (count <= 0 || !indexes || !colors) return 0;
    std::vector<COLORREF> c(colors, colors + count);
    return SetSysColors(count, indexes, c.data()) != 0;
}

void win32_broadcast_sys_color_change() {
    PostMessageA(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0);
}

TkHandle win32_reg_open_user_key(const char* subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    return win32_handle(key);
}

int win32_reg_query_value(TkHandle key, const char* name, int* type, char* data, int* size) {
    DWORD t = REG_NONE;
    DWORD n = size && *size > 0 ? static_cast<DWORD>(*size) : 0;
    const LONG r = RegQueryValueExA(reinterpret_cast<HKEY>(key), name, nullptr, &t,
                                    reinterpret_cast<BYTE*>(data), &n);
    if (r != ERROR_SUCCESS) return 0;
    if (type) *type = t == REG_SZ ? PLAT_REG_SZ : PLAT_REG_NONE;
    if (size) *size = static_cast<int>(n);
    return 1;
}

void win32_reg_close(TkHandle key) {
    RegCloseKey(reinterpret_cast<HKEY>(key));
}
