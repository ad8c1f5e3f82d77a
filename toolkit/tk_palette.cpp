// Palettes and system colours for palette devices (256-colour displays) and colour-index
// visuals: the window's logical palette, its realisation as the window gains and loses
// activation, taking over and giving back the system palette and the system colours, and the
// colour-map operations of the toolkit's interface. On true-colour displays none of it acts.
#include "toolkit/tk_palette.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "toolkit/tk_window.h"

namespace {

const int kMaxSystemColors = 25;
// A logical palette counts its entries in 16 bits, so no format with more colour bits can
// have one.
const int kMaxPaletteBits = 16;

struct PaletteState {
    int system_color_count;
    bool full_palette; // the palette takes over all 256 system palette entries
    bool colors_taken; // the toolkit holds the system palette and has replaced the colours
    PlatColor saved[kMaxSystemColors];
};

PaletteState s_pal = {kMaxSystemColors, false, false, {}};

struct SystemColorSlot {
    const char* value_name; // under "Control Panel\Colors"
    bool white;             // the colour while taken: white, else black
};

const SystemColorSlot kSlots[kMaxSystemColors] = {
    {"Scrollbar", true},      {"Background", false},
    {"ActiveTitle", false},   {"InactiveTitle", true},
    {"Menu", true},           {"Window", true},
    {"WindowFrame", false},   {"MenuText", false},
    {"WindowText", false},    {"TitleText", true},
    {"ActiveBorder", true},   {"InactiveBorder", true},
    {"AppWorkspace", true},   {"Hilight", false},
    {"HilightText", true},    {"ButtonFace", true},
    {"ButtonShadow", false},  {"GrayText", false},
    {"ButtonText", false},    {"InactiveTitleText", false},
    {"ButtonHilight", false}, {"ButtonDkShadow", false},
    {"ButtonLight", true},    {"InfoText", false},
    {"InfoWindow", true},
};

const uint8_t kLevels1[2] = {0, 255};
const uint8_t kLevels2[4] = {0, 116, 191, 255};
const uint8_t kLevels3[8] = {0, 63, 104, 139, 171, 200, 229, 255};

struct FixedEntry {
    int index;
    uint8_t red, green, blue;
};

// Entries of a 3-3-2 ramp replaced by the colours the platform keeps static, so that those
// colours map onto themselves.
const FixedEntry kFixed332[12] = {
    {3, 128, 0, 0},       {24, 0, 128, 0},      {27, 128, 128, 0},    {64, 0, 0, 128},
    {67, 128, 0, 128},    {88, 0, 128, 128},    {173, 192, 192, 192}, {181, 192, 220, 192},
    {236, 166, 202, 240}, {247, 255, 251, 240}, {164, 160, 160, 164}, {91, 128, 128, 128},
};

int slot_count() {
    int n = s_pal.system_color_count;
    if (n < 0) return 0;
    return n > kMaxSystemColors ? kMaxSystemColors : n;
}

uint8_t channel_level(int index, int bits, int shift) {
    unsigned value = (shift >= 0 && shift < 32) ? (unsigned)index >> shift : 0u;
    switch (bits) {
    case 1:
        return kLevels1[value & 1u];
    case 2:
        return kLevels2[value & 3u];
    case 3:
        return kLevels3[value & 7u];
    default:
        return 0;
    }
}

// 2 to the power bits, or 0 when no palette can have that many entries.
int entries_for_bits(int bits) {
    if (bits < 0) bits = 0;
    return bits > kMaxPaletteBits ? 0 : 1 << bits;
}

PlatPaletteEntry* alloc_entries(int count) {
    return static_cast<PlatPaletteEntry*>(calloc((size_t)count, sizeof(PlatPaletteEntry)));
}

bool wants_full_palette(const PlatPixelFormat& pfd) {
    return (pfd.flags & PLAT_PFD_NEED_SYSTEM_PALETTE) ||
           (g_tk_win.display_mode & TK_MODE_SYSTEM_PALETTE);
}

// Components outside 0..1 are clamped: their byte would otherwise wrap or be undefined.
uint8_t component_byte(float c) {
    if (!(c > 0.0f)) return 0;
    if (c >= 1.0f) return 255;
    return (uint8_t)(double(c) * 255.0 + 0.5);
}

// The palette the colour-map operations work on, made first if need be.
TkHandle colormap_palette() {
    return tk_make_index_palette(g_tk_win.dc);
}

void set_sys_colors(const PlatColor* colors, int count) {
    int indexes[kMaxSystemColors];
    for (int i = 0; i < count; ++i)
        indexes[i] = i;
    if (count > 0) plat().set_sys_colors(count, indexes, colors);
}

} // namespace

void tk_set_system_color_count(int count) {
    s_pal.system_color_count = count;
}

int tk_get_system_color_count() {
    return s_pal.system_color_count;
}

bool tk_palette_is_full() {
    return s_pal.full_palette;
}

bool tk_system_colors_taken() {
    return s_pal.colors_taken;
}

void tk_fill_ramp(const PlatPixelFormat* pfd, PlatPaletteEntry* entries, int count) {
    for (int i = 0; i < count; ++i) {
        entries[i].red = channel_level(i, pfd->red_bits, pfd->red_shift);
        entries[i].green = channel_level(i, pfd->green_bits, pfd->green_shift);
        entries[i].blue = channel_level(i, pfd->blue_bits, pfd->blue_shift);
        entries[i].flags = 0;
    }
    if (count != 256) return;
    if (s_pal.full_palette) {
        // Only black and white stay where the platform puts them; every other entry must map
        // to a system palette entry of its own.
        for (int i = 1; i < 255; ++i)
            entries[i].flags = PLAT_PC_NOCOLLAPSE;
    } else if (pfd->red_bits == 3 && pfd->red_shift == 0 && pfd->green_bits == 3 &&
               pfd->green_shift == 3 && pfd->blue_bits == 2 && pfd->blue_shift == 6) {
        for (const FixedEntry& f : kFixed332) {
            entries[f.index].red = f.red;
            entries[f.index].green = f.green;
            entries[f.index].blue = f.blue;
        }
    }
}

TkHandle tk_make_rgb_palette(TkHandle dc) {
    if (g_tk_win.palette) return g_tk_win.palette;
    PlatPixelFormat pfd;
    memset(&pfd, 0, sizeof pfd);
    if (tk_describe_current_format(dc, &pfd) <= 0 || pfd.pixel_type != PLAT_PFD_TYPE_RGBA ||
        !(pfd.flags & PLAT_PFD_NEED_PALETTE))
        return g_tk_win.palette;
    s_pal.full_palette = wants_full_palette(pfd);
    int n = entries_for_bits(pfd.color_bits);
    if (n == 0) return 0;
    PlatPaletteEntry* entries = alloc_entries(n);
    if (!entries) return 0;
    tk_fill_ramp(&pfd, entries, n);
    TkHandle palette = plat().create_palette(PLAT_LOGPALETTE_VERSION, entries, n);
    free(entries);
    if (!palette) return 0;
    g_tk_win.palette = palette;
    tk_realize_palette(dc, palette, false);
    return palette;
}

TkHandle tk_make_index_palette(TkHandle dc) {
    if (!dc || g_tk_win.palette) return g_tk_win.palette;
    PlatPixelFormat pfd;
    memset(&pfd, 0, sizeof pfd);
    if (tk_describe_current_format(dc, &pfd) <= 0 || pfd.pixel_type != PLAT_PFD_TYPE_COLORINDEX)
        return g_tk_win.palette;
    s_pal.full_palette = wants_full_palette(pfd);
    int n = pfd.color_bits >= 8 ? 256 : entries_for_bits(pfd.color_bits);
    PlatPaletteEntry* entries = alloc_entries(n);
    if (!entries) return 0;
    TkHandle stock = plat().get_default_palette();
    if (stock) {
        int have = plat().get_palette_entries(stock, 0, 0, nullptr);
        if (have > n) have = n;
        if (have > 0) plat().get_palette_entries(stock, 0, have, entries);
    }
    if (s_pal.full_palette && n == 256) {
        entries[0] = PlatPaletteEntry{0, 0, 0, 0};
        entries[255] = PlatPaletteEntry{255, 255, 255, 0};
        for (int i = 1; i < 255; ++i)
            entries[i].flags = PLAT_PC_NOCOLLAPSE;
    }
    TkHandle palette = plat().create_palette(PLAT_LOGPALETTE_VERSION, entries, n);
    free(entries);
    if (!palette) return 0;
    g_tk_win.palette = palette;
    tk_realize_palette(dc, palette, false);
    return palette;
}

int tk_realize_palette(TkHandle dc, TkHandle palette, bool background) {
    if (s_pal.full_palette) {
        if (!background) {
            // A take-over refused, also because the system colours are ours already, realizes
            // nothing.
            if (!tk_grab_system_colors(dc)) return -1;
        } else {
            tk_restore_system_colors(dc);
        }
        if (!plat().unrealize_palette(palette)) return -1;
        if (!plat().select_palette(dc, palette, background ? 1 : 0)) return -1;
        return plat().realize_palette(dc);
    }
    // Without the full palette the window's palette is always selected as a foreground one;
    // the platform maps it into whatever room the system palette has.
    if (!plat().select_palette(dc, palette, 0)) return -1;
    return plat().realize_palette(dc);
}

bool tk_grab_system_colors(TkHandle dc) {
    if (s_pal.colors_taken) return false;
    if (plat().set_system_palette_use(dc, PLAT_SYSPAL_NOSTATIC) != PLAT_SYSPAL_STATIC) {
        // Someone else holds the system palette or the platform refused: let it run, and try
        // again when the refresh request comes round.
        plat().yield();
        tk_request_palette_refresh();
        return false;
    }
    int count = slot_count();
    PlatColor colors[kMaxSystemColors];
    for (int i = 0; i < count; ++i) {
        s_pal.saved[i] = plat().get_sys_color(i);
        colors[i] = kSlots[i].white ? PLAT_PALETTERGB(255, 255, 255) : PLAT_PALETTERGB(0, 0, 0);
    }
    set_sys_colors(colors, count);
    s_pal.colors_taken = true;
    plat().broadcast_sys_color_change();
    return true;
}

bool tk_restore_system_colors(TkHandle dc) {
    if (!s_pal.colors_taken) return false;
    int count = slot_count();
    // The user may have changed a colour while it was ours; the registry has the last word.
    tk_read_user_colors(s_pal.saved, count);
    set_sys_colors(s_pal.saved, count);
    plat().set_system_palette_use(dc, PLAT_SYSPAL_STATIC);
    plat().broadcast_sys_color_change();
    s_pal.colors_taken = false;
    return true;
}

bool tk_read_user_colors(PlatColor* colors, int count) {
    TkHandle key = plat().reg_open_user_key("Control Panel\\Colors");
    if (!key) return false;
    if (count > kMaxSystemColors) count = kMaxSystemColors;
    for (int i = 0; i < count; ++i) {
        // One byte beyond the 64 read, so that a value stored without its terminator still
        // ends inside the buffer.
        char text[65];
        int size = 64;
        int type = PLAT_REG_NONE;
        if (!plat().reg_query_value(key, kSlots[i].value_name, &type, text, &size) ||
            type != PLAT_REG_SZ)
            continue;
        if (size < 0) size = 0;
        text[size > 64 ? 64 : size] = '\0';
        long red = 0, green = 0, blue = 0;
        if (sscanf(text, "%ld %ld %ld", &red, &green, &blue) != 3)
            continue; // a text without three numbers leaves the slot as it was
        colors[i] = PLAT_RGB(red & 0xFF, green & 0xFF, blue & 0xFF);
    }
    plat().reg_close(key);
    return true;
}

void tk_request_palette_refresh() {
    TkHandle window = g_tk_win.window;
    if (!window) return;
    if (!plat().peek_event(PLAT_EV_USER_REFRESH, window)) plat().post_user_refresh(window);
}

int tk_palette_on_activate(const PlatEvent* event) {
    TkHandle palette = g_tk_win.palette;
    if (!palette) return 0;
    if (!event->a) {
        if (tk_realize_palette(g_tk_win.dc, palette, true) > 0) tk_request_redraw();
        return 0;
    }
    if (event->b) return 0;
    if (tk_realize_palette(g_tk_win.dc, palette, false) > 0) tk_request_redraw();
    return 1;
}

void tk_palette_on_palette_changed(const PlatEvent* event) {
    TkHandle palette = g_tk_win.palette;
    if (!palette || event->other == g_tk_win.window || s_pal.colors_taken) return;
    if (plat().select_palette(g_tk_win.dc, palette, 1)) plat().realize_palette(g_tk_win.dc);
}

void tk_palette_on_refresh(const PlatEvent*) {
    TkHandle palette = g_tk_win.palette;
    if (!palette) return;
    if (tk_realize_palette(g_tk_win.dc, palette, false) > 0) tk_request_redraw();
}

void tk_palette_release() {
    TkHandle palette = g_tk_win.palette;
    if (!palette) return;
    TkHandle stock = plat().get_default_palette();
    if (s_pal.full_palette) {
        // Realizing the stock palette in the background gives the system colours back.
        tk_realize_palette(g_tk_win.dc, stock, true);
    } else if (stock) {
        plat().select_palette(g_tk_win.dc, stock, 0);
    }
    plat().delete_palette(palette);
}

void tk_set_color_index(int index, float red, float green, float blue) {
    TkHandle palette = colormap_palette();
    if (!palette) return;
    if (s_pal.full_palette && (index == 0 || index == 255))
        return; // the static black and white stay where they are
    if (index < 0 || index >= plat().get_palette_entries(palette, 0, 0, nullptr)) return;
    PlatPaletteEntry entry = {component_byte(red), component_byte(green), component_byte(blue), 0};
    if (s_pal.full_palette) {
        entry.flags = PLAT_PC_NOCOLLAPSE;
        // A second white would capture the mapping of the static white; reserving it keeps
        // the one-to-one mapping of the taken-over palette.
        if (entry.red == 255 && entry.green == 255 && entry.blue == 255)
            entry.flags |= PLAT_PC_RESERVED;
    }
    plat().set_palette_entries(palette, index, 1, &entry);
    tk_request_palette_refresh();
}

void tk_set_grey_blocks(int block_bits, int step_bits) {
    TkHandle palette = colormap_palette();
    if (!palette || block_bits < 0 || step_bits < 0) return;
    int n = plat().get_palette_entries(palette, 0, 0, nullptr);
    if (n <= 0) return;
    PlatPaletteEntry* entries = alloc_entries(n);
    if (!entries) return;
    // Entries that no block covers keep their value.
    plat().get_palette_entries(palette, 0, n, entries);
    long long block = block_bits < 62 ? 1LL << block_bits : 1LL << 62;
    long long step = step_bits < 62 ? 1LL << step_bits : 1LL << 62;
    for (long long k = 0; k < step; ++k) {
        long long base = k * block;
        if (base >= n) break;
        for (long long j = 0; j < block && base + j < n; ++j) {
            int i = (int)(base + j);
            long long level = (j > 0 && step > 255) ? 255 : base + j * step;
            if (level > 255) level = 255;
            PlatPaletteEntry& e = entries[i];
            e.red = e.green = e.blue = (uint8_t)level;
            e.flags = 0;
            if (s_pal.full_palette && i != 0 && i != 255) {
                e.flags = PLAT_PC_NOCOLLAPSE;
                if (level == 255) e.flags |= PLAT_PC_RESERVED;
            }
        }
    }
    plat().set_palette_entries(palette, 0, n, entries);
    free(entries);
    tk_request_palette_refresh();
}

void tk_set_grey_ramp() {
    TkHandle palette = colormap_palette();
    if (!palette) return;
    int n = plat().get_palette_entries(palette, 0, 0, nullptr);
    if (n <= 0) return;
    PlatPaletteEntry* entries = alloc_entries(n);
    if (!entries) return;
    for (int i = 0; i < n; ++i) {
        // A single entry has no span to spread over: it gets black.
        uint8_t level = n == 1 ? 0 : (uint8_t)((double)i / (double)(n - 1) * 255.0 + 0.5);
        entries[i].red = entries[i].green = entries[i].blue = level;
        entries[i].flags = (s_pal.full_palette && i != 0 && i != 255) ? PLAT_PC_NOCOLLAPSE : 0;
    }
    plat().set_palette_entries(palette, 0, n, entries);
    free(entries);
    tk_request_palette_refresh();
}

int tk_reload_palette() {
    TkHandle palette = colormap_palette();
    if (!palette) return -1;
    TkHandle dc = g_tk_win.dc;
    PlatPixelFormat pfd;
    memset(&pfd, 0, sizeof pfd);
    if (tk_describe_current_format(dc, &pfd) <= 0) return -1;
    int n = entries_for_bits(pfd.color_bits);
    if (n == 0) return -1;
    PlatPaletteEntry* entries = alloc_entries(n);
    if (!entries) return -1;
    tk_fill_ramp(&pfd, entries, n);
    // The ramp follows the format; the palette may hold fewer entries than it has.
    int size = plat().get_palette_entries(palette, 0, 0, nullptr);
    plat().set_palette_entries(palette, 0, n < size ? n : size, entries);
    free(entries);
    return tk_realize_palette(dc, palette, false);
}

int tk_palette_size() {
    TkHandle palette = colormap_palette();
    if (!palette) return 0;
    int n = plat().get_palette_entries(palette, 0, 0, nullptr);
    return n > 0 ? n : 0;
}
