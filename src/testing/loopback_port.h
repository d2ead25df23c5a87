#pragma once

// A TCP port on 127.0.0.1 that nothing answers: listening, connections are taken and never
// answered (a silent server); not listening, they are refused. Closed when it goes away.

#include <cstdint>

namespace ambervale::testing {

class LoopbackPort {
 public:
  explicit LoopbackPort(bool listening);
  ~LoopbackPort();
  LoopbackPort(const LoopbackPort&) = delete;
  LoopbackPort& operator=(const LoopbackPort&) = delete;

  uint16_t port() const { return port_; }
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
};

}  // namespace ambervale::testing
