// The program's spine: start-up, the one-time render state, the key, resize and idle
// callbacks, and the globals they share with the timeline and the scene.
#pragma once

#include <cstdint>

extern int32_t g_frame;
extern double g_last_report_ms;
extern int32_t g_use_variant2;
extern int32_t g_dark_background;
extern const float g_white[4];
extern const float g_black[4];
extern const float g_headlight_colour[4];
extern float g_lift_step;

// Static-initialisation priority of the lift step: after the models and the spring.
#define CRANE_INIT_LIFT_STEP 1200

// The whole program between the static globals and exit: opens the window, sets up GL and
// runs the loop. 0 when the window was closed, 1 when it could not be opened.
int app_main(int argc, char** argv);

void init_lift_step();
void init_render_state();
void toggle_model_variant();
void toggle_background();
void on_reshape(int width, int height);
void on_idle();
double clock_ms();

extern const char* const k_window_title;
