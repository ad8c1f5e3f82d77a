#include "app/pace.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

Pace g_pace = {0, 0, false};

namespace {

// The longest wait of one idle pass: a key pressed meanwhile acts this soon.
const int64_t k_slice_ns = 2000000;

} // namespace

int pace_parse_fps(const char* text) {
    const size_t length = text ? std::strlen(text) : 0;
    if (length == 0 || length > 4) return 0;
    for (size_t i = 0; i < length; ++i)
        if (text[i] < '0' || text[i] > '9') return 0;
    const int fps = std::atoi(text);
    return fps >= 1 && fps <= k_pace_max_fps ? fps : 0;
}

void pace_start(Pace* pace, int fps) {
    *pace = Pace{fps > 0 ? 1000000000 / fps : 0, 0, false};
}

bool pace_due(Pace* pace, int64_t now_ns, int64_t* wait_ns) {
    *wait_ns = 0;
    if (pace->started && now_ns < pace->next_ns) {
        *wait_ns = pace->next_ns - now_ns;
        return false;
    }
    // Each frame is due a period after the one before was due, so that the rate holds on
    // average; a frame later than a whole period starts afresh instead of drawing the missed
    // ones in a burst.
    if (!pace->started || now_ns - pace->next_ns >= pace->period_ns)
        pace->next_ns = now_ns + pace->period_ns;
    else
        pace->next_ns += pace->period_ns;
    pace->started = true;
    return true;
}

bool pace_wait(Pace* pace) {
    const int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count();
    int64_t wait = 0;
    if (pace_due(pace, now, &wait)) return true;
    std::this_thread::sleep_for(std::chrono::nanoseconds(std::min(wait, k_slice_ns)));
    return false;
}
