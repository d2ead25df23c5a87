#pragma once

// The network terminal: terminal objects that carry each entry over TCP to a host server
// (the simulator's `ambervale-hostsim`, or a bridge to a real host) in the line format of
// host/wire_format.h. Each Create() opens a new connection; the server keeps one session for
// all of them.
//
// A refused or timed-out connection, a read that times out and a connection the server
// closes are failing operations: SendEntry returns an error saying which, and GetLineCount
// and GetLine answer nullopt until an entry succeeds again (after a failure the connection is
// closed, so that takes a new terminal object).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "host/terminal.h"

namespace ambervale {

class NetworkTerminalFactory : public TerminalFactory {
 public:
  // `host` is a name or an address; `timeout_seconds` bounds connecting and every wait for
  // answer bytes (at least 1).
  NetworkTerminalFactory(std::string host, uint16_t port, int timeout_seconds);

  std::unique_ptr<Terminal> Create(Status* error) override;

 private:
  std::string host_;
  uint16_t port_;
  int timeout_ms_;
};

// Reads "host:port" or "[v6 address]:port" (the port 0-65535; 0 lets a listener pick a free
// one); false when the text is not of that form.
[[nodiscard]] bool ParseHostPort(std::string_view text, std::string* host, uint16_t* port);

}  // namespace ambervale
