#pragma once

// A program of this project run as a child process by the end-to-end tests: its standard
// input is /dev/null, its output and errors go to files (so a chatty child never blocks on a
// full pipe). The child is watched through a pidfd, so the tests wait for its end with a
// time-out instead of sleeping. A child still running when the object goes away is killed
// (SIGKILL) and reaped.

#include <sys/types.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ambervale::e2e {

class ChildProcess {
 public:
  // Starts `binary` with `args` and the variables `env` on top of the test's environment,
  // output to `output_stem` + ".out" and ".err"; nullptr when it cannot be started.
  static std::unique_ptr<ChildProcess> Start(const std::string& binary,
                                             const std::vector<std::string>& args,
                                             const std::map<std::string, std::string>& env,
                                             const std::string& output_stem);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Readable (POLLIN) once the child has ended.
  int pidfd() const { return pidfd_; }
  // Waits at most `timeout_ms` for the end: the exit code, or 128 + the signal number; nullopt
  // when the child still runs. Later calls return the same value.
  std::optional<int> Wait(int timeout_ms);
  // SIGKILL, then waits for the end.
  int Kill();

 private:
  ChildProcess(pid_t pid, int pidfd) : pid_(pid), pidfd_(pidfd) {}

  pid_t pid_;
  int pidfd_;
  std::optional<int> exit_status_;
};

}  // namespace ambervale::e2e
