// The Win32 backend: the platform's own window manager, GDI, WGL and registry, which the
// toolkit's rules were written for, so that each operation is the call of the same name. Its
// operations are defined as win32_<operation> in the file of their group:
//  - win32_connection.cpp: the window class, version, metrics, process operations, and filling
//    the platform table.
//  - win32_window.cpp: the top-level window, its device context, input state queries.
//  - win32_formats.cpp: pixel formats (DescribePixelFormat), WGL contexts, SwapBuffers.
//  - win32_events.cpp: the window procedure, the message queue and painting.
//  - win32_palette.cpp: logical palettes, the system palette, system colours, the registry.
//  - win32_message_box.cpp: MessageBoxA.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "toolkit/platform.h"

struct Win32State {
    PlatEventProc proc = nullptr;
    bool wide = false;      // the class was registered with wide text
    PAINTSTRUCT paint = {}; // of the repaint between BeginPaint and EndPaint
};

extern Win32State g_win32;

// The window class's name, and its icon in the program's resources.
#define WIN32_CLASS_NAME "tkLibWClass"
#define WIN32_CLASS_NAME_WIDE L"tkLibWClass"
#define WIN32_ICON_RESOURCE "CRANE"

// The window procedure of the class (win32_events.cpp).
LRESULT CALLBACK win32_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Fills table with this backend's operations; non-zero always, as the platform is there.
int win32_platform_init(PlatTable* table);

#define WIN32_DECLARE(result, name, parameters) result win32_##name parameters;
PLAT_OPERATIONS(WIN32_DECLARE)
#undef WIN32_DECLARE

inline HWND win32_hwnd(TkHandle h) {
    return reinterpret_cast<HWND>(h);
}
inline HDC win32_hdc(TkHandle h) {
    return reinterpret_cast<HDC>(h);
}
inline TkHandle win32_handle(const void* h) {
    return reinterpret_cast<TkHandle>(h);
}
