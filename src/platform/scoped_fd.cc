#include "platform/scoped_fd.h"

#include <unistd.h>

#include <cerrno>

namespace ambervale {

ScopedFd::~ScopedFd() {
  if (fd_ >= 0) ::close(fd_);
}

bool ScopedFd::Close() {
  const int fd = std::exchange(fd_, -1);
  return fd < 0 || ::close(fd) == 0;
}

bool WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

struct timespec ToTimespec(TimePoint t) {
  const int64_t ns = t.time_since_epoch().count();
  struct timespec ts;
  ts.tv_sec = static_cast<time_t>(ns / 1000000000);
  ts.tv_nsec = static_cast<long>(ns % 1000000000);
  if (ts.tv_nsec < 0) {
    ts.tv_nsec += 1000000000;
    ts.tv_sec -= 1;
  }
  return ts;
}

}  // namespace ambervale
