// Palettes, system colours and user settings on X11. A logical palette is kept as its entries;
// on a PseudoColor (or GrayScale) visual it becomes a private X colormap of that visual that
// holds the entries, set on the drawing window and installed when the palette is realized in
// the foreground. TrueColor visuals need no palette: realizing one changes nothing.
#include <cstring>
#include <new>
#include <set>
#include <vector>

#include "toolkit/x11/x11.h"

namespace {

struct X11Palette {
    std::vector<PlatPaletteEntry> entries;
    // What the colormap holds since the last realisation, to count what changed.
    std::vector<PlatPaletteEntry> stored;
    Colormap colormap = 0; // made on first selection into a window with a dynamic visual
    bool stock = false;
};

X11Palette make_stock() {
    // The twenty colours of the stock default palette.
    static const PlatPaletteEntry colors[20] = {
        {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
        {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
        {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
        {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
        {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
    };
    X11Palette p;
    p.entries.assign(colors, colors + 20);
    p.stock = true;
    return p;
}

X11Palette s_stock = make_stock();
std::set<X11Palette*> s_palettes;
X11Palette* s_selected = nullptr; // selected into the window's device context
bool s_background = false;        // how it was selected
int s_system_palette_use = PLAT_SYSPAL_STATIC;

X11Palette* find(TkHandle handle) {
    if (!handle) return nullptr;
    if (handle == (TkHandle)&s_stock) return &s_stock;
    X11Palette* p = reinterpret_cast<X11Palette*>(handle);
    return s_palettes.count(p) ? p : nullptr;
}

bool is_dc(TkHandle dc) {
    return dc && dc == (TkHandle)&g_x11.win && g_x11.win.top && g_x11.display;
}

// The drawing window's visual when its colours can be stored (PseudoColor, GrayScale), else
// null; size receives the number of its colormap entries.
Visual* dynamic_visual(int* size) {
    if (!g_x11.win.gl || !g_x11.win.format) return nullptr;
    XWindowAttributes a;
    if (!XGetWindowAttributes(g_x11.display, g_x11.win.gl, &a) || !a.visual) return nullptr;
    if (a.visual->c_class != PseudoColor && a.visual->c_class != GrayScale) return nullptr;
    if (size) *size = a.visual->map_entries;
    return a.visual;
}

// The window's own colormap comes back when the stock palette is selected.
void show_colormap(Colormap colormap) {
    if (g_x11.win.gl && colormap) XSetWindowColormap(g_x11.display, g_x11.win.gl, colormap);
}

bool same(const PlatPaletteEntry& a, const PlatPaletteEntry& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

int copy_range(std::vector<PlatPaletteEntry>& to, int start, int count,
               const PlatPaletteEntry* from) {
    if (!from || start < 0 || count <= 0 || start >= (int)to.size()) return 0;
    int n = count < (int)to.size() - start ? count : (int)to.size() - start;
    for (int i = 0; i < n; ++i)
        to[start + i] = from[i];
    return n;
}

} // namespace

TkHandle x11_get_default_palette() {
    return (TkHandle)&s_stock;
}

TkHandle x11_create_palette(int version, const PlatPaletteEntry* entries, int count) {
    if (version != PLAT_LOGPALETTE_VERSION || !entries || count <= 0 || count > 65536) return 0;
    X11Palette* p = new (std::nothrow) X11Palette;
    if (!p) return 0;
    p->entries.assign(entries, entries + count);
    s_palettes.insert(p);
    return (TkHandle)p;
}

TkHandle x11_select_palette(TkHandle dc, TkHandle palette, int background) {
    X11Palette* p = find(palette);
    if (!is_dc(dc) || !p) return 0;
    X11Palette* previous = s_selected ? s_selected : &s_stock;
    if (Visual* v = dynamic_visual(nullptr)) {
        if (p->stock) {
            show_colormap(g_x11.win.colormap);
        } else {
            if (!p->colormap) {
                x11_catch_errors_begin();
                Colormap c = XCreateColormap(g_x11.display, g_x11.win.top, v, AllocAll);
                if (x11_catch_errors_end()) return 0;
                p->colormap = c;
                p->stored.clear();
            }
            show_colormap(p->colormap);
        }
    }
    s_selected = p;
    s_background = background != 0;
    return (TkHandle)previous;
}

int x11_unrealize_palette(TkHandle palette) {
    X11Palette* p = find(palette);
    if (!p) return 0;
    p->stored.clear(); // the next realisation stores every entry again
    return 1;
}

int x11_realize_palette(TkHandle dc) {
    if (!is_dc(dc)) return -1;
    X11Palette* p = s_selected;
    int size = 0;
    if (!p || p->stock || !p->colormap || !dynamic_visual(&size)) return 0;
    int n = (int)p->entries.size();
    if (n > size) n = size;
    std::vector<XColor> colors;
    int changed = 0;
    for (int i = 0; i < n; ++i) {
        const PlatPaletteEntry& e = p->entries[i];
        if (i < (int)p->stored.size() && same(p->stored[i], e)) continue;
        XColor c;
        c.pixel = (unsigned long)i;
        c.red = (unsigned short)(e.red * 257);
        c.green = (unsigned short)(e.green * 257);
        c.blue = (unsigned short)(e.blue * 257);
        c.flags = DoRed | DoGreen | DoBlue;
        colors.push_back(c);
        ++changed;
    }
    x11_catch_errors_begin();
    if (!colors.empty())
        XStoreColors(g_x11.display, p->colormap, colors.data(), (int)colors.size());
    // A foreground palette is what the window shows while it is active.
    if (!s_background) XInstallColormap(g_x11.display, p->colormap);
    if (x11_catch_errors_end()) return -1;
    p->stored.assign(p->entries.begin(), p->entries.begin() + n);
    return changed;
}

int x11_set_palette_entries(TkHandle palette, int start, int count,
                            const PlatPaletteEntry* entries) {
    X11Palette* p = find(palette);
    if (!p || p->stock) return 0;
    return copy_range(p->entries, start, count, entries);
}

int x11_get_palette_entries(TkHandle palette, int start, int count, PlatPaletteEntry* entries) {
    X11Palette* p = find(palette);
    if (!p) return 0;
    if (!entries) return (int)p->entries.size();
    if (start < 0 || count <= 0 || start >= (int)p->entries.size()) return 0;
    int n = count < (int)p->entries.size() - start ? count : (int)p->entries.size() - start;
    memcpy(entries, p->entries.data() + start, sizeof(PlatPaletteEntry) * (size_t)n);
    return n;
}

int x11_delete_palette(TkHandle palette) {
    X11Palette* p = find(palette);
    if (!p || p->stock) return 0;
    if (s_selected == p) {
        // Never leave the window showing a colormap that is about to go.
        show_colormap(g_x11.win.colormap);
        s_selected = nullptr;
    }
    if (p->colormap && g_x11.display) XFreeColormap(g_x11.display, p->colormap);
    s_palettes.erase(p);
    delete p;
    return 1;
}

int x11_set_system_palette_use(TkHandle, int use) {
    if (use != PLAT_SYSPAL_STATIC && use != PLAT_SYSPAL_NOSTATIC) return PLAT_SYSPAL_ERROR;
    int previous = s_system_palette_use;
    s_system_palette_use = use;
    return previous;
}
