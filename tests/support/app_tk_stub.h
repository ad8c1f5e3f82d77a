// A recording stand-in for the toolkit calls the application makes, so that the
// application's tests do not depend on a window system.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tests/support/gl_recorder.h"
#include "toolkit/tk.h"

namespace tkstub {

struct Call {
    std::string name;         // "tk_open_window", ...
    std::vector<double> args; // integer and real arguments
    std::string text;         // the title of tk_open_window
    size_t gl_calls_before;   // how many GL calls the recorder had logged at this call
    glrec::Mat4 modelview;    // the recorder's modelview matrix at this call
};

struct Registered {
    std::vector<std::pair<int, TkVoidHandler>> keys;
    TkReshapeHandler reshape = nullptr;
    TkVoidHandler idle = nullptr;
    TkVoidHandler display = nullptr;
};

// Empties the log and the registrations; tk_open_window answers `open_result` afterwards.
void reset();
const std::vector<Call>& calls();
std::vector<Call> named(const std::string& name);
Registered& registered();
extern int open_result;

} // namespace tkstub
