// A small program that uses the toolkit like the application does, but asks for a pixel
// format that does not exist, so that the opening fails with an error box on the display.
// Ends with status 1 once the box is dismissed and the open has failed.
#include "toolkit/tk.h"

int main() {
    tk_set_display_mode(TK_MODE_DOUBLE);
    tk_set_window_rect(0, 0, 320, 200);
    tk_set_pixel_format_rule(TK_FORMAT_RULE_INDEX);
    tk_set_pixel_format_index(100000);
    return tk_open_window("error box") ? 0 : 1;
}
