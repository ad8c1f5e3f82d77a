// A small program on the toolkit that writes every key code the window layer delivers, with its
// status, as "key CODE STATUS" lines on standard output, and every pointer event as "down|up|move
// X Y BUTTONS", so that a test sees what real input becomes. Escape ends it with status 0.
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "toolkit/tk.h"
#include "toolkit/tk_window.h"

namespace {

int echo(int key, int status) {
    printf("key %d %d\n", key, status);
    fflush(stdout);
    if (key == TK_KEY_ESCAPE) exit(0);
    return 0;
}

int echo_pointer(const char* what, int x, int y, int buttons) {
    printf("%s %d %d %d\n", what, x, y, buttons);
    fflush(stdout);
    return 0;
}
int echo_down(int x, int y, int buttons) {
    return echo_pointer("down", x, y, buttons);
}
int echo_up(int x, int y, int buttons) {
    return echo_pointer("up", x, y, buttons);
}
int echo_move(int x, int y, int buttons) {
    return echo_pointer("move", x, y, buttons);
}

void paint() {
    glClear(GL_COLOR_BUFFER_BIT);
    tk_swap_buffers();
}

} // namespace

int main() {
    tk_set_display_mode(TK_MODE_DOUBLE);
    tk_set_window_rect(0, 0, 200, 100);
    if (!tk_open_window("key echo")) return 1;
    tk_win_on_key(echo);
    tk_win_on_mouse_down(echo_down);
    tk_win_on_mouse_up(echo_up);
    tk_win_on_mouse_move(echo_move);
    // No idle handler: the loop waits for events, and a held key's repeats must wake it.
    tk_run(paint);
    return 0;
}
