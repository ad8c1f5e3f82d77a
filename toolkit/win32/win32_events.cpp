// The window procedure and the message queue. Messages become the toolkit's events one for
// one (WM_MOVE, WM_SIZE, WM_PAINT, WM_CLOSE, WM_DESTROY, WM_KEYDOWN, WM_CHAR, mouse messages,
// WM_ACTIVATE, WM_PALETTECHANGED, WM_USER); what the toolkit leaves to the default handling
// goes to DefWindowProc with the message it came from.
#include "toolkit/win32/win32.h"

#include <windowsx.h>

namespace {

// The message being handled; a nested one (DestroyWindow sends WM_DESTROY while WM_CLOSE is
// handled) stacks on the outer.
struct Handling {
    const PlatEvent* event;
    HWND window;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    bool defaulted;
    LRESULT result;
};

Handling* g_handling = nullptr;
MSG g_taken = {}; // the message get_event took last, for dispatch_event

LRESULT default_handling(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return g_win32.wide ? DefWindowProcW(window, message, wparam, lparam)
                        : DefWindowProcA(window, message, wparam, lparam);
}

int button_event(UINT message, int* kind) {
    switch (message) {
    case WM_LBUTTONDOWN:
        *kind = PLAT_EV_BUTTON_DOWN;
        return PLAT_MB_LEFT;
    case WM_RBUTTONDOWN:
        *kind = PLAT_EV_BUTTON_DOWN;
        return PLAT_MB_RIGHT;
    case WM_MBUTTONDOWN:
        *kind = PLAT_EV_BUTTON_DOWN;
        return PLAT_MB_MIDDLE;
    case WM_LBUTTONUP:
        *kind = PLAT_EV_BUTTON_UP;
        return PLAT_MB_LEFT;
    case WM_RBUTTONUP:
        *kind = PLAT_EV_BUTTON_UP;
        return PLAT_MB_RIGHT;
    case WM_MBUTTONUP:
        *kind = PLAT_EV_BUTTON_UP;
        return PLAT_MB_MIDDLE;
    }
    *kind = PLAT_EV_NONE;
    return 0;
}

// The toolkit's event for a message; kind PLAT_EV_NONE for one it has no use for.
PlatEvent to_event(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    PlatEvent e = {};
    e.window = win32_handle(window);
    switch (message) {
    case WM_MOVE:
        e.kind = PLAT_EV_MOVED;
        e.a = GET_X_LPARAM(lparam);
        e.b = GET_Y_LPARAM(lparam);
        break;
    case WM_SIZE:
        e.kind = PLAT_EV_RESIZED;
        e.a = LOWORD(lparam);
        e.b = HIWORD(lparam);
        break;
    case WM_PAINT:
        e.kind = PLAT_EV_REPAINT;
        break;
    case WM_CLOSE:
        e.kind = PLAT_EV_CLOSE_REQUEST;
        break;
    case WM_DESTROY:
        e.kind = PLAT_EV_DESTROYED;
        break;
    case WM_KEYDOWN:
        // Platform key ids are the virtual-key codes.
        e.kind = PLAT_EV_KEY_PRESSED;
        e.a = static_cast<int>(wparam);
        break;
    case WM_CHAR:
        e.kind = PLAT_EV_CHAR_TYPED;
        e.a = static_cast<int>(wparam);
        break;
    case WM_MOUSEMOVE:
        e.kind = PLAT_EV_MOUSE_MOVED;
        e.a = GET_X_LPARAM(lparam);
        e.b = GET_Y_LPARAM(lparam);
        e.c = static_cast<int>(wparam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON));
        break;
    case WM_ACTIVATE:
        e.kind = PLAT_EV_ACTIVATE;
        e.a = LOWORD(wparam) != WA_INACTIVE;
        e.b = HIWORD(wparam) != 0;
        break;
    case WM_PALETTECHANGED:
        e.kind = PLAT_EV_PALETTE_CHANGED;
        e.other = static_cast<TkHandle>(wparam);
        break;
    case WM_USER:
        e.kind = PLAT_EV_USER_REFRESH;
        break;
    default:
        e.c = button_event(message, &e.kind);
        if (e.kind != PLAT_EV_NONE) {
            e.a = GET_X_LPARAM(lparam);
            e.b = GET_Y_LPARAM(lparam);
        }
        break;
    }
    return e;
}

} // namespace

LRESULT CALLBACK win32_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    const PlatEvent e = to_event(window, message, wparam, lparam);
    if (e.kind == PLAT_EV_NONE || !g_win32.proc)
        return default_handling(window, message, wparam, lparam);
    Handling handling = {&e, window, message, wparam, lparam, false, 0};
    Handling* outer = g_handling;
    g_handling = &handling;
    g_win32.proc(&e);
    g_handling = outer;
    return handling.defaulted ? handling.result : 0;
}

int win32_default_event(const PlatEvent* event) {
    Handling* h = g_handling;
    if (!h || h->event != event) return 0;
    h->result = default_handling(h->window, h->message, h->wparam, h->lparam);
    h->defaulted = true;
    return 1;
}

// ---- The queue -----------------------------------------------------------------------------

int win32_peek_event(int kind, TkHandle window) {
    MSG m;
    if (kind == 0) return PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE) != 0;
    const UINT message = kind == PLAT_EV_REPAINT        ? WM_PAINT
                         : kind == PLAT_EV_USER_REFRESH ? WM_USER
                                                        : 0;
    if (!message || !window) return 0;
    return PeekMessageA(&m, win32_hwnd(window), message, message, PM_NOREMOVE) != 0;
}

int win32_get_event(PlatEvent* event) {
    const BOOL got =
        g_win32.wide ? GetMessageW(&g_taken, nullptr, 0, 0) : GetMessageA(&g_taken, nullptr, 0, 0);
    if (got == 0) {
        *event = PlatEvent{};
        event->kind = PLAT_EV_QUIT;
        event->a = static_cast<int>(g_taken.wParam);
        return 0;
    }
    if (got < 0) {
        // Nothing was taken; the loop looks again.
        g_taken = MSG{};
        *event = PlatEvent{};
        return 1;
    }
    // Key presses also queue the characters they type.
    TranslateMessage(&g_taken);
    *event = to_event(g_taken.hwnd, g_taken.message, g_taken.wParam, g_taken.lParam);
    return 1;
}

int win32_dispatch_event(const PlatEvent*) {
    if (g_taken.message == 0 && g_taken.hwnd == nullptr) return 0;
    return static_cast<int>(g_win32.wide ? DispatchMessageW(&g_taken) : DispatchMessageA(&g_taken));
}

void win32_post_quit(int code) {
    PostQuitMessage(code);
}

int win32_post_user_refresh(TkHandle window) {
    return PostMessageA(win32_hwnd(window), WM_USER, 0, 0) != 0;
}

// ---- Painting ------------------------------------------------------------------------------

int win32_invalidate(TkHandle window) {
    return InvalidateRect(win32_hwnd(window), nullptr, FALSE) != 0;
}

void win32_begin_paint(TkHandle window) {
    BeginPaint(win32_hwnd(window), &g_win32.paint);
}

void win32_end_paint(TkHandle window) {
    EndPaint(win32_hwnd(window), &g_win32.paint);
}
