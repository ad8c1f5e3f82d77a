#include "tests/support/sim/sim.h"

int sim_message_box(TkHandle owner, const char* text, const char* caption) {
    sim_call("message_box %s", caption);
    sim.boxes.push_back(SimState::Box{caption, text, owner});
    return 1;
}
