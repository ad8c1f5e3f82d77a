// The scripted animation: three tracks of fixed-length phases driven by g_frame, and the
// drawing of one frame.
#pragma once

#include <cstdint>

extern double g_crane_lift;
extern int32_t g_crane_angle;
extern float g_jaw_angle;
extern int32_t g_stone_visible;
extern double g_stone_drop;
extern double g_truck_z;

double lower_crane();
double raise_crane();
int32_t next_crane_angle();
double drop_stone();
double advance_truck();

// One track's steps and events for `frame`. Track B also applies the crane's transform.
void run_load_track(int32_t frame);  // track A: jaws, spring, stone
void run_crane_track(int32_t frame); // track B: lift and turn
void run_truck_track(int32_t frame); // track C: the truck's drive

// Draws the frame g_frame; a repeated call runs the same frame's steps again.
void draw_frame();
