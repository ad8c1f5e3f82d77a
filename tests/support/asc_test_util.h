// Helpers of the mesh tests: a scratch folder, files written into it, and a child process run
// with its output and exit status captured.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace asc_test {

// A fresh folder under /tmp, removed with its content when the object goes.
struct ScratchDir {
    std::string path;
    ScratchDir() {
        char name[] = "/tmp/asc_test_XXXXXX";
        path = mkdtemp(name) ? name : "";
    }
    ~ScratchDir() {
        if (!path.empty()) {
            std::string cmd = "rm -rf '" + path + "'";
            if (system(cmd.c_str()) != 0) perror("rm");
        }
    }
    std::string file(const std::string& name) const { return path + "/" + name; }
    std::string write(const std::string& name, const std::string& content) const {
        std::string p = file(name);
        std::ofstream out(p, std::ios::binary);
        out << content;
        return p;
    }
};

inline std::string read_all(int fd) {
    std::string text;
    char buf[4096];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0)
        text.append(buf, size_t(n));
    return text;
}

struct RunResult {
    int status = -1; // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs argv in `cwd` (empty: the current folder). `in_child` runs in the child just before the
// program starts; `while_running` runs in the parent once the child exists.
inline RunResult run(const std::vector<std::string>& argv, const std::string& cwd = "",
                     const std::function<void()>& in_child = {},
                     const std::function<void()>& while_running = {}) {
    int out_pipe[2], err_pipe[2];
    RunResult r;
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) return r;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out_pipe[1], 1);
        dup2(err_pipe[1], 2);
        close(out_pipe[0]);
        close(err_pipe[0]);
        close(out_pipe[1]);
        close(err_pipe[1]);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(120);
        // A sanitizer finding must not pass for the program's own status 1.
        std::string asan = getenv("ASAN_OPTIONS") ? getenv("ASAN_OPTIONS") : "";
        setenv("ASAN_OPTIONS", (asan + ":exitcode=86").c_str(), 1);
        std::string ubsan = getenv("UBSAN_OPTIONS") ? getenv("UBSAN_OPTIONS") : "";
        setenv("UBSAN_OPTIONS", (ubsan + ":halt_on_error=1:exitcode=87").c_str(), 1);
        if (in_child) in_child();
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);
    if (while_running) while_running();
    // Small outputs: read stdout to its end first, then stderr.
    r.out = read_all(out_pipe[0]);
    r.err = read_all(err_pipe[0]);
    close(out_pipe[0]);
    close(err_pipe[0]);
    int ws = 0;
    waitpid(pid, &ws, 0);
    r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws);
    return r;
}

} // namespace asc_test
