// What every backend's message box does with its text: split it into the lines it shows, or,
// where no display can be reached, write it to standard error so that no failure is silent.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// The lines of a message; a final line break ends the last line rather than adding one.
inline std::vector<std::string> message_lines(const char* text) {
    std::vector<std::string> lines;
    std::string line;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += *p;
        }
    }
    if (!line.empty() || lines.empty()) lines.push_back(line);
    return lines;
}

// "Caption: text" on one line of standard error.
inline void message_to_stderr(const char* text, const char* caption) {
    size_t n = text ? strlen(text) : 0;
    fprintf(stderr, "%s: %s%s", caption, text ? text : "", (n && text[n - 1] == '\n') ? "" : "\n");
    fflush(stderr);
}
