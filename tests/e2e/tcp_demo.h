#pragma once

// The demo agency served by `ambervale-hostsim` over TCP, with an EntryProxy between the
// program and the host, in a program folder of its own. The copy differs from the demo in
// what a test needs to be quick and self-contained: the host is never busy (each busy answer
// costs the program a real ten-second wait; the in-process tests cover it), the first run
// comes at the first tick (COUNTER 0), and the mail server is a loopback port where nothing
// listens, so every mail fails at once and is logged.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/hostsim_process.h"
#include "sim/world.h"
#include "testing/loopback_port.h"
#include "tests/e2e/child_process.h"
#include "tests/e2e/entry_proxy.h"
#include "tests/e2e/program_folder.h"

namespace ambervale::e2e {

class TcpDemo {
 public:
  // `pnrs_per_queue` > 0 keeps only the first that many PNRs of each source queue (a smaller
  // agency that still has every kind of PNR, for tests that run it several times).
  explicit TcpDemo(int pnrs_per_queue = 0);
  TcpDemo(const TcpDemo&) = delete;
  TcpDemo& operator=(const TcpDemo&) = delete;

  // Starts the host (again: a new server on the same state file) and points the relay at it.
  [[nodiscard]] ::testing::AssertionResult StartHost();
  int KillHost() { return host_->Kill(); }
  int StopHost() { return host_->Stop(); }

  // Starts `ambervale --headless` with `args` (and the variables `env`) over the folder; output
  // in `name`.out/.err.
  std::unique_ptr<ChildProcess> StartProgram(const std::vector<std::string>& args,
                                             const std::string& name,
                                             const std::map<std::string, std::string>& env = {});
  // Relays the program's entries until it ends (see EntryProxy::RelayUntilExit). The time-out
  // stays below the tests' own limit (60 s), so a hung program fails with a message.
  std::optional<int> Relay(ChildProcess& program, const EntryHook& hook, int timeout_ms = 50000);

  // Where the PNRs are now, a line "LOCATOR: QUEUES" each: the host's state file with its
  // journal, read as a restarted host would read them (every entry the host answered).
  std::string PlacesNow() const;
  // Where examples/demo/expected.json puts the PNRs of this copy once a later start has
  // returned the refused PNR from the Fail Queue to its agents.
  std::string Expected() const;
  // Whether no PNR is lost or doubled: each one is on its source queue, on its agents' queues
  // or on its office's Fail Queue with its row in the Fail Queue Log - and nowhere else.
  ::testing::AssertionResult NoPnrLost() const;

  ProgramFolder folder;

 private:
  std::optional<sim::World> KeptWorld() const;

  testing::LoopbackPort closed_port_{false};  // the mail server: connections are refused
  std::unique_ptr<sim::HostsimProcess> host_;
  EntryProxy proxy_;
};

}  // namespace ambervale::e2e
