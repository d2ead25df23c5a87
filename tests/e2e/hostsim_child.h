#pragma once

// `ambervale-hostsim` run as a child process for a test: it serves the simulated host on a
// free loopback port and keeps its world in a state file, which outlives it (a new child on
// the same state file goes on where the last one stopped, even after a SIGKILL).

#include <cstdint>
#include <memory>
#include <string>

#include "platform/status.h"
#include "tests/e2e/child_process.h"

namespace ambervale::e2e {

class HostsimChild {
 public:
  // Starts the server on `scenario` (the world comes from `state_file` when that exists) and
  // waits for its port; nullptr with `error` set when it does not come within 10 s.
  static std::unique_ptr<HostsimChild> Start(const std::string& scenario,
                                             const std::string& state_file, Status* error);

  uint16_t port() const { return port_; }
  // SIGTERM (the server writes its state file and ends): its exit code.
  int Stop();
  // SIGKILL: the end without a word, as a crash or a pulled plug.
  int Kill() { return child_->Kill(); }

 private:
  HostsimChild(std::unique_ptr<ChildProcess> child, uint16_t port)
      : child_(std::move(child)), port_(port) {}

  std::unique_ptr<ChildProcess> child_;
  uint16_t port_;
};

}  // namespace ambervale::e2e
