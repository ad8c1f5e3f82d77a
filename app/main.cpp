#include "app/main.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <ctime>

#include "app/pace.h"
#include "app/timeline.h"
#include "mesh/catalogue.h"
#include "spring/spring.h"
#include "toolkit/tk.h"

int32_t g_frame = 0;
double g_last_report_ms = 0.0;
int32_t g_use_variant2 = 1;
int32_t g_dark_background = 1;
const float g_white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float g_black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
const float g_headlight_colour[4] = {1.0f, 1.0f, 0.5f, 1.0f};
float g_lift_step = 0.0f;

const char* const k_window_title = "Creado por: Velmora                    TARVENIL.";

void init_lift_step() {
    g_lift_step = float((15.0 - double(g_spring.length)) / 75.0);
}

namespace {

// Runs init_lift_step during static initialisation, once the spring exists.
struct LiftStepInit {
    LiftStepInit() { init_lift_step(); }
};
LiftStepInit s_lift_step_init __attribute__((init_priority(CRANE_INIT_LIFT_STEP)));

const float k_light0_diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float k_light1_diffuse[4] = {0.9f, 0.9f, 1.0f, 1.0f};
const float k_light2_diffuse[4] = {0.45f, 0.3f, 0.1f, 1.0f};
const float k_headlight_direction[3] = {0.0f, -0.3f, 1.0f};

void set_headlight(GLenum light) {
    glLightfv(light, GL_AMBIENT, g_black);
    glLightfv(light, GL_DIFFUSE, g_headlight_colour);
    glLightfv(light, GL_SPECULAR, g_headlight_colour);
    glLightf(light, GL_SPOT_CUTOFF, 80.0f);
    glLightf(light, GL_CONSTANT_ATTENUATION, 2.0f);
    glLightf(light, GL_SPOT_EXPONENT, 128.0f);
    glLightfv(light, GL_SPOT_DIRECTION, k_headlight_direction);
    glEnable(light);
}

} // namespace

void init_render_state() {
    g_camion1.smooth_normals = 0;
    g_camion2.smooth_normals = 0;
    g_contene1.smooth_normals = 0;
    g_piedra1.smooth_normals = 0;

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
    glFrontFace(GL_CCW);

    glLightfv(GL_LIGHT0, GL_AMBIENT, g_black);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, k_light0_diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, g_white);
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 1.0f);
    glEnable(GL_LIGHT0);

    glLightfv(GL_LIGHT1, GL_AMBIENT, g_black);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, k_light1_diffuse);
    glLightfv(GL_LIGHT1, GL_SPECULAR, g_white);
    glLightf(GL_LIGHT1, GL_CONSTANT_ATTENUATION, 2.6f);
    glEnable(GL_LIGHT1);

    // Light 2 stays off: the truck switches it on around the one model it lights.
    glLightfv(GL_LIGHT2, GL_AMBIENT, g_black);
    glLightfv(GL_LIGHT2, GL_DIFFUSE, k_light2_diffuse);
    glLightfv(GL_LIGHT2, GL_SPECULAR, g_black);

    // The spot direction is given under the identity, so it stays fixed in eye space.
    set_headlight(GL_LIGHT3);
    set_headlight(GL_LIGHT4);

    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glMaterialfv(GL_FRONT, GL_SPECULAR, g_white);
    glMaterialf(GL_FRONT, GL_SHININESS, 128.0f);

    glEnable(GL_NORMALIZE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    glEnable(GL_FOG);
    glFogf(GL_FOG_DENSITY, 0.013f);
    glFogi(GL_FOG_MODE, GL_EXP);
    glFogfv(GL_FOG_COLOR, g_black);
}

void toggle_model_variant() {
    g_use_variant2 = !g_use_variant2;
}

void toggle_background() {
    if (g_dark_background) {
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        glFogfv(GL_FOG_COLOR, g_white);
        g_dark_background = 0;
    } else {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glFogfv(GL_FOG_COLOR, g_black);
        g_dark_background = 1;
    }
}

void on_reshape(int width, int height) {
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(62.0, double(width) / double(height), 8.0, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The viewing transform: eye at (0, 13, 34) looking along -z; frames build on it.
    glTranslatef(0.0f, -13.0f, -34.0f);
}

void on_idle() {
    // With a pace, a pass before the next frame's time only waits a little and draws nothing,
    // so that the loop goes on handling events in between.
    if (g_pace.period_ns > 0 && !pace_wait(&g_pace)) return;
    if (g_frame >= 1050) {
        g_frame = 0;
        g_crane_lift = 0.0;
        g_stone_drop = 0.0;
        g_crane_angle = 0;
    } else {
        g_frame = g_frame + 1;
    }
    if (g_frame % 5 == 0) {
        double now = clock_ms();
        double rate = 5000.0 / (now - g_last_report_ms);
        std::printf("\n%.2f\tFrames por segundo.", rate);
        std::printf("\tTiempo: %d", g_frame);
        // A pipe or file must get each report at once too: Escape ends the process
        // without flushing stdio.
        std::fflush(stdout);
        g_last_report_ms = now;
    }
    draw_frame();
}

double clock_ms() {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    int32_t seconds_of_day = int32_t(now.tv_sec % 86400);
    int32_t hour = seconds_of_day / 3600;
    int32_t minute = seconds_of_day / 60 % 60;
    int32_t second = seconds_of_day % 60;
    int32_t millisecond = int32_t(now.tv_nsec / 1000000);
    int32_t ms = hour * 3600000 + minute * 60000 + second * 1000 + millisecond;
    return double(ms);
}

int app_main(int, char**) {
    tk_set_display_mode(TK_MODE_DOUBLE);
    tk_set_window_rect(0, 0, 632, 425);
    // The toolkit has already shown why the window failed; there is nothing to draw into.
    if (!tk_open_window(k_window_title)) return 1;
    init_render_state();
    tk_bind_key(112, toggle_model_variant);
    tk_bind_key(111, toggle_points_mode);
    tk_bind_key(105, toggle_background);
    tk_on_reshape(on_reshape);
    tk_on_idle(on_idle);
    tk_run(draw_frame);
    return 0;
}
