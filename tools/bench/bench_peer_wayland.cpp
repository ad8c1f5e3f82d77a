// The same scene, timeline and models in a GLFW window on Wayland: the usual way such a program
// is written there, to compare the toolkit's Wayland loop and swap path against. Benchmark only.
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>

#include "app/main.h"
#include "app/timeline.h"
#include "mesh/catalogue.h"
#include "toolkit/platform.h"

namespace {

GLFWwindow* s_window = nullptr;

void on_key(GLFWwindow*, int key, int, int action, int mods) {
    if (action == GLFW_RELEASE || (mods & GLFW_MOD_SHIFT)) return;
    switch (key) {
    case GLFW_KEY_P:
        toggle_model_variant();
        break;
    case GLFW_KEY_O:
        toggle_points_mode();
        break;
    case GLFW_KEY_I:
        toggle_background();
        break;
    case GLFW_KEY_ESCAPE:
        std::exit(0);
    default:
        return;
    }
    draw_frame();
}

void on_resize(GLFWwindow*, int width, int height) {
    on_reshape(width, height);
    draw_frame();
}

} // namespace

// draw_frame presents through the toolkit, whose platform here is GLFW's window: a table with
// the swap alone, the only operation the drawing calls.
int plat_select(PlatTable* table) {
    *table = PlatTable{};
    table->swap_buffers = [](TkHandle) {
        glfwSwapBuffers(s_window);
        return 1;
    };
    return 1;
}

int main() {
    if (!glfwInit()) {
        fprintf(stderr, "bench-peer-wayland: GLFW found no window system\n");
        return 1;
    }
    // What the toolkit asks for: 24 colour bits, no alpha, a depth buffer, double buffering.
    glfwWindowHint(GLFW_ALPHA_BITS, 0);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    glfwWindowHint(GLFW_DEPTH_BITS, 24);
    s_window = glfwCreateWindow(632, 425, k_window_title, nullptr, nullptr);
    if (!s_window) {
        fprintf(stderr, "bench-peer-wayland: no window\n");
        return 1;
    }
    glfwMakeContextCurrent(s_window);
    glfwSwapInterval(0);
    // The state the toolkit leaves in a fresh window, then the program's own.
    glClearColor(0, 0, 0, 1);
    glLoadIdentity();
    init_render_state();
    glfwSetKeyCallback(s_window, on_key);
    glfwSetFramebufferSizeCallback(s_window, on_resize);
    int width = 0, height = 0;
    glfwGetFramebufferSize(s_window, &width, &height);
    on_reshape(width, height);
    while (!glfwWindowShouldClose(s_window)) {
        glfwPollEvents();
        on_idle();
    }
    return 0;
}
