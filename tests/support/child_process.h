// Child processes of the tests, all started one way: a program and its arguments (no shell; a
// test that needs one runs "sh -c"), in a folder, with each standard stream where the test wants
// it and a hook that sets the child's environment; then waited for with a deadline, ended, or
// run to its end with its output kept.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace child {

struct Options {
    std::string dir; // the folder it runs in; empty: this one
    // Files for standard input, output and error (output files are truncated; the same file
    // for both shares one offset); empty: the test's own.
    std::string in, out, err;
    // Runs in the child just before the program starts (after the streams and the folder).
    std::function<void()> in_child;
};

struct Process {
    pid_t pid = -1;
    bool exited = false;
    int status = 0; // waitpid status once exited
};

// Starts argv[0] (looked up on PATH when it holds no slash) with its arguments. False when it
// could not; a program that cannot be run ends with status 127, a folder that cannot be entered
// with 126.
bool start(const std::vector<std::string>& argv, const Options& options, Process* process);
// Waits up to seconds (negative: for ever) for the process to end; true when it has.
bool wait(Process* process, double seconds = -1);
// Sends signal if it still runs and waits up to seconds for it to end, then kills it; reaps it.
void end(Process* process, int signal = SIGKILL, double seconds = 5);
// The exit status, or 128 + the signal that ended it; -1 while it runs or when it never ran.
int exit_code(const Process& process);

struct Output {
    int status = -1; // as exit_code
    std::string out, err;
};
// Runs argv to its end, its standard output and error kept (options.out and err are not used).
// while_running, when given, runs in the test once the child exists.
Output run(const std::vector<std::string>& argv, const Options& options = {},
           const std::function<void()>& while_running = {});
// The same, through the shell: for commands that need its redirections, limits or traps.
Output run_shell(const std::string& command, const Options& options = {});

} // namespace child
