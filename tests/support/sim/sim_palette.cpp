// The simulated palette device: logical palettes kept as entry lists, one device context with
// its selected palette, the system palette use, the system colour table and the user's
// registry colours. Every operation is recorded and can be made to fail like the others.
#include <cstring>

#include "tests/support/sim/sim.h"

namespace {

// The twenty colours of the platform's stock default palette.
const PlatPaletteEntry kStockEntries[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

const char kColorsKey[] = "Control Panel\\Colors";
const TkHandle kColorsKeyHandle = 0x60;

// The entries of a palette, or null for a handle that names none. The stock palette exists
// from the start unless a test replaced it.
std::vector<PlatPaletteEntry>* find_palette(TkHandle palette) {
    if (!palette) return nullptr;
    auto it = sim.palettes.find(palette);
    if (it == sim.palettes.end() && palette == sim.default_palette) {
        sim.palettes[palette].assign(kStockEntries, kStockEntries + 20);
        it = sim.palettes.find(palette);
    }
    return it == sim.palettes.end() ? nullptr : &it->second;
}

} // namespace

TkHandle sim_get_default_palette() {
    if (sim_call("get_default_palette")) return 0;
    find_palette(sim.default_palette);
    return sim.default_palette;
}

TkHandle sim_create_palette(int version, const PlatPaletteEntry* entries, int count) {
    if (sim_call("create_palette %d %d", version, count)) return 0;
    if (version != PLAT_LOGPALETTE_VERSION || count <= 0 || !entries) return 0;
    TkHandle handle = sim.next_handle++;
    sim.palettes[handle].assign(entries, entries + count);
    return handle;
}

TkHandle sim_select_palette(TkHandle dc, TkHandle palette, int background) {
    if (sim_call("select_palette %lu %lu %d", (unsigned long)dc, (unsigned long)palette,
                 background))
        return 0;
    if (!dc || dc != sim.dc || !find_palette(palette)) return 0;
    // A fresh device context has the stock palette selected.
    TkHandle previous = sim.selected_palette ? sim.selected_palette : sim.default_palette;
    sim.selected_palette = palette;
    return previous;
}

int sim_unrealize_palette(TkHandle palette) {
    if (sim_call("unrealize_palette %lu", (unsigned long)palette)) return 0;
    return find_palette(palette) ? 1 : 0;
}

int sim_realize_palette(TkHandle dc) {
    if (sim_call("realize_palette %lu", (unsigned long)dc)) return -1;
    if (!dc || dc != sim.dc) return -1;
    return sim.realize_result;
}

int sim_set_palette_entries(TkHandle palette, int start, int count,
                            const PlatPaletteEntry* entries) {
    if (sim_call("set_palette_entries %lu %d %d", (unsigned long)palette, start, count)) return 0;
    std::vector<PlatPaletteEntry>* p = find_palette(palette);
    if (!p || !entries || start < 0 || count <= 0 || start >= (int)p->size()) return 0;
    int n = count < (int)p->size() - start ? count : (int)p->size() - start;
    for (int i = 0; i < n; ++i)
        (*p)[start + i] = entries[i];
    return n;
}

int sim_get_palette_entries(TkHandle palette, int start, int count, PlatPaletteEntry* entries) {
    if (sim_call("get_palette_entries %lu %d %d", (unsigned long)palette, start, count)) return 0;
    std::vector<PlatPaletteEntry>* p = find_palette(palette);
    if (!p) return 0;
    if (!entries) return (int)p->size();
    if (start < 0 || count <= 0 || start >= (int)p->size()) return 0;
    int n = count < (int)p->size() - start ? count : (int)p->size() - start;
    for (int i = 0; i < n; ++i)
        entries[i] = (*p)[start + i];
    return n;
}

int sim_delete_palette(TkHandle palette) {
    if (sim_call("delete_palette %lu", (unsigned long)palette)) return 0;
    // Stock objects are never deleted; a palette still selected cannot be.
    if (palette == sim.default_palette || palette == sim.selected_palette) return 0;
    return sim.palettes.erase(palette) ? 1 : 0;
}

int sim_set_system_palette_use(TkHandle dc, int use) {
    if (sim_call("set_system_palette_use %lu %d", (unsigned long)dc, use)) return PLAT_SYSPAL_ERROR;
    if (use != PLAT_SYSPAL_STATIC && use != PLAT_SYSPAL_NOSTATIC) return PLAT_SYSPAL_ERROR;
    int previous = sim.system_palette_use;
    sim.system_palette_use = use;
    return previous;
}

PlatColor sim_get_sys_color(int index) {
    sim_call("get_sys_color %d", index);
    return index >= 0 && index < 25 ? sim.sys_colors[index] : 0;
}

int sim_set_sys_colors(int count, const int* indexes, const PlatColor* colors) {
    if (sim_call("set_sys_colors %d", count)) return 0;
    if (count <= 0 || !indexes || !colors) return 0;
    for (int i = 0; i < count; ++i)
        if (indexes[i] >= 0 && indexes[i] < 25) sim.sys_colors[indexes[i]] = colors[i];
    return 1;
}

void sim_broadcast_sys_color_change() {
    sim_call("broadcast_sys_color_change");
    ++sim.broadcasts;
}

TkHandle sim_reg_open_user_key(const char* subkey) {
    if (sim_call("reg_open_user_key %s", subkey ? subkey : "(null)")) return 0;
    if (!sim.registry_present || !subkey || strcmp(subkey, kColorsKey) != 0) return 0;
    return kColorsKeyHandle;
}

int sim_reg_query_value(TkHandle key, const char* name, int* type, char* data, int* size) {
    if (sim_call("reg_query_value %s", name ? name : "(null)")) return 0;
    if (key != kColorsKeyHandle || !name || !type || !data || !size) return 0;
    auto it = sim.registry.find(name);
    if (it == sim.registry.end()) return 0;
    // The stored text carries its terminator; a value that does not fit is not read.
    const std::string& text = it->second.second;
    int needed = (int)text.size() + 1;
    if (needed > *size) {
        *size = needed;
        return 0;
    }
    *type = it->second.first;
    memcpy(data, text.c_str(), (size_t)needed);
    *size = needed;
    return 1;
}

void sim_reg_close(TkHandle key) {
    sim_call("reg_close %lu", (unsigned long)key);
}
