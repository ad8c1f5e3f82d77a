#include "spring/trig_table.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

// Helix multiplier per turn. Deliberately not 2 pi: the helix keeps the length it has always
// had, 11.88 turns for 12.
constexpr double kTurnRange = 6.283125308;
constexpr float kCycleRange = 6.2831254f;
constexpr float kHalfRange = 3.1415627f;
constexpr float kQuarterRange = 1.5707964f;

enum Function { kSine, kCosine };
enum Form { kPlain, kShifted };

// The spring cannot run without its tables, and nothing can be drawn without them either, so a
// failed allocation at start-up ends the process.
float* allocate(int32_t count) {
    float* a = new (std::nothrow) float[count];
    if (!a) {
        std::fputs("Error: sin memoria para las tablas del muelle\n", stderr);
        std::exit(1);
    }
    return a;
}

// `count` samples from angle 0, the angle accumulated in single precision step by step, so the
// last sample sits at (count - 1) / count of the range.
float* fill(int32_t count, float range, Function f, Form form) {
    float* a = allocate(count);
    const double step = double(range) / count;
    float x = 0;
    for (int32_t i = 0; i < count; ++i) {
        double v = f == kSine ? std::sin(double(x)) : std::cos(double(x));
        if (form == kShifted) v = v / 2 + 0.5;
        a[i] = float(v);
        x = float(x + step);
    }
    return a;
}

void release(float*& a) {
    delete[] a;
    a = nullptr;
}

void release_all(TrigTable& t) {
    release(t.helix_sin01);
    release(t.helix_sin);
    release(t.helix_cos01);
    release(t.helix_cos);
    release(t.cycle_sin01);
    release(t.cycle_sin);
    release(t.cycle_cos01);
    release(t.cycle_cos);
    release(t.half_sin01);
    release(t.half_cos01);
    release(t.half_cos);
    release(t.quarter_sin01);
    release(t.quarter_cos01);
    t.count = 0;
}

} // namespace

TrigTable::~TrigTable() {
    release_all(*this);
}

void TrigTable::build(int32_t entries, int32_t turns) {
    // A second build replaces the arrays instead of leaking the first set.
    release_all(*this);
    if (entries <= 0) return;
    count = entries;

    const float helix = float(turns * kTurnRange);
    helix_sin01 = fill(count, helix, kSine, kShifted);
    helix_sin = fill(count, helix, kSine, kPlain);
    helix_cos01 = fill(count, helix, kCosine, kShifted);
    helix_cos = fill(count, helix, kCosine, kPlain);
    cycle_sin01 = fill(count, kCycleRange, kSine, kShifted);
    cycle_sin = fill(count, kCycleRange, kSine, kPlain);
    cycle_cos01 = fill(count, kCycleRange, kCosine, kShifted);
    cycle_cos = fill(count, kCycleRange, kCosine, kPlain);
    half_sin01 = fill(count, kHalfRange, kSine, kShifted);
    half_cos01 = fill(count, kHalfRange, kCosine, kShifted);
    half_cos = fill(count, kHalfRange, kCosine, kPlain);
    quarter_sin01 = fill(count, kQuarterRange, kSine, kShifted);
    quarter_cos01 = fill(count, kQuarterRange, kCosine, kShifted);
}
