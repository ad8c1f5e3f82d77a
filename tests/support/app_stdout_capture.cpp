#include "tests/support/app_stdout_capture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

StdoutCapture::StdoutCapture() {
    std::fflush(stdout);
    char path[] = "/tmp/app_stdout_XXXXXX";
    file_fd_ = mkstemp(path);
    unlink(path);
    saved_fd_ = dup(STDOUT_FILENO);
    dup2(file_fd_, STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture() {
    std::fflush(stdout);
    dup2(saved_fd_, STDOUT_FILENO);
    close(saved_fd_);
    close(file_fd_);
}

std::string StdoutCapture::written() const {
    std::string out;
    char buffer[256];
    off_t offset = 0;
    ssize_t n;
    while ((n = pread(file_fd_, buffer, sizeof buffer, offset)) > 0) {
        out.append(buffer, size_t(n));
        offset += n;
    }
    return out;
}
