// An opt-in pace for crane (--fps N, CRANE_FPS=N): at most N frames a second. Without it the
// program draws one frame per idle pass, as fast as the machine draws.
#pragma once

#include <cstdint>

// The highest pace that can be asked for.
const int k_pace_max_fps = 1000;

struct Pace {
    int64_t period_ns; // time between frames; 0: no pace
    int64_t next_ns;   // when the next frame is due (steady clock)
    bool started;      // whether a frame has been drawn yet
};

// The pace of the process, none until pace_start gives it one.
extern Pace g_pace;

// The rate text names: a whole decimal number from 1 to k_pace_max_fps and nothing else; 0 for
// anything else.
int pace_parse_fps(const char* text);
// Frames at most fps a second from now on; 0 for no pace.
void pace_start(Pace* pace, int fps);
// Whether a frame is due at now_ns; then it counts as drawn and the next one is due a period
// after it was. When it is not due, *wait_ns is the time left.
bool pace_due(Pace* pace, int64_t now_ns, int64_t* wait_ns);
// For the idle handler: true when a frame is due now; otherwise it waits a short while (never
// past the frame's time) and returns false, so that the loop handles events meanwhile.
bool pace_wait(Pace* pace);
