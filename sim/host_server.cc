#include "sim/host_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "host/network_terminal.h"
#include "host/wire_format.h"
#include "platform/cp1252.h"

namespace ambervale::sim {
namespace {

constexpr size_t kMaxRequestBytes = 1024 * 1024;
constexpr int kBacklog = 16;

std::string ErrnoText() { return std::strerror(errno); }

}  // namespace

struct HostServer::Connection {
  explicit Connection(int socket_fd) : fd(socket_fd) {}
  ~Connection() { ::close(fd); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  int fd;
  std::string in;   // received, not yet answered
  std::string out;  // answers not yet sent
};

HostServer::HostServer(SimHost& host, int listen_fd, uint16_t port)
    : host_(host), listen_fd_(listen_fd), port_(port) {}

HostServer::~HostServer() {
  connections_.clear();
  ::close(listen_fd_);
}

std::unique_ptr<HostServer> HostServer::Listen(SimHost& host, std::string_view address,
                                               Status* error) {
  std::string name;
  uint16_t port = 0;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  if (!ParseHostPort(address, &name, &port) ||
      ::inet_pton(AF_INET, name.c_str(), &addr.sin_addr) != 1) {
    *error = Status::Error("bad listen address \"" + std::string(address) +
                           "\" (expected an IPv4 address and a port, e.g. 127.0.0.1:7000)");
    return nullptr;
  }
  addr.sin_port = htons(port);
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *error = Status::Error("cannot make a socket: " + ErrnoText());
    return nullptr;
  }
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  socklen_t len = sizeof addr;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(fd, kBacklog) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    *error = Status::Error("cannot listen on " + std::string(address) + ": " + ErrnoText());
    ::close(fd);
    return nullptr;
  }
  *error = Status::Ok();
  return std::unique_ptr<HostServer>(new HostServer(host, fd, ntohs(addr.sin_port)));
}

void HostServer::Accept() {
  while (true) {
    const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;  // EAGAIN: no more waiting; other errors: try at the next wake-up
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    connections_.push_back(std::make_unique<Connection>(fd));
  }
}

bool HostServer::Flush(Connection& c) {
  size_t sent = 0;
  while (sent < c.out.size()) {
    const ssize_t n = ::send(c.fd, c.out.data() + sent, c.out.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      break;
    } else {
      return false;
    }
  }
  c.out.erase(0, sent);
  return true;
}

bool HostServer::ReadAndAnswer(Connection& c, bool verbose, std::ostream& log) {
  char chunk[16384];
  bool open = true;
  while (open) {
    const ssize_t n = ::recv(c.fd, chunk, sizeof chunk, 0);
    if (n > 0) {
      c.in.append(chunk, static_cast<size_t>(n));
      // A short read took everything there was; poll reports anything that comes later.
      if (static_cast<size_t>(n) < sizeof chunk) break;
    } else if (n == 0) {
      open = false;  // requests already received are still answered
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      break;
    } else if (errno != EINTR) {
      return false;
    }
  }
  size_t pos = 0;
  while (true) {
    const size_t lf = c.in.find('\n', pos);
    if (lf == std::string::npos) break;
    std::string_view raw(c.in.data() + pos, lf - pos);
    pos = lf + 1;
    if (raw.ends_with('\r')) raw.remove_suffix(1);
    const std::string request = UnescapeWireLine(raw);
    SimHost::Answer answer = host_.Request(request);
    if (!answer.saved.ok()) log << "ambervale-hostsim: " << answer.saved.message() << std::endl;
    if (answer.dropped) {
      if (verbose) {
        log << "entry dropped with its connection: " << Cp1252ToUtf8(EscapeWireLine(request))
            << std::endl;
      }
      return false;
    }
    if (verbose) {
      log << "entry " << host_.world().entries << ": "
          << Cp1252ToUtf8(EscapeWireLine(EntryOfRequest(request))) << " -> " << answer.lines.size()
          << " line(s)" << std::endl;
    }
    c.out += EncodeWireAnswer(answer.lines);
  }
  c.in.erase(0, pos);
  if (c.in.size() > kMaxRequestBytes) return false;
  return Flush(c) && open;
}

Status HostServer::Run(int stop_fd, bool verbose, std::ostream& log) {
  std::vector<pollfd> fds;
  while (true) {
    fds.clear();
    fds.push_back({stop_fd, POLLIN, 0});
    fds.push_back({listen_fd_, POLLIN, 0});
    for (const auto& c : connections_) {
      fds.push_back({c->fd, static_cast<short>(POLLIN | (c->out.empty() ? 0 : POLLOUT)), 0});
    }
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return Status::Error("poll failed: " + ErrnoText());
    }
    if (fds[0].revents != 0) break;
    // Connections accepted below come after the ones polled, so indexes stay aligned.
    std::vector<bool> keep(connections_.size(), true);
    for (size_t i = 0; i < connections_.size(); ++i) {
      const short revents = fds[i + 2].revents;
      Connection& c = *connections_[i];
      if ((revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        keep[i] = ReadAndAnswer(c, verbose, log);
      } else if ((revents & POLLOUT) != 0) {
        keep[i] = Flush(c);
      }
    }
    for (size_t i = keep.size(); i-- > 0;) {
      if (!keep[i]) connections_.erase(connections_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (fds[1].revents != 0) Accept();
  }
  connections_.clear();
  return Status::Ok();
}

}  // namespace ambervale::sim
