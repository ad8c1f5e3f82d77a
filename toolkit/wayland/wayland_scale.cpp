// The compositor's outputs and their scales, and the pixel density the window is drawn at. The
// window keeps its logical size (what the toplevel is configured to and what the desktop shows)
// and its buffer has the density of where it is: the scale the compositor prefers for the
// surface where it says one, else the largest scale of the outputs the surface is on. A
// fractional scale needs a viewport, which gives the buffer its logical size; a whole one is the
// surface's buffer scale. The toolkit's client size, and so the reshape handler, is the buffer's.
#include <algorithm>

#include "toolkit/wayland/wayland.h"
#include "viewporter-client.h"
#ifdef CRANE_FRACTIONAL_SCALE
#include "fractional-scale-v1-client.h"
#endif

namespace {

WlOutput* output_of(wl_output* output) {
    for (WlOutput& o : g_wl.outputs)
        if (o.output == output) return &o;
    return nullptr;
}

bool entered(wl_output* output) {
    const std::vector<wl_output*>& e = g_wl.win.entered;
    return std::find(e.begin(), e.end(), output) != e.end();
}

void forget_entered(wl_output* output) {
    std::vector<wl_output*>& e = g_wl.win.entered;
    e.erase(std::remove(e.begin(), e.end(), output), e.end());
}

// ---- Outputs ----------------------------------------------------------------------------------

void on_geometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                 const char*, int32_t) {}
void on_mode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
void on_scale(void*, wl_output* output, int32_t factor) {
    if (WlOutput* o = output_of(output)) o->pending_scale = factor > 0 ? factor : 1;
}
// An output's changes come together with its done event.
void on_done(void*, wl_output* output) {
    WlOutput* o = output_of(output);
    if (!o || o->scale == o->pending_scale) return;
    o->scale = o->pending_scale;
    wl_scale_fit_window();
}

const wl_output_listener* output_listener() {
    // Bound at version 2, the output sends nothing newer.
    static wl_output_listener listener{};
    listener.geometry = on_geometry;
    listener.mode = on_mode;
    listener.done = on_done;
    listener.scale = on_scale;
    return &listener;
}

// ---- The window's surface ---------------------------------------------------------------------

void on_enter(void*, wl_surface*, wl_output* output) {
    // Outputs bound by others (libdecor binds its own) are not ours to follow.
    if (!output_of(output) || entered(output)) return;
    g_wl.win.entered.push_back(output);
    wl_scale_fit_window();
}

void on_leave(void*, wl_surface*, wl_output* output) {
    if (!entered(output)) return;
    forget_entered(output);
    wl_scale_fit_window();
}

#ifdef WL_SURFACE_PREFERRED_BUFFER_SCALE_SINCE_VERSION
void on_preferred_buffer_scale(void*, wl_surface*, int32_t factor) {
    g_wl.win.preferred_scale = factor > 0 ? factor : 0;
    wl_scale_fit_window();
}
void on_preferred_buffer_transform(void*, wl_surface*, uint32_t) {}
#endif

const wl_surface_listener* surface_listener() {
    static wl_surface_listener listener{};
    listener.enter = on_enter;
    listener.leave = on_leave;
#ifdef WL_SURFACE_PREFERRED_BUFFER_SCALE_SINCE_VERSION
    listener.preferred_buffer_scale = on_preferred_buffer_scale;
    listener.preferred_buffer_transform = on_preferred_buffer_transform;
#endif
    return &listener;
}

#ifdef CRANE_FRACTIONAL_SCALE
void on_preferred_scale(void*, wp_fractional_scale_v1*, uint32_t scale) {
    g_wl.win.fractional_scale = (int)scale;
    wl_scale_fit_window();
}
const wp_fractional_scale_v1_listener k_fractional_listener = {on_preferred_scale};
#endif

bool fractional_in_force() {
    const WlWindow& w = g_wl.win;
    return w.viewport && w.fractional_scale > 0;
}

// A buffer scale needs version 3 of the surface.
bool buffer_scale_known() {
    return wl_surface_get_version(g_wl.win.top.surface) >= 3;
}

int scale_in_force() {
    const WlWindow& w = g_wl.win;
    if (fractional_in_force()) return w.fractional_scale;
    if (!buffer_scale_known()) return WL_SCALE_ONE;
    if (w.preferred_scale > 0) return w.preferred_scale * WL_SCALE_ONE;
    int largest = 0;
    for (wl_output* output : w.entered)
        if (const WlOutput* o = output_of(output)) largest = std::max(largest, o->scale);
    return (largest > 0 ? largest : 1) * WL_SCALE_ONE;
}

// Rounded half away from zero, as the fractional-scale protocol asks.
int scaled(int logical, int scale) {
    return (logical * scale + WL_SCALE_ONE / 2) / WL_SCALE_ONE;
}

} // namespace

void wl_output_add(wl_registry* registry, uint32_t name, uint32_t version) {
    // Version 2 has the scale and the done event that ends a change.
    WlOutput o;
    o.output = static_cast<wl_output*>(
        wl_registry_bind(registry, name, &wl_output_interface, version < 2 ? version : 2));
    o.name = name;
    wl_output_add_listener(o.output, output_listener(), nullptr);
    g_wl.outputs.push_back(o);
}

void wl_output_remove(uint32_t name) {
    for (auto it = g_wl.outputs.begin(); it != g_wl.outputs.end(); ++it) {
        if (it->name != name) continue;
        wl_output* output = it->output;
        forget_entered(output);
        g_wl.outputs.erase(it);
        wl_output_destroy(output);
        wl_scale_fit_window();
        return;
    }
}

void wl_scale_watch_window() {
    WlWindow& w = g_wl.win;
    wl_surface_add_listener(w.top.surface, surface_listener(), nullptr);
#ifdef CRANE_FRACTIONAL_SCALE
    if (g_wl.fractional_manager && g_wl.viewporter) {
        w.viewport = wp_viewporter_get_viewport(g_wl.viewporter, w.top.surface);
        w.fractional = wp_fractional_scale_manager_v1_get_fractional_scale(g_wl.fractional_manager,
                                                                           w.top.surface);
        wp_fractional_scale_v1_add_listener(w.fractional, &k_fractional_listener, nullptr);
    }
#endif
}

void wl_scale_release_window() {
    WlWindow& w = g_wl.win;
#ifdef CRANE_FRACTIONAL_SCALE
    if (w.fractional) wp_fractional_scale_v1_destroy(w.fractional);
#endif
    if (w.viewport) wp_viewport_destroy(w.viewport);
    w.fractional = nullptr;
    w.viewport = nullptr;
    w.entered.clear();
}

void wl_scale_fit_window() {
    WlWindow& w = g_wl.win;
    if (!w.top.surface) return;
    int scale = scale_in_force();
    if (scale != w.scale) {
        w.scale = scale;
        w.scale_to_commit = true;
    }
    int width = scaled(w.top.width, scale), height = scaled(w.top.height, scale);
    if (width == w.buffer_width && height == w.buffer_height) return;
    w.buffer_width = width;
    w.buffer_height = height;
    w.scale_to_commit = true; // a viewport's destination follows the logical size
    if (w.egl_window) wl_egl_window_resize(w.egl_window, width, height, 0, 0);
    wl_push(PLAT_EV_RESIZED, width, height);
}

void wl_scale_before_commit() {
    // Set only with the frame of the new size: a buffer scale that does not divide the buffer
    // committed with it is an error.
    WlWindow& w = g_wl.win;
    if (!w.scale_to_commit || !w.top.surface) return;
    w.scale_to_commit = false;
    bool fractional = fractional_in_force();
    if (w.viewport) {
        if (fractional)
            wp_viewport_set_destination(w.viewport, w.top.width, w.top.height);
        else
            wp_viewport_set_destination(w.viewport, -1, -1);
    }
    if (buffer_scale_known())
        wl_surface_set_buffer_scale(w.top.surface, fractional ? 1 : w.scale / WL_SCALE_ONE);
}

int wl_to_buffer(wl_fixed_t position) {
    // Truncated as wl_fixed_to_int truncates, so that at scale 1 positions are what they were.
    return (int)((int64_t)position * g_wl.win.scale / (WL_SCALE_ONE * 256));
}
