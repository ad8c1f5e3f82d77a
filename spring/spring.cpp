#include "spring/spring.h"

#include <GL/gl.h>

// Built after the seventeen models and before the lift step, which reads its length.
Spring g_spring __attribute__((init_priority(CRANE_INIT_SPRING))) (12, 4.0f, 0.5f, 0.5f);

namespace {

constexpr int32_t kPoints = 100;

// The settle ramp and damping envelope at position p: 0.5 at 0 up to nearly 1 at 99.
double ramp(const TrigTable& t, float p) {
    return t.quarter_sin01[int32_t(p)];
}

} // namespace

Spring::Spring(int32_t turns, float length_, float spread_gain_, float amplitude_gain_) {
    // The counters and the amount only matter after a release; zero them so that a spring
    // built anywhere starts like the static one.
    spread_counter = 0;
    stretch_counter = 0;
    amount = 0;

    length = length_;
    spread_gain = spread_gain_;
    amplitude_gain = amplitude_gain_;
    amplitude = 0;
    settle_phase = 0;
    active = 0;
    table.build(kPoints, turns);
    scale = 1.0f;
    spread = 0;
    envelope = 0;
    stretch = 1.0f;
    reset_coils();
}

void Spring::release(float amount_) {
    envelope = 0;
    active = 1;
    amount = amount_;
    settle_phase = 0;
    // An amount of exactly minus the length would divide by zero; such a release gets no
    // axial oscillation rather than an infinite one.
    const double rest = double(length) + amount;
    amplitude = rest == 0 ? 0.0f : float(amount / rest * amplitude_gain);
    spread_counter = 0;
    stretch_counter = 0;
}

void Spring::draw(float size) {
    glPushMatrix();
    glRotatef(-90.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, float(-0.5 * size));
    step(size);
    draw_helix();
    glPopMatrix();
}

// The lower end of the centre line as the last step drew it; the coil spread is not followed.
void Spring::move_to_end() {
    glTranslatef(float(scale * 0.5), float(-(double(length) * scale * stretch)), 0.0f);
}

void Spring::step(float size) {
    if (size != 0) scale = size;
    glScalef(scale, scale, scale);
    if (active) settle();
    if (envelope < 99) envelope = float(envelope + 0.2);
    if (active) {
        amplitude = float(amplitude * ((1 - ramp(table, envelope)) * 0.01 + 0.99));
        const int32_t k = next_stretch_index();
        stretch = float(table.cycle_sin[k] * double(amplitude) + 1);
        glScalef(stretch, 1.0f, 1.0f);
    }
    if (active) {
        const float w = float(1 - ramp(table, envelope));
        const int32_t j = next_spread_index();
        spread = float(double(table.cycle_cos[j]) * w * spread_gain * 0.01);
        float s = 0;
        for (int32_t i = 0; i < kPoints; ++i) {
            s = float(double(table.half_cos[i]) * spread + s + 0.01);
            coil_z[i] = s;
        }
    }
}

void Spring::settle() {
    if (settle_phase < 98) {
        length = float((1 - ramp(table, settle_phase)) * amount * 0.0535 + length);
        settle_phase = float(settle_phase + 2.0);
    }
}

int32_t Spring::next_stretch_index() {
    stretch_counter = stretch_counter == kPoints - 1 ? 0 : stretch_counter + 1;
    return stretch_counter;
}

int32_t Spring::next_spread_index() {
    spread_counter = spread_counter == kPoints - 1 ? 0 : spread_counter + 1;
    return spread_counter;
}

void Spring::reset_coils() {
    float x = 0;
    for (int32_t i = 0; i < kPoints; ++i) {
        x = float(x + 0.01);
        coil_z[i] = x;
    }
}

void Spring::draw_helix() {
    glBegin(GL_LINE_STRIP);
    for (int32_t i = 0; i < kPoints; ++i) {
        glNormal3f(0.0f, table.helix_sin[i], table.helix_cos[i]);
        glVertex3f(float(double(coil_z[i]) * length), table.helix_sin01[i], table.helix_cos01[i]);
    }
    glEnd();
}
