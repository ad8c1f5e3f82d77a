#include "toolkit/pixel_format.h"

#include <cstdlib>

namespace {

// Far more than any difference in bits, so that a missing buffer always outweighs a size.
const long kMismatch = 1000;

long presence_cost(int want, int have) {
    if ((want > 0) != (have > 0)) return kMismatch;
    return std::abs(want - have);
}

bool qualifies(const PlatPixelFormat& f, const PlatPixelFormat& r) {
    const uint32_t window_gl = PLAT_PFD_DRAW_TO_WINDOW | PLAT_PFD_SUPPORT_OPENGL;
    return (f.flags & window_gl) == window_gl && f.layer_type == PLAT_PFD_MAIN_PLANE &&
           f.pixel_type == r.pixel_type &&
           (f.flags & PLAT_PFD_DOUBLEBUFFER) == (r.flags & PLAT_PFD_DOUBLEBUFFER) &&
           f.depth_bits > 0;
}

// Windows lists Microsoft's generic software formats beside a driver's: where both fit alike,
// the driver's must win whatever order the list has.
bool accelerated(const PlatPixelFormat& f) {
    return !(f.flags & PLAT_PFD_GENERIC_FORMAT) || (f.flags & PLAT_PFD_GENERIC_ACCELERATED);
}

} // namespace

int pixel_format_match(const PlatPixelFormat* request, const PlatPixelFormat* candidates,
                       int count) {
    if (!request || !candidates) return 0;
    const PlatPixelFormat& r = *request;
    const int depth = r.depth_bits > 0 ? r.depth_bits : PIXEL_FORMAT_DEFAULT_DEPTH_BITS;
    int best = 0;
    long best_cost = 0;
    bool best_accelerated = false;
    for (int i = 0; i < count; ++i) {
        const PlatPixelFormat& f = candidates[i];
        if (!qualifies(f, r)) continue;
        long cost = std::abs(f.color_bits - r.color_bits) + std::abs(f.depth_bits - depth);
        cost += presence_cost(r.alpha_bits, f.alpha_bits);
        cost += presence_cost(r.accum_bits, f.accum_bits);
        cost += presence_cost(r.stencil_bits, f.stencil_bits);
        cost += f.aux_buffers;
        if (f.flags & PLAT_PFD_STEREO) cost += kMismatch;
        const bool fast = accelerated(f);
        if (best == 0 || cost < best_cost || (cost == best_cost && fast && !best_accelerated)) {
            best = i + 1;
            best_cost = cost;
            best_accelerated = fast;
        }
    }
    return best;
}
