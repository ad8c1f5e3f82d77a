// Helpers of the mesh tests: a scratch folder, files written into it, and a program run with
// its output and exit status captured, sanitizer findings told apart from its own failures.
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

#include "tests/support/child_process.h"

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
            if (child::run({"rm", "-rf", path}).status != 0) perror("rm");
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

using RunResult = child::Output;

// Runs argv in `cwd` (empty: the current folder). `in_child` runs in the child just before the
// program starts; `while_running` runs in the parent once the child exists.
inline RunResult run(const std::vector<std::string>& argv, const std::string& cwd = "",
                     const std::function<void()>& in_child = {},
                     const std::function<void()>& while_running = {}) {
    child::Options options;
    options.dir = cwd;
    options.in_child = [&] {
        // A sanitizer finding must not pass for the program's own status 1.
        std::string asan = getenv("ASAN_OPTIONS") ? getenv("ASAN_OPTIONS") : "";
        setenv("ASAN_OPTIONS", (asan + ":exitcode=86").c_str(), 1);
        std::string ubsan = getenv("UBSAN_OPTIONS") ? getenv("UBSAN_OPTIONS") : "";
        setenv("UBSAN_OPTIONS", (ubsan + ":halt_on_error=1:exitcode=87").c_str(), 1);
        if (in_child) in_child();
    };
    return child::run(argv, options, while_running);
}

} // namespace asc_test
