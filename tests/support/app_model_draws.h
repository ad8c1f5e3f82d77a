// Finds the catalogue models' draws in the GL recorder's log, so that scene tests can say
// which model was drawn where, at what scale and in what order.
#pragma once

#include <string>
#include <vector>

#include "tests/support/gl_recorder.h"

struct ModelDraw {
    std::string model;     // "g_grua2", ...
    double scale;          // the uniform scale the draw applied
    glrec::Mat4 modelview; // the matrix the draw started from (the model's own frame)
    size_t first_call;     // index of the draw's glPushMatrix in the log
    size_t last_call;      // index of its glPopMatrix
};

// Draws each of the seventeen models once with its current flags and keeps what it sends;
// leaves the recorder reset. Returns false when two models send the same calls and could
// not be told apart.
bool learn_model_signatures();

// The model draws in the recorder's log, in order.
std::vector<ModelDraw> model_draws();

// The names of the models drawn, in order.
std::vector<std::string> drawn_models(const std::vector<ModelDraw>& draws);
