// The ASC reader's shared helper: the one fatal failure of the application.
#pragma once

// Writes "<message>: <system text of errno>\n" to standard error and exits with status 1.
[[noreturn]] void fatal_error(const char* message);
