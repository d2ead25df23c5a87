#pragma once

// A relay on loopback between the program's network terminal and `ambervale-hostsim`, so
// that a test sees every terminal entry at a known moment: before it reaches the host and
// after the host has answered it but before the program has the answer. While the hook runs
// the program waits for its answer, so whatever the hook does (kill the program or the host,
// start a second copy, look at the files) happens at exactly that entry.
//
// The program's connection (its latest: a new one closes the one before) gets its own
// connection to the host. Single-threaded: the relay runs inside RelayUntilExit.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "testing/loopback_port.h"
#include "tests/e2e/child_process.h"

namespace ambervale::e2e {

// Called twice for each entry (the bare entry, as the host reads it: "QEB/LON1/50"): before it
// reaches the host (`answered` false) and once the host has answered it. True: close the
// program's connection here (the entry or its answer is not relayed).
using EntryHook = std::function<bool(const std::string& entry, bool answered)>;

class EntryProxy {
 public:
  // Listens on 127.0.0.1 (port()) for the program.
  uint16_t port() const { return listening_.port(); }
  // Relays from now on to 127.0.0.1:`host_port` (a host started again).
  void set_host_port(uint16_t host_port) { host_port_ = host_port; }

  // Relays the program's entries, calling `hook` twice for each, until `program` ends; its
  // exit code, or nullopt when it has not ended within `timeout_ms` (it is then still
  // running).
  std::optional<int> RelayUntilExit(ChildProcess& program, const EntryHook& hook, int timeout_ms);

 private:
  struct Link;
  // Relays the complete entries the program has sent on `link`; false when the link is to
  // be closed.
  bool RelayEntries(Link& link, const EntryHook& hook);

  testing::LoopbackPort listening_{true};
  uint16_t host_port_ = 0;
};

}  // namespace ambervale::e2e
