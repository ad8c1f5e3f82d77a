// How a message box that draws its text splits it into the lines it shows.
#pragma once

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
