// The platform's own modal box: the caption, the text and one OK button over the owner.
#include "toolkit/win32/win32.h"

int win32_message_box(TkHandle owner, const char* text, const char* caption) {
    return MessageBoxA(win32_hwnd(owner), text ? text : "", caption ? caption : "", MB_OK) != 0;
}
