// The palette group of the platform table for a true-colour device (the headless surface, a
// Wayland surface): no palettes, a fixed table of the classic system colours, no registry.
#pragma once

#include "toolkit/platform.h"

#define TRUE_COLOUR_DECLARE(result, name, parameters) result true_colour_##name parameters;
PLAT_PALETTE_OPERATIONS(TRUE_COLOUR_DECLARE)
#undef TRUE_COLOUR_DECLARE

// Fills the palette members of the table with the operations above.
void true_colour_fill_palette_operations(PlatTable* table);
