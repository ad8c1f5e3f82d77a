#include "tests/support/child_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace child {

namespace {

double now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

// In the child: the file as standard stream fd; false when it cannot be opened.
bool redirect(const std::string& path, int fd, int flags) {
    if (path.empty()) return true;
    const int file = open(path.c_str(), flags, 0644);
    if (file < 0) return false;
    dup2(file, fd);
    close(file);
    return true;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

bool start(const std::vector<std::string>& argv, const Options& options, Process* process) {
    *process = Process{};
    if (argv.empty()) return false;
    std::fflush(nullptr); // nothing buffered is written twice
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        const int write = O_WRONLY | O_CREAT | O_TRUNC;
        if (!redirect(options.in, 0, O_RDONLY) || !redirect(options.out, 1, write)) _exit(126);
        if (!options.err.empty() && options.err == options.out)
            dup2(1, 2);
        else if (!redirect(options.err, 2, write))
            _exit(126);
        if (!options.dir.empty() && chdir(options.dir.c_str()) != 0) _exit(126);
        if (options.in_child) options.in_child();
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    process->pid = pid;
    return true;
}

bool wait(Process* process, double seconds) {
    if (process->exited) return true;
    if (process->pid <= 0) return false;
    const double deadline = now() + seconds;
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(process->pid, &status, seconds < 0 ? 0 : WNOHANG);
        if (r == process->pid) {
            process->exited = true;
            process->status = status;
            return true;
        }
        if (r < 0 || now() > deadline) return false;
        // A pause between two looks, not a wait for progress.
        timespec pause = {0, 10 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
}

void end(Process* process, int signal, double seconds) {
    if (process->pid <= 0 || process->exited) return;
    kill(process->pid, signal);
    if (signal != SIGKILL && wait(process, seconds)) return;
    kill(process->pid, SIGKILL);
    wait(process);
}

int exit_code(const Process& process) {
    if (!process.exited) return -1;
    if (WIFEXITED(process.status)) return WEXITSTATUS(process.status);
    return WIFSIGNALED(process.status) ? 128 + WTERMSIG(process.status) : -1;
}

Output run(const std::vector<std::string>& argv, const Options& options,
           const std::function<void()>& while_running) {
    Output output;
    char logs[] = "/tmp/child-output-XXXXXX";
    if (!mkdtemp(logs)) return output;
    Options kept = options;
    kept.out = std::string(logs) + "/out";
    kept.err = std::string(logs) + "/err";
    Process process;
    if (start(argv, kept, &process)) {
        if (while_running) while_running();
        wait(&process);
        output.status = exit_code(process);
        output.out = slurp(kept.out);
        output.err = slurp(kept.err);
    }
    std::remove(kept.out.c_str());
    std::remove(kept.err.c_str());
    rmdir(logs);
    return output;
}

Output run_shell(const std::string& command, const Options& options) {
    return run({"/bin/sh", "-c", command}, options);
}

} // namespace child
