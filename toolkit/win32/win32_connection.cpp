// The Win32 backend's window class, platform version, system metrics and process operations,
// and the table that makes it the platform of the programs that link it.
#include "toolkit/win32/win32.h"

#include <cstdio>

Win32State g_win32;

int win32_platform_init(PlatTable* table) {
#define WIN32_FILL(result, name, parameters) table->name = win32_##name;
    PLAT_OPERATIONS(WIN32_FILL)
#undef WIN32_FILL
    return 1;
}

// The programs that link this backend run on it alone.
int plat_select(PlatTable* table) {
    return win32_platform_init(table);
}

int win32_register_class(int wide, PlatEventProc proc) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // The program's own icon where it carries one; the standard one otherwise.
    HICON icon = LoadIconA(instance, WIN32_ICON_RESOURCE);
    if (!icon) icon = LoadIconA(nullptr, IDI_APPLICATION);
    HCURSOR cursor = LoadCursorA(nullptr, IDC_ARROW);
    HBRUSH background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    // The procedure must be known before the first message of the first window arrives.
    g_win32.proc = proc;
    // The class in the text width of the open call; both structures have the same fields.
    auto describe = [&](auto* c, auto name) {
        c->style = CS_HREDRAW | CS_VREDRAW;
        c->lpfnWndProc = win32_window_proc;
        c->hInstance = instance;
        c->hIcon = icon;
        c->hCursor = cursor;
        c->hbrBackground = background;
        c->lpszClassName = name;
    };
    WNDCLASSW wide_class = {};
    WNDCLASSA narrow_class = {};
    describe(&wide_class, WIN32_CLASS_NAME_WIDE);
    describe(&narrow_class, WIN32_CLASS_NAME);
    const ATOM atom = wide ? RegisterClassW(&wide_class) : RegisterClassA(&narrow_class);
    if (!atom) return 0;
    g_win32.wide = wide != 0;
    return 1;
}

int win32_get_version(PlatVersion* version) {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return 0;
#pragma GCC diagnostic pop
    version->platform_id = static_cast<int>(info.dwPlatformId);
    version->major = static_cast<int>(info.dwMajorVersion);
    version->minor = static_cast<int>(info.dwMinorVersion);
    return 1;
}

int win32_get_system_metric(int which) {
    return GetSystemMetrics(which);
}

int win32_adjust_window_rect(PlatRect* rect) {
    RECT r = {rect->left, rect->top, rect->right, rect->bottom};
    if (!AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE)) return 0;
    *rect = PlatRect{r.left, r.top, r.right, r.bottom};
    return 1;
}

void win32_exit_process(int status) {
    // What the program wrote must still reach its streams.
    std::fflush(nullptr);
    ExitProcess(static_cast<UINT>(status));
}

void win32_yield() {
    Sleep(0);
}
