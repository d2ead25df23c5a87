#pragma once

// The command line of `ambervale-hostsim`, the simulated host as a TCP server:
//   ambervale-hostsim --scenario F --listen 127.0.0.1:PORT [--state-out F] [--today YYYY-MM-DD]
//                     [--verbose]

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace ambervale::sim {

struct HostsimOptions {
  std::string scenario;
  std::string listen;
  std::string state_out;                       // empty: no state file
  std::optional<std::chrono::sys_days> today;  // the simulator's date; unset: the clock's
  bool verbose = false;
  bool help = false;
};

// Reads the arguments (without the program name); false with `error` set on a bad one.
[[nodiscard]] bool ParseHostsimArgs(const std::vector<std::string>& args, HostsimOptions* options,
                                    std::string* error);

extern const char kHostsimUsage[];

// Loads the world, listens, prints "listening on <address>:<port>" on `out`, serves until
// SIGTERM or SIGINT, writes the state file and returns the exit code (0, or 1 with a message
// on `err`).
int RunHostsim(const HostsimOptions& options, std::ostream& out, std::ostream& err);

}  // namespace ambervale::sim
