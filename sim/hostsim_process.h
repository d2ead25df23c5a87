#pragma once

// Runs `ambervale-hostsim` as a child process listening on a free loopback port, for the
// tests and benchmarks of the network terminal. The child is stopped (SIGTERM, then waited
// for) when the object goes away.

#include <sys/types.h>

#include <csignal>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/status.h"

namespace ambervale::sim {

class HostsimProcess {
 public:
  // Starts `binary` with `args` plus "--listen 127.0.0.1:0" and waits (at most 10 s) for its
  // "listening on 127.0.0.1:<port>" line. nullptr with `error` set when it does not come.
  static std::unique_ptr<HostsimProcess> Start(const std::string& binary,
                                               const std::vector<std::string>& args, Status* error);
  ~HostsimProcess();
  HostsimProcess(const HostsimProcess&) = delete;
  HostsimProcess& operator=(const HostsimProcess&) = delete;

  uint16_t port() const { return port_; }

  // Sends SIGTERM and waits for the end; the exit status as waitpid reports it decoded:
  // the exit code, or 128 + signal number. Later calls return the same value.
  int Stop() { return End(SIGTERM); }
  // SIGKILL: the end without a word, as a crash or a pulled plug (the state file and its
  // journal stay as they were).
  int Kill() { return End(SIGKILL); }

 private:
  int End(int signal);
  HostsimProcess(pid_t pid, int stdout_fd) : pid_(pid), stdout_fd_(stdout_fd) {}

  pid_t pid_;
  int stdout_fd_;
  uint16_t port_ = 0;
  std::optional<int> exit_status_;
};

}  // namespace ambervale::sim
