// A modal message box: a small window of its own with the caption as its title, the text and an
// OK button, drawn with cairo into shared memory; Return, Escape, Space or a click on the
// button dismiss it. Where no compositor can be reached the message goes to standard error, so
// that no failure passes unseen.
#include <cairo.h>
#include <libdecor.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "toolkit/message_text.h"
#include "toolkit/wayland/wayland.h"
#include "xdg-shell-client.h"

namespace {

const double kFontSize = 13;
const int kMargin = 16, kButtonW = 64, kButtonH = 24;

struct Box {
    WlToplevel top;
    std::vector<std::string> lines;
    int button_x = 0, button_y = 0;
    wl_buffer* buffer = nullptr;
    void* pixels = nullptr;
    size_t bytes = 0;
};
Box* s_box = nullptr;

void set_font(cairo_t* cr) {
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, kFontSize);
}

// The box's size for its text, measured with the font it is drawn in.
void lay_out(Box* box) {
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    set_font(cr);
    double widest = 0;
    for (const std::string& l : box->lines) {
        cairo_text_extents_t e;
        cairo_text_extents(cr, l.c_str(), &e);
        if (e.x_advance > widest) widest = e.x_advance;
    }
    cairo_font_extents_t f;
    cairo_font_extents(cr, &f);
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    int line_h = (int)(f.height + 0.5);
    int width = (int)widest + 2 * kMargin;
    box->top.width = width > 200 ? width : 200;
    box->top.height = kMargin + (int)box->lines.size() * line_h + kMargin + kButtonH + 12;
    box->button_x = (box->top.width - kButtonW) / 2;
    box->button_y = box->top.height - kButtonH - 12;
}

void draw(Box* box) {
    int w = box->top.width, h = box->top.height;
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        static_cast<unsigned char*>(box->pixels), CAIRO_FORMAT_ARGB32, w, h, w * 4);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    set_font(cr);
    cairo_font_extents_t f;
    cairo_font_extents(cr, &f);
    for (size_t i = 0; i < box->lines.size(); ++i) {
        cairo_move_to(cr, kMargin, kMargin + f.ascent + (double)i * f.height);
        cairo_show_text(cr, box->lines[i].c_str());
    }
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, box->button_x + 0.5, box->button_y + 0.5, kButtonW, kButtonH);
    cairo_stroke(cr);
    cairo_text_extents_t ok;
    cairo_text_extents(cr, "OK", &ok);
    cairo_move_to(cr, box->button_x + (kButtonW - ok.x_advance) / 2,
                  box->button_y + (kButtonH + f.ascent - f.descent) / 2);
    cairo_show_text(cr, "OK");
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
}

bool make_buffer(Box* box) {
    int w = box->top.width, h = box->top.height;
    box->bytes = (size_t)w * h * 4;
    int fd = memfd_create("crane-message-box", MFD_CLOEXEC);
    if (fd < 0) return false;
    if (ftruncate(fd, (off_t)box->bytes) < 0) {
        close(fd);
        return false;
    }
    box->pixels = mmap(nullptr, box->bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (box->pixels == MAP_FAILED) {
        box->pixels = nullptr;
        close(fd);
        return false;
    }
    wl_shm_pool* pool = wl_shm_create_pool(g_wl.shm, fd, (int32_t)box->bytes);
    box->buffer = wl_shm_pool_create_buffer(pool, 0, w, h, w * 4, WL_SHM_FORMAT_ARGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return box->buffer != nullptr;
}

// The box keeps its own size whatever the compositor suggests; each configure is answered with
// the picture.
void box_configured(WlToplevel* top, int, int, bool) {
    Box* box = s_box;
    if (!box || &box->top != top || !box->buffer) return;
    wl_surface_attach(top->surface, box->buffer, 0, 0);
    wl_surface_damage(top->surface, 0, 0, top->width, top->height);
    wl_surface_commit(top->surface);
}

bool on_button(const Box& box, int x, int y) {
    return x >= box.button_x && x < box.button_x + kButtonW && y >= box.button_y &&
           y < box.button_y + kButtonH;
}

} // namespace

int wayland_message_box(TkHandle owner, const char* text, const char* caption) {
    if (!wl_connect() || !g_wl.shm || s_box) return plat_message_to_stderr(text, caption);
    Box box;
    box.lines = message_lines(text);
    lay_out(&box);
    box.top.on_configure = box_configured;
    if (!make_buffer(&box) || !wl_toplevel_create(&box.top, caption)) {
        if (box.buffer) wl_buffer_destroy(box.buffer);
        if (box.pixels) munmap(box.pixels, box.bytes);
        return plat_message_to_stderr(text, caption);
    }
    draw(&box);
    if (owner && owner == (TkHandle)&g_wl.win && g_wl.win.top.surface)
        wl_toplevel_set_parent(&box.top, &g_wl.win.top);
    s_box = &box;
    g_wl.box = &box.top;
    g_wl.box_key = 0;
    g_wl.box_click_x = g_wl.box_click_y = -1;
    bool shown = wl_toplevel_show(&box.top);
    while (shown) {
        int key = g_wl.box_key;
        if (key == PLAT_KEY_RETURN || key == PLAT_KEY_ESCAPE || key == PLAT_KEY_SPACE) break;
        if (g_wl.box_click_x >= 0 && on_button(box, g_wl.box_click_x, g_wl.box_click_y)) break;
        if (box.top.close_requested) break;
        g_wl.box_key = 0;
        g_wl.box_click_x = g_wl.box_click_y = -1;
        wl_pump(-1);
    }
    g_wl.box = nullptr;
    s_box = nullptr;
    wl_toplevel_destroy(&box.top);
    wl_buffer_destroy(box.buffer);
    munmap(box.pixels, box.bytes);
    wl_display_roundtrip(g_wl.display);
    return shown ? 1 : plat_message_to_stderr(text, caption);
}
