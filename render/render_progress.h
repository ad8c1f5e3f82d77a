// crane-render's progress line: frames done, rate and time left, drawn on standard error when
// it is a terminal and the run has lasted over a second. Elsewhere nothing is written.
#pragma once

#include <string>

// The line's text after done of total frames in seconds.
std::string progress_text(int done, int total, double seconds);

// Starts the clock for a run of total frames and decides whether the line is shown.
void progress_start(int total);
// After each frame drawn; redraws the line a few times a second.
void progress_frame(int done);
// Takes the line away, leaving the terminal as it was.
void progress_end();
// Gives the terminal its whole screen back at once; safe inside a signal handler.
void progress_restore_terminal();
