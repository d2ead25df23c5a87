#include "tests/e2e/entry_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>
#include <string_view>

#include "host/wire_format.h"
#include "sim/sim_host.h"

namespace ambervale::e2e {
namespace {

// Every byte of `bytes`: a send may take only part of them, or be interrupted by a signal.
bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Reads one whole answer (count line and lines) from the host into `answer`, as sent; the
// host's socket gives up after 20 s. Escaped lines hold no LF: the answer is whole once it
// holds count + 1 of them.
bool ReadAnswer(int fd, std::string* answer) {
  for (std::optional<size_t> count;;) {
    const size_t lf = answer->find('\n');
    if (lf != std::string::npos && !(count = ParseWireCount(answer->substr(0, lf)))) return false;
    if (count && static_cast<size_t>(std::count(answer->begin(), answer->end(), '\n')) > *count)
      return true;
    char chunk[16384];
    const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    answer->append(chunk, static_cast<size_t>(got));
  }
}

}  // namespace

struct EntryProxy::Link {
  int program = -1;
  int host = -1;
  std::string pending;  // request bytes not yet relayed
  ~Link() {
    if (program >= 0) ::close(program);
    if (host >= 0) ::close(host);
  }
};

bool EntryProxy::RelayEntries(Link& link, const EntryHook& hook) {
  for (size_t lf; (lf = link.pending.find('\n')) != std::string::npos;) {
    const std::string request = link.pending.substr(0, lf + 1);
    link.pending.erase(0, lf + 1);
    std::string_view line(request.data(), lf);
    if (line.ends_with('\r')) line.remove_suffix(1);
    const std::string entry = sim::EntryOfRequest(UnescapeWireLine(line));
    if (hook(entry, false)) return false;
    std::string answer;
    if (!SendAll(link.host, request) || !ReadAnswer(link.host, &answer)) return false;
    if (hook(entry, true) || !SendAll(link.program, answer)) return false;
  }
  return true;
}

std::optional<int> EntryProxy::RelayUntilExit(ChildProcess& program, const EntryHook& hook,
                                              int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  std::unique_ptr<Link> link;
  while (true) {
    pollfd fds[] = {{program.pidfd(), POLLIN, 0},
                    {listening_.fd(), POLLIN, 0},
                    {link ? link->program : -1, POLLIN, 0}};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) return std::nullopt;
    const int n = ::poll(fds, 3, static_cast<int>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (fds[0].revents != 0) return program.Wait(timeout_ms);
    if (fds[2].revents != 0) {
      char chunk[16384];
      const ssize_t got = ::recv(link->program, chunk, sizeof chunk, 0);
      if (got < 0 && errno == EINTR) continue;
      if (got > 0) link->pending.append(chunk, static_cast<size_t>(got));
      if (got <= 0 || !RelayEntries(*link, hook)) link.reset();
    }
    if (fds[1].revents != 0) {  // a new connection of the program, with its own to the host
      link = std::make_unique<Link>();
      link->program = ::accept4(listening_.fd(), nullptr, nullptr, SOCK_CLOEXEC);
      link->host = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
      const sockaddr_in host{.sin_family = AF_INET,
                             .sin_port = htons(host_port_),
                             .sin_addr = {htonl(INADDR_LOOPBACK)},
                             .sin_zero = {}};
      const timeval answer_time{20, 0};  // how long the host may take over one answer
      ::setsockopt(link->host, SOL_SOCKET, SO_RCVTIMEO, &answer_time, sizeof answer_time);
      const int one = 1;
      ::setsockopt(link->host, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      ::setsockopt(link->program, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      if (::connect(link->host, reinterpret_cast<const sockaddr*>(&host), sizeof host) != 0) {
        link.reset();  // no host: the program's connection is closed
      }
    }
  }
}

}  // namespace ambervale::e2e
