// The helical spring under the crane's jib: a frame-locked settle, axial oscillation and coil
// spread, advanced one step per draw.
#pragma once

#include <cstdint>

#include "spring/trig_table.h"

// Built after the models (priority 1000) and before the lift step that reads its length.
#define CRANE_INIT_SPRING 1100

struct SpringProbe; // tests read the private state through this

class Spring {
  public:
    Spring(int32_t turns, float length, float spread_gain, float amplitude_gain);
    ~Spring() = default;
    Spring(const Spring&) = delete;
    Spring& operator=(const Spring&) = delete;

    void release(float amount);
    void draw(float size);
    void move_to_end();

  private:
    friend struct SpringProbe;
    void step(float size);
    void settle();
    void draw_helix();
    void reset_coils();
    int32_t next_stretch_index();
    int32_t next_spread_index();

    // Fields in declaration order.
    float settle_phase;
    int32_t spread_counter;
    int32_t stretch_counter;
    float spread;
    float coil_z[100];
    TrigTable table;

  public:
    float scale;
    float length;

  private:
    float amount;
    float amplitude;
    float envelope;
    float stretch;

  public:
    float spread_gain;
    float amplitude_gain;

  private:
    int32_t active;
};

extern Spring g_spring;
