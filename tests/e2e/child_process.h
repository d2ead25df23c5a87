#pragma once

// A program of this project run as a child process by the end-to-end tests: its standard
// output and error go to files (so a chatty child never blocks on a full pipe). The child is
// watched through a pidfd, so the tests wait for its end with a time-out instead of sleeping. A
// child still running when the object goes away is killed (SIGKILL) and reaped.

#include <sys/types.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/status.h"

namespace ambervale::e2e {

struct ChildOptions {
  std::vector<std::string> args;  // without the program itself
  // Variables set for the child on top of the test's environment; an empty value unsets.
  std::map<std::string, std::string> env;
  std::string stdout_file;
  std::string stderr_file;
};

class ChildProcess {
 public:
  // Starts `binary`; nullptr with `error` set when it cannot be started.
  static std::unique_ptr<ChildProcess> Start(const std::string& binary, const ChildOptions& options,
                                             Status* error);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  // Readable (POLLIN) once the child has ended.
  int pidfd() const { return pidfd_; }

  // Waits at most `timeout_ms` for the end: the exit code, or 128 + the signal number; nullopt
  // when the child still runs. Later calls return the same value.
  std::optional<int> Wait(int timeout_ms);
  // Sends `signal` unless the child has been reaped.
  void Signal(int signal);
  // SIGKILL, then waits for the end.
  int Kill();

 private:
  ChildProcess(pid_t pid, int pidfd) : pid_(pid), pidfd_(pidfd) {}

  pid_t pid_;
  int pidfd_;
  std::optional<int> exit_status_;
};

// A finished run of a program: its exit code and what it wrote.
struct RunResult {
  int code = -1;  // -1: it did not end within the time-out (it was killed)
  std::string out;
  std::string err;
};

// Runs `binary` to its end (killed after `timeout_ms`) with standard input from /dev/null;
// its output goes through the files `output_stem` + ".out" and ".err".
RunResult RunProgram(const std::string& binary, const ChildOptions& options,
                     const std::string& output_stem, int timeout_ms);

}  // namespace ambervale::e2e
