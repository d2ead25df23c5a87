#pragma once

// At most one copy of the program runs per program folder. The first copy holds an advisory
// lock on a file in that folder for as long as it lives; the operating system drops the lock
// when the process ends in any way, a crash included, so a stale lock file never blocks a
// later start.

#include <optional>
#include <string>

namespace ambervale {

inline constexpr const char* kSingleInstanceLockName = ".ambervale.lock";

class SingleInstanceLock {
 public:
  // The lock for `folder`, or nothing when another process holds it. When the lock file can
  // be neither created nor opened (a read-only folder without one), nobody can hold it
  // either, and the program runs: the returned object then holds nothing (held() false).
  [[nodiscard]] static std::optional<SingleInstanceLock> TryAcquire(const std::string& folder);

  SingleInstanceLock(SingleInstanceLock&& other) noexcept;
  SingleInstanceLock& operator=(SingleInstanceLock&& other) noexcept;
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;
  ~SingleInstanceLock();  // releases the lock

  bool held() const { return fd_ >= 0; }

 private:
  explicit SingleInstanceLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace ambervale
