// Thirteen precomputed sine and cosine ramps, so that the spring never calls a trig function
// after start-up.
#pragma once

#include <cstdint>

class TrigTable {
  public:
    TrigTable() = default;
    ~TrigTable();
    TrigTable(const TrigTable&) = delete;
    TrigTable& operator=(const TrigTable&) = delete;

    void build(int32_t count, int32_t turns);

    int32_t count = 0;
    float* helix_sin01 = nullptr;
    float* helix_sin = nullptr;
    float* helix_cos01 = nullptr;
    float* helix_cos = nullptr;
    float* cycle_sin01 = nullptr;
    float* cycle_sin = nullptr;
    float* cycle_cos01 = nullptr;
    float* cycle_cos = nullptr;
    float* half_sin01 = nullptr;
    float* half_cos01 = nullptr;
    float* half_cos = nullptr;
    float* quarter_sin01 = nullptr;
    float* quarter_cos01 = nullptr;
};
