// Sends standard output to a temporary file for the length of a test, so that a test can
// read what reached the file without flushing stdio itself.
#pragma once

#include <string>

class StdoutCapture {
  public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // What has reached the file so far; stdio's buffer is not flushed first.
    std::string written() const;

  private:
    int saved_fd_;
    int file_fd_;
};
