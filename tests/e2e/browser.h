// Helpers for running the web build in a headless browser as one more desktop: a driver
// (tests/web/driver.mjs, Node.js and Playwright over Debian's Chromium) serves the site on
// 127.0.0.1, opens the page and stands for the program's process: its standard output and
// error are the program's, it ends with the program's status, and it takes commands.
#pragma once

#include <string>

#include "tests/e2e/e2e_harness.h"

namespace e2e {

struct Browser {
    int commands = -1; // the driver's standard input
    int replies = -1;  // its answers
    std::string ended; // what the page said when the program ended (JSON), once known
};

// Opens the site's page (with the query, "fps=30" and the like) in a new browser, which runs
// script in the page before the page's own, in a browser context with the device's options
// (JSON: viewport, pixel ratio, touch; "" for a desktop page); the driver is program. False
// when it could not be started.
bool start_browser(const std::string& site, const std::string& query, Browser* browser,
                   Program* program, const std::string& script = "",
                   const std::string& device = "");
// Sends one command and waits up to seconds for its answer; the answer without "ok", or
// "error ..." when it failed or none came.
std::string browser_command(Browser* browser, const std::string& command, double seconds);
// True when the command was answered "ok".
bool browser_ok(Browser* browser, const std::string& command, double seconds);
// What the page said of the program's end (JSON text), once the driver has ended; "" before.
std::string browser_ended(Browser* browser);
// Closes the browser and ends the driver, however far the program got.
void stop_browser(Browser* browser, Program* program);
// Playwright's name for a key given by its X keysym name ("Escape", "Return", "space", "i").
std::string browser_key_name(const std::string& keysym_name);

} // namespace e2e
