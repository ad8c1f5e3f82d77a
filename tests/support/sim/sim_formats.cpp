// Simulated pixel formats and GL contexts: formats a test offers, choices it dictates.
#include "tests/support/sim/sim.h"

#include "toolkit/pixel_format.h"

// ---- Pixel formats and GL contexts -------------------------------------------------------

int sim_choose_pixel_format(TkHandle dc, const PlatPixelFormat* request) {
    if (sim_call("choose_pixel_format %lu %u %d %d %d %d %d %d", (unsigned long)dc, request->flags,
                 request->pixel_type, request->color_bits, request->alpha_bits, request->accum_bits,
                 request->depth_bits, request->stencil_bits))
        return 0;
    if (sim.choose_result >= 0) return sim.choose_result;
    if (sim.choose_result == SIM_CHOOSE_MATCH)
        return pixel_format_match(request, sim.formats.data(), (int)sim.formats.size());
    for (size_t i = 0; i < sim.formats.size(); ++i) {
        uint32_t need = PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL;
        if ((sim.formats[i].flags & need) == need) return (int)i + 1;
    }
    return 0;
}

int sim_describe_pixel_format(TkHandle dc, int index, PlatPixelFormat* out) {
    if (sim_call("describe_pixel_format %lu %d", (unsigned long)dc, index)) return 0;
    if (out) {
        if (index == sim.describe_fails_at) return 0;
        if (index < 1 || index > (int)sim.formats.size()) return 0;
        *out = sim.formats[index - 1];
    }
    return (int)sim.formats.size();
}

int sim_get_pixel_format(TkHandle dc) {
    if (sim_call("get_pixel_format %lu", (unsigned long)dc)) return 0;
    return sim.current_format;
}

int sim_set_pixel_format(TkHandle dc, int index, const PlatPixelFormat* format) {
    if (sim_call("set_pixel_format %lu %d %u %d %d", (unsigned long)dc, index, format->flags,
                 format->pixel_type, format->color_bits))
        return 0;
    sim.current_format = index;
    return 1;
}

TkHandle sim_gl_create_context(TkHandle dc) {
    if (sim_call("gl_create_context %lu", (unsigned long)dc)) return 0;
    sim.gl_context = sim.next_handle++;
    return sim.gl_context;
}

int sim_gl_make_current(TkHandle dc, TkHandle context) {
    if (sim_call("gl_make_current %lu %lu", (unsigned long)dc, (unsigned long)context)) return 0;
    sim.current_context = context;
    return 1;
}

int sim_gl_delete_context(TkHandle context) {
    if (sim_call("gl_delete_context %lu", (unsigned long)context)) return 0;
    if (context == sim.gl_context) sim.gl_context = 0;
    return 1;
}

int sim_swap_buffers(TkHandle dc) {
    if (sim_call("swap_buffers %lu", (unsigned long)dc)) return 0;
    ++sim.swaps;
    return 1;
}
