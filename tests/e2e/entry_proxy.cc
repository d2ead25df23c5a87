#include "tests/e2e/entry_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string_view>
#include <vector>

#include "host/wire_format.h"

namespace ambervale::e2e {
namespace {

// How long the host may take over one answer before the relay gives the link up.
constexpr int kHostAnswerMs = 20000;

// A socket descriptor closed when it goes away.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Reads one whole answer (count line and lines) from the host into `answer`, as sent.
bool ReadAnswer(int fd, std::string* answer) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHostAnswerMs);
  std::string buffer;
  std::optional<size_t> count;
  size_t lines = 0;
  while (true) {
    while (true) {
      const size_t lf = buffer.find('\n');
      if (lf == std::string::npos) break;
      const std::string_view line(buffer.data(), lf);
      if (!count) {
        count = ParseWireCount(line);
        if (!count) return false;
      } else {
        ++lines;
      }
      answer->append(buffer, 0, lf + 1);
      buffer.erase(0, lf + 1);
      if (lines == *count) return buffer.empty();
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    const int n = ::poll(&p, 1, static_cast<int>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    char chunk[16384];
    const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    buffer.append(chunk, static_cast<size_t>(got));
  }
}

// The bare entry of a request line: unescaped, without the <FORMAT> wrapper.
std::string BareEntry(std::string_view line) {
  std::string text = UnescapeWireLine(line);
  constexpr std::string_view kOpen = "<FORMAT>";
  constexpr std::string_view kClose = "</FORMAT>";
  if (text.starts_with(kOpen) && text.ends_with(kClose)) {
    text = text.substr(kOpen.size(), text.size() - kOpen.size() - kClose.size());
  }
  return text;
}

}  // namespace

struct EntryProxy::Link {
  Fd program;
  Fd host;
  std::string pending;  // request bytes not yet relayed
};

std::unique_ptr<EntryProxy> EntryProxy::Listen(uint16_t host_port, Status* error) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *error = Status::Error(std::string("socket failed: ") + std::strerror(errno));
    return nullptr;
  }
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a = Loopback(0);
  socklen_t len = sizeof a;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 8) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    *error = Status::Error(std::string("cannot listen: ") + std::strerror(errno));
    ::close(fd);
    return nullptr;
  }
  *error = Status::Ok();
  return std::unique_ptr<EntryProxy>(new EntryProxy(fd, ntohs(a.sin_port), host_port));
}

EntryProxy::~EntryProxy() { ::close(listen_fd_); }

void EntryProxy::Accept(std::vector<std::unique_ptr<Link>>& links) {
  auto link = std::make_unique<Link>();
  link->program.Reset(::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC));
  if (link->program.get() < 0) return;
  link->host.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in host = Loopback(host_port_);
  if (link->host.get() < 0 ||
      ::connect(link->host.get(), reinterpret_cast<const sockaddr*>(&host), sizeof host) != 0) {
    return;  // no host: the program's connection is closed at once
  }
  const int one = 1;
  ::setsockopt(link->host.get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  ::setsockopt(link->program.get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  links.push_back(std::move(link));
}

bool EntryProxy::RelayEntries(Link& link, const EntryHook& hook) {
  while (true) {
    const size_t lf = link.pending.find('\n');
    if (lf == std::string::npos) return true;
    const std::string request = link.pending.substr(0, lf + 1);
    link.pending.erase(0, lf + 1);
    std::string_view line(request.data(), lf);
    if (line.ends_with('\r')) line.remove_suffix(1);
    ProxyEntry entry{++entries_, BareEntry(line), false};
    if (hook && hook(entry) == Relay::kCut) return false;
    std::string answer;
    if (!SendAll(link.host.get(), request) || !ReadAnswer(link.host.get(), &answer)) return false;
    entry.answered = true;
    if (hook && hook(entry) == Relay::kCut) return false;
    if (!SendAll(link.program.get(), answer)) return false;
  }
}

std::optional<int> EntryProxy::RelayUntilExit(ChildProcess& program, const EntryHook& hook,
                                              int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  std::vector<std::unique_ptr<Link>> links;
  while (true) {
    std::vector<pollfd> fds = {{program.pidfd(), POLLIN, 0}, {listen_fd_, POLLIN, 0}};
    for (const auto& link : links) fds.push_back({link->program.get(), POLLIN, 0});
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) return std::nullopt;
    const int n = ::poll(fds.data(), fds.size(), static_cast<int>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (fds[0].revents != 0) return program.Wait(timeout_ms);
    const size_t polled = links.size();
    if (fds[1].revents != 0) Accept(links);
    for (size_t i = 0; i < polled; ++i) {
      if (fds[i + 2].revents == 0) continue;
      Link& link = *links[i];
      char chunk[16384];
      const ssize_t got = ::recv(link.program.get(), chunk, sizeof chunk, 0);
      if (got < 0 && errno == EINTR) continue;
      bool open = got > 0;
      if (open) {
        link.pending.append(chunk, static_cast<size_t>(got));
        open = RelayEntries(link, hook);
      }
      if (!open) {
        link.program.Reset();
        link.host.Reset();
      }
    }
    std::erase_if(links, [](const auto& link) { return link->program.get() < 0; });
  }
}

}  // namespace ambervale::e2e
