// Choosing a pixel format, the same way on every backend: a backend lists and describes its
// formats, and this matcher picks the one closest to the request.
#pragma once

#include "toolkit/platform.h"

// The depth buffer a request without one is matched against. The application enables depth
// testing even under a mode that asks for no depth buffer, so "let the platform choose" always
// gets one: candidates without a depth buffer are never chosen.
enum { PIXEL_FORMAT_DEFAULT_DEPTH_BITS = 24 };

// The index (from 1) of the candidate closest to request, 0 when none qualifies. A candidate
// qualifies when it draws to a window with OpenGL in the main plane, has the requested pixel
// type and buffering, and has a depth buffer. Among those the cost is the difference in colour
// bits and in depth bits, plus a large penalty for an alpha, accumulation or stencil buffer
// present on one side only (and the difference in their bits), plus the auxiliary buffers, plus
// a large penalty for stereo. Of the candidates of the lowest cost an accelerated one wins (not
// the generic software format, unless a driver accelerates it), then the first.
int pixel_format_match(const PlatPixelFormat* request, const PlatPixelFormat* candidates,
                       int count);
