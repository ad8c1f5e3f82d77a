#include "tests/e2e/browser.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <map>

namespace e2e {

bool start_browser(const std::string& site, const std::string& query, Browser* browser,
                   Program* program, const std::string& script, const std::string& device) {
    // A driver gone before a command reaches it is an answer, not the end of the tests.
    signal(SIGPIPE, SIG_IGN);
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0) return false;
    if (pipe2(out, O_CLOEXEC) != 0) return false;
    const std::string driver = std::string(WEB_DRIVER);
    bool ok = launch_argv(
        {"node", driver, site, query, script, device}, "/",
        [&] {
            dup2(in[0], 0);
            dup2(out[1], 3);
        },
        program);
    close(in[0]);
    close(out[1]);
    browser->commands = in[1];
    browser->replies = out[0];
    return ok;
}

namespace {

const char k_ended[] = "ended ";

// The driver's next line, without the one that tells of the program's end (kept aside); false
// when none came in time or the driver is gone.
bool read_reply(Browser* browser, double seconds, std::string* line) {
    for (;;) {
        line->clear();
        char c = 0;
        pollfd p{browser->replies, POLLIN, 0};
        for (;;) {
            if (poll(&p, 1, (int)(seconds * 1000)) <= 0) return false;
            if (read(browser->replies, &c, 1) != 1) return false;
            if (c == '\n') break;
            *line += c;
        }
        if (line->compare(0, sizeof k_ended - 1, k_ended) != 0) return true;
        browser->ended = line->substr(sizeof k_ended - 1);
    }
}

} // namespace

std::string browser_command(Browser* browser, const std::string& command, double seconds) {
    if (browser->commands < 0) return "error no browser";
    const std::string line = command + "\n";
    if (write(browser->commands, line.data(), line.size()) != (ssize_t)line.size())
        return "error the driver is gone";
    std::string answer;
    if (!read_reply(browser, seconds, &answer)) return "error no answer";
    if (answer.compare(0, 2, "ok") == 0) return answer.size() > 3 ? answer.substr(3) : "";
    return answer;
}

std::string browser_ended(Browser* browser) {
    std::string line;
    while (browser->ended.empty() && browser->replies >= 0 && read_reply(browser, 0, &line)) {
    }
    return browser->ended;
}

bool browser_ok(Browser* browser, const std::string& command, double seconds) {
    return browser_command(browser, command, seconds).compare(0, 5, "error") != 0;
}

void stop_browser(Browser* browser, Program* program) {
    // Without commands the driver closes the browser and ends; a driver that is killed leaves
    // its browser behind.
    if (browser->commands >= 0) close(browser->commands);
    browser->commands = -1;
    if (program->pid > 0 && !child::wait(program, 30)) child::end(program, SIGTERM, 30);
    if (browser->replies >= 0) close(browser->replies);
    browser->replies = -1;
}

std::string browser_key_name(const std::string& keysym_name) {
    static const std::map<std::string, std::string> names = {
        {"Return", "Enter"}, {"space", "Space"},      {"Left", "ArrowLeft"},
        {"Up", "ArrowUp"},   {"Right", "ArrowRight"}, {"Down", "ArrowDown"}};
    auto it = names.find(keysym_name);
    return it == names.end() ? keysym_name : it->second;
}

} // namespace e2e
