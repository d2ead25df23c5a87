#pragma once

// Small POSIX helpers shared by the file helpers and the log rings.

#include <time.h>

#include <string_view>
#include <utility>

#include "platform/env.h"

namespace ambervale {

// An owned file descriptor, closed when the object goes out of scope.
class ScopedFd {
 public:
  explicit ScopedFd(int fd) : fd_(fd) {}
  ~ScopedFd();
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;

  int get() const { return fd_; }
  // Closes now; false when the close failed (a buffered write may fail only here).
  [[nodiscard]] bool Close();

 private:
  int fd_;
};

// Writes every byte of `bytes` to `fd`, resuming after interruptions; false on an error.
[[nodiscard]] bool WriteAll(int fd, std::string_view bytes);

// `t` as the timespec the file-time calls take.
struct timespec ToTimespec(TimePoint t);

}  // namespace ambervale
