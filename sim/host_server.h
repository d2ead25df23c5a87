#pragma once

// The simulator's TCP server: serves the terminal entries of any number of connections (in
// the line format of host/wire_format.h) on one SimHost, so every connection works the one
// session. Single-threaded: one poll loop; an entry is answered completely before the next
// is read.

#include <cstdint>
#include <memory>
#include <ostream>
#include <string_view>

#include "platform/status.h"
#include "sim/sim_host.h"

namespace ambervale::sim {

class HostServer {
 public:
  // Listens on `address` ("127.0.0.1:PORT"; PORT 0 picks a free port). `host` is not owned
  // and must outlive the server. nullptr with `error` set when the address cannot be used.
  static std::unique_ptr<HostServer> Listen(SimHost& host, std::string_view address, Status* error);
  ~HostServer();
  HostServer(const HostServer&) = delete;
  HostServer& operator=(const HostServer&) = delete;

  // The port listened on.
  uint16_t port() const { return port_; }

  // Serves until `stop_fd` becomes readable (a signalfd of SIGTERM and SIGINT, say); then
  // closes every connection and returns. With `verbose`, writes one line per entry to `log`;
  // problems (a state file that cannot be written) always go to `log`.
  [[nodiscard]] Status Run(int stop_fd, bool verbose, std::ostream& log);

 private:
  struct Connection;
  HostServer(SimHost& host, int listen_fd, uint16_t port);

  void Accept();
  // Reads what the connection sent and answers every complete request; false when the
  // connection is to be closed.
  bool ReadAndAnswer(Connection& c, bool verbose, std::ostream& log);
  bool Flush(Connection& c);

  SimHost& host_;
  int listen_fd_;
  uint16_t port_;
  std::vector<std::unique_ptr<Connection>> connections_;
};

}  // namespace ambervale::sim
