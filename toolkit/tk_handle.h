// The handle type the toolkit's interface and the platform layer under it share.
#pragma once

#include <cstdint>

// Opaque window-system handles (an X window id, a pointer, ...); 0 means none.
typedef uintptr_t TkHandle;
