// Helpers for running the Windows build under Wine on a test's own Xvfb: one of two prefixes,
// each used by one test at a time, its server warmed on the test's display, and everything it
// started ended with the test.
#pragma once

#include <string>
#include <vector>

#include "tests/e2e/e2e_harness.h"

namespace e2e {

struct Wine {
    std::string prefix;  // WINEPREFIX
    int lock = -1;       // held while the test uses the prefix
    std::string display; // the X server its programs draw on
};

// Takes a free prefix of the build (made on first use: about ten seconds) and starts its server
// with the display. False when Wine did not come up.
bool start_wine(const Server& server, Wine* wine);
// Ends every process of the prefix, the server last, and gives the prefix back.
void stop_wine(Wine* wine);
// Runs a Windows program with arguments in dir, with its output captured.
bool launch_windows(const Wine& wine, const std::string& exe, const std::vector<std::string>& args,
                    const std::string& dir, Program* program);
// The Unix path of a Windows path in the prefix's C: drive ("C:\\Program Files" and the like).
std::string c_drive_path(const Wine& wine, const std::string& windows_path);

} // namespace e2e
