// Palettes and system colours for palette devices; what the window layer calls of them.
#pragma once

#include "toolkit/platform.h"
#include "toolkit/tk.h"

// Made once right after the pixel format is set; makes a palette only for an RGBA format that
// needs one. Returns the palette (stored in g_tk_win.palette) or 0.
TkHandle tk_make_rgb_palette(TkHandle dc);

// Activation events: returns non-zero when handled, 0 when the default handling must follow.
int tk_palette_on_activate(const PlatEvent* event);
// Another window changed the system palette.
void tk_palette_on_palette_changed(const PlatEvent* event);
// The private palette-refresh request.
void tk_palette_on_refresh(const PlatEvent* event);

// Teardown: gives the system palette and colours back and deletes the palette. The caller
// clears the handle afterwards.
void tk_palette_release();

// Number of system colour slots replaced while the system palette is held (21 or 25).
void tk_set_system_color_count(int count);
int tk_get_system_color_count();

// The colour-index palette, made on first use by the colour-map operations.
TkHandle tk_make_index_palette(TkHandle dc);
// Fills count entries from the format's channel layout (with the fixed entries of a 3-3-2
// layout, or the no-collapse marks of a full palette, when count is 256).
void tk_fill_ramp(const PlatPixelFormat* format, PlatPaletteEntry* entries, int count);
// Number of entries the platform remapped, -1 on failure.
int tk_realize_palette(TkHandle dc, TkHandle palette, bool background);
bool tk_grab_system_colors(TkHandle dc);
bool tk_restore_system_colors(TkHandle dc);
// The user's colours from the registry, where it has them; false when the key cannot be opened.
bool tk_read_user_colors(PlatColor* colors, int count);
// Posts the private refresh request to the window unless one is already queued.
void tk_request_palette_refresh();

// The full-palette flag of the current palette and whether the system colours are held.
bool tk_palette_is_full();
bool tk_system_colors_taken();
