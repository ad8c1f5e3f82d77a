// The same scene, timeline and models in a freeglut window: the usual way such a program is
// written, to compare the toolkit's loop and swap path against. Benchmark only.
#include <GL/freeglut.h>

#include <cstdlib>

#include "app/main.h"
#include "app/timeline.h"
#include "mesh/catalogue.h"
#include "toolkit/platform.h"

// draw_frame presents through the toolkit, whose platform here is freeglut's window: a table
// with the swap alone, the only operation the drawing calls.
int plat_select(PlatTable* table) {
    *table = PlatTable{};
    table->swap_buffers = [](TkHandle) {
        glutSwapBuffers();
        return 1;
    };
    return 1;
}

namespace {

void on_key(unsigned char key, int, int) {
    switch (key) {
    case 'p':
        toggle_model_variant();
        break;
    case 'o':
        toggle_points_mode();
        break;
    case 'i':
        toggle_background();
        break;
    case 27:
        std::exit(0);
    default:
        return;
    }
    glutPostRedisplay();
}

} // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowPosition(0, 0);
    glutInitWindowSize(632, 425);
    glutCreateWindow(k_window_title);
    // The state the toolkit leaves in a fresh window, then the program's own.
    glClearColor(0, 0, 0, 1);
    glLoadIdentity();
    init_render_state();
    glutKeyboardFunc(on_key);
    glutReshapeFunc(on_reshape);
    glutDisplayFunc(draw_frame);
    glutIdleFunc(on_idle);
    glutMainLoop();
    return 0;
}
