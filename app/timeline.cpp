#include "app/timeline.h"

#include <GL/gl.h>

#include "app/main.h"
#include "app/scene.h"
#include "spring/spring.h"
#include "toolkit/tk.h"

double g_crane_lift = 0.0;
int32_t g_crane_angle = 0;
float g_jaw_angle = -60.0f;
int32_t g_stone_visible = 0;
double g_stone_drop = 0.0;
double g_truck_z = 0.0;

double lower_crane() {
    g_crane_lift = g_crane_lift - g_lift_step;
    return g_crane_lift;
}

double raise_crane() {
    g_crane_lift = g_crane_lift + g_lift_step;
    return g_crane_lift;
}

int32_t next_crane_angle() {
    g_crane_angle = g_crane_angle == 359 ? 0 : g_crane_angle + 1;
    return g_crane_angle;
}

double drop_stone() {
    if (g_stone_drop > 20.0)
        g_stone_drop = 20.0;
    else
        g_stone_drop = g_stone_drop + 0.3;
    return g_stone_drop;
}

double advance_truck() {
    g_truck_z = g_truck_z + 0.3;
    return g_truck_z;
}

namespace {

// Where a frame falls on a track: the phase it is in (the phase count once past the last
// one) and whether it is that phase's first frame, where the phase's event runs.
struct TrackPosition {
    int phase;
    bool first_frame;
};

// Phase lengths of each track, consecutive from frame 0.
const int32_t k_load_phases[] = {75, 50, 35, 450, 50};
const int32_t k_crane_phases[] = {75, 50, 75, 150, 180, 300, 180};
const int32_t k_truck_phases[] = {275, 300, 300};

template <int N> TrackPosition locate(const int32_t (&lengths)[N], int32_t frame) {
    int32_t start = 0;
    for (int phase = 0; phase < N; ++phase) {
        if (frame < start + lengths[phase]) return TrackPosition{phase, frame == start};
        start += lengths[phase];
    }
    return TrackPosition{N, frame == start};
}

void release_spring(float gain, double share) {
    g_spring.spread_gain = gain;
    g_spring.amplitude_gain = gain;
    g_spring.release(float((4.0 - double(g_spring.length)) * double(g_spring.scale) * share));
}

void turn_crane() {
    glRotatef(float(g_crane_angle), 0.0f, -1.0f, 0.0f);
}

void lift_crane() {
    glTranslatef(0.0f, float(g_crane_lift), 0.0f);
}

} // namespace

void run_load_track(int32_t frame) {
    TrackPosition at = locate(k_load_phases, frame);
    switch (at.phase) {
    case 1: // the jaws close on the stone
        if (at.first_frame) g_jaw_angle = -15.0f;
        break;
    case 2: // the spring stretches by the crane's rise, so its lower end stays put
        g_spring.length = float(double(g_spring.length) + double(g_lift_step) / g_spring.scale);
        break;
    case 3: // first release; the stone hangs from here on
        if (at.first_frame) {
            release_spring(0.5f, 0.5);
            g_stone_visible = 1;
        }
        break;
    case 4: // second release: the jaws open and the stone falls
        if (at.first_frame) {
            release_spring(1.0f, 1.0);
            g_jaw_angle = -60.0f;
        }
        drop_stone();
        break;
    case 5:
        if (at.first_frame) g_stone_visible = 0;
        break;
    default:
        break;
    }
}

void run_crane_track(int32_t frame) {
    TrackPosition at = locate(k_crane_phases, frame);
    switch (at.phase) {
    case 0:
        lower_crane();
        lift_crane();
        break;
    case 1:
        lift_crane();
        break;
    case 2:
        raise_crane();
        lift_crane();
        break;
    case 4:
    case 6:
        next_crane_angle();
        turn_crane();
        break;
    case 5:
        turn_crane();
        break;
    default:
        break;
    }
}

void run_truck_track(int32_t frame) {
    TrackPosition at = locate(k_truck_phases, frame);
    switch (at.phase) {
    case 1: // drives towards the viewer
        if (at.first_frame) g_truck_z = 0.0;
        advance_truck();
        break;
    case 2: // jumps behind the scene and drives back to its resting place
        if (at.first_frame) g_truck_z = -g_truck_z;
        if (g_truck_z < 0.0) advance_truck();
        break;
    case 3:
        g_truck_z = 0.0;
        break;
    default:
        break;
    }
}

namespace {
const float k_light1_position[4] = {26.0f, 25.0f, 8.0f, 1.0f};
const float k_light0_position[4] = {-26.0f, 25.0f, 8.0f, 1.0f};
} // namespace

void draw_frame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Under the viewing transform: both overhead lights stay fixed in the scene.
    glLightfv(GL_LIGHT1, GL_POSITION, k_light1_position);
    glLightfv(GL_LIGHT0, GL_POSITION, k_light0_position);
    glEnable(GL_LIGHTING);
    glPushMatrix();
    draw_scenery();
    run_load_track(g_frame);
    glPushMatrix();
    run_crane_track(g_frame);
    draw_crane();
    glPopMatrix();
    run_truck_track(g_frame);
    glTranslatef(0.0f, 0.0f, float(g_truck_z));
    draw_truck();
    glPopMatrix();
    glFlush();
    tk_swap_buffers();
}
