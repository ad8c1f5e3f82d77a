#include "render/render_progress.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdio>

namespace {

#ifdef _WIN32
bool is_console(DWORD which) {
    DWORD mode = 0;
    HANDLE h = GetStdHandle(which);
    return h && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode);
}

// A console that takes the terminal's escape sequences (Windows 10 on). A pipe, a file or NUL
// is no console, and a console that refuses the sequences gets no line either.
bool progress_terminal() {
    DWORD mode = 0;
    HANDLE h = GetStdHandle(STD_ERROR_HANDLE);
    if (!h || h == INVALID_HANDLE_VALUE || !GetConsoleMode(h, &mode)) return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) ||
           SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

// Rows of the console's visible part when the program's reports go to the same console.
int terminal_rows() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!is_console(STD_OUTPUT_HANDLE) ||
        !GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info))
        return 0;
    return info.srWindow.Bottom - info.srWindow.Top + 1;
}

void write_unbuffered(const char* text, size_t size) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(size), &written, nullptr);
}
#else
bool progress_terminal() {
    return isatty(STDERR_FILENO) != 0;
}

// Rows of the terminal when the program's reports go to the same terminal.
int terminal_rows() {
    winsize size{};
    if (isatty(STDOUT_FILENO) && ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0) return size.ws_row;
    return 0;
}

void write_unbuffered(const char* text, size_t size) {
    const ssize_t written = write(STDERR_FILENO, text, size);
    (void)written;
}
#endif

typedef std::chrono::steady_clock Clock;

bool g_enabled = false;
bool g_shown = false;
// Rows of the terminal when the line has a row of its own below the program's reports.
int g_rows = 0;
int g_total = 0;
Clock::time_point g_start;
Clock::time_point g_last_draw;

// What gives the terminal back its last row, kept ready for a signal handler.
char g_restore[64];
size_t g_restore_size = 0;

const double k_quiet_seconds = 1.0;
const double k_redraw_seconds = 0.1;

double seconds_since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

void put(const std::string& s) {
    std::fputs(s.c_str(), stderr);
    std::fflush(stderr);
}

// When the program's reports go to the same terminal, the line keeps the bottom row and the
// reports scroll above it; otherwise it is simply rewritten in place.
void first_draw() {
    const int rows = terminal_rows();
    g_rows = rows > 2 ? rows : 0;
    if (g_rows > 0) {
        // Make room, then keep the scrolling region off the last row.
        put("\n\0337\033[1;" + std::to_string(g_rows - 1) + "r\0338\033[1A");
        g_restore_size = static_cast<size_t>(std::snprintf(
            g_restore, sizeof g_restore, "\0337\033[r\0338\0337\033[%d;1H\033[K\0338", g_rows));
    } else {
        g_restore_size =
            static_cast<size_t>(std::snprintf(g_restore, sizeof g_restore, "\r\033[K"));
    }
    g_shown = true;
}

void draw(const std::string& text) {
    if (g_rows > 0)
        put("\0337\033[" + std::to_string(g_rows) + ";1H\033[K" + text + "\0338");
    else
        put("\r\033[K" + text);
}

} // namespace

std::string progress_text(int done, int total, double seconds) {
    char text[128];
    const double rate = seconds > 0.0 ? done / seconds : 0.0;
    if (rate > 0.0 && done < total) {
        const long left = static_cast<long>((total - done) / rate + 0.5);
        std::snprintf(text, sizeof text, "frame %d of %d, %.1f frames/s, %ld:%02ld left", done,
                      total, rate, left / 60, left % 60);
    } else {
        std::snprintf(text, sizeof text, "frame %d of %d, %.1f frames/s", done, total, rate);
    }
    return text;
}

void progress_start(int total) {
    g_enabled = progress_terminal();
    g_shown = false;
    g_total = total;
    g_start = Clock::now();
    g_last_draw = g_start;
}

void progress_frame(int done) {
    if (!g_enabled) return;
    const double elapsed = seconds_since(g_start);
    if (elapsed < k_quiet_seconds) return;
    if (g_shown && seconds_since(g_last_draw) < k_redraw_seconds && done < g_total) return;
    if (!g_shown) first_draw();
    draw(progress_text(done, g_total, elapsed));
    g_last_draw = Clock::now();
}

void progress_end() {
    if (!g_shown) return;
    put(std::string(g_restore, g_restore_size));
    g_shown = false;
}

void progress_restore_terminal() {
    if (!g_shown) return;
    g_shown = false;
    write_unbuffered(g_restore, g_restore_size);
}
