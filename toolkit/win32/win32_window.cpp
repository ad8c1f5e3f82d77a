// The toolkit's top-level window, its device context and the input state it asks about.
#include "toolkit/win32/win32.h"

namespace {

const DWORD k_style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;

} // namespace

TkHandle win32_create_window(const char* title, const wchar_t* wide_title, int x, int y, int width,
                             int height, int default_position) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (default_position) x = y = CW_USEDEFAULT;
    HWND window = nullptr;
    if (wide_title)
        window = CreateWindowExW(0, WIN32_CLASS_NAME_WIDE, wide_title, k_style, x, y, width, height,
                                 nullptr, nullptr, instance, nullptr);
    else
        window = CreateWindowExA(0, WIN32_CLASS_NAME, title ? title : "", k_style, x, y, width,
                                 height, nullptr, nullptr, instance, nullptr);
    return win32_handle(window);
}

int win32_destroy_window(TkHandle window) {
    return DestroyWindow(win32_hwnd(window)) != 0;
}

int win32_get_window_rect(TkHandle window, PlatRect* rect) {
    RECT r = {};
    if (!GetWindowRect(win32_hwnd(window), &r)) return 0;
    *rect = PlatRect{r.left, r.top, r.right, r.bottom};
    return 1;
}

int win32_get_client_rect(TkHandle window, PlatRect* rect) {
    RECT r = {};
    if (!GetClientRect(win32_hwnd(window), &r)) return 0;
    *rect = PlatRect{r.left, r.top, r.right, r.bottom};
    return 1;
}

int win32_show_window(TkHandle window) {
    ShowWindow(win32_hwnd(window), SW_SHOWDEFAULT);
    return 1;
}

TkHandle win32_get_dc(TkHandle window) {
    return win32_handle(GetDC(win32_hwnd(window)));
}

int win32_release_dc(TkHandle window, TkHandle dc) {
    return ReleaseDC(win32_hwnd(window), win32_hdc(dc)) != 0;
}

// ---- Input ---------------------------------------------------------------------------------

int win32_key_held(int key) {
    // The platform's key ids are its virtual-key codes.
    return (GetKeyState(key) & 0x8000) != 0;
}

void win32_capture_mouse(TkHandle window) {
    SetCapture(win32_hwnd(window));
}

void win32_release_mouse() {
    ReleaseCapture();
}

int win32_get_cursor_pos(int* x, int* y) {
    POINT p = {};
    if (!GetCursorPos(&p)) return 0;
    *x = p.x;
    *y = p.y;
    return 1;
}

TkHandle win32_get_focus() {
    return win32_handle(GetFocus());
}
