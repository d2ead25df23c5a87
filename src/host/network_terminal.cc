#include "host/network_terminal.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "host/wire_format.h"

namespace ambervale {
namespace {

constexpr size_t kMaxAnswerBytes = 64 * 1024 * 1024;
// The most lines an answer may announce.
constexpr size_t kMaxLines = std::numeric_limits<int16_t>::max();

// Owns a socket descriptor.
class Socket {
 public:
  Socket() = default;
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() { Close(); }
  Socket(Socket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Socket& operator=(Socket&& other) noexcept {
    if (this != &other) {
      Close();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  int fd() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

std::string ErrnoText(int err) { return std::strerror(err); }

// Waits until `fd` is ready for `events`; false on time-out or error (errno set; ETIMEDOUT
// for a time-out).
bool WaitFor(int fd, short events, int timeout_ms) {
  pollfd p{fd, events, 0};
  while (true) {
    const int n = ::poll(&p, 1, timeout_ms);
    if (n > 0) return true;
    if (n == 0) {
      errno = ETIMEDOUT;
      return false;
    }
    if (errno != EINTR) return false;
  }
}

// Connects one address without blocking longer than the time-out.
Socket ConnectOne(const addrinfo& ai, int timeout_ms, int* err) {
  Socket s(::socket(ai.ai_family, ai.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai.ai_protocol));
  if (!s.valid()) {
    *err = errno;
    return Socket();
  }
  if (::connect(s.fd(), ai.ai_addr, ai.ai_addrlen) != 0) {
    if (errno != EINPROGRESS) {
      *err = errno;
      return Socket();
    }
    if (!WaitFor(s.fd(), POLLOUT, timeout_ms)) {
      *err = errno;
      return Socket();
    }
    int so_error = 0;
    socklen_t len = sizeof so_error;
    if (::getsockopt(s.fd(), SOL_SOCKET, SO_ERROR, &so_error, &len) != 0 || so_error != 0) {
      *err = so_error != 0 ? so_error : errno;
      return Socket();
    }
  }
  const int one = 1;
  ::setsockopt(s.fd(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return s;
}

class NetworkTerminal : public Terminal {
 public:
  NetworkTerminal(Socket socket, std::string where, int timeout_ms)
      : socket_(std::move(socket)), where_(std::move(where)), timeout_ms_(timeout_ms) {}

  Status SendEntry(std::string_view text) override {
    lines_.clear();
    failed_ = true;
    if (!socket_.valid()) {
      return Status::Error("the connection to the host at " + where_ + " is closed");
    }
    std::string request = EscapeWireLine(text);
    request.push_back('\n');
    if (Status sent = WriteAll(request); !sent.ok()) return Broken(sent);
    if (Status read = ReadAnswer(); !read.ok()) return Broken(read);
    failed_ = false;
    return Status::Ok();
  }

  std::optional<int16_t> GetLineCount() override {
    if (failed_) return std::nullopt;
    return static_cast<int16_t>(lines_.size());
  }

  std::optional<std::string> GetLine(int16_t index) override {
    if (failed_ || index < 0 || static_cast<size_t>(index) >= lines_.size()) return std::nullopt;
    return lines_[static_cast<size_t>(index)];
  }

 private:
  Status Broken(Status why) {
    socket_.Close();
    lines_.clear();
    return why;
  }

  Status WriteAll(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::send(socket_.fd(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n > 0) {
        bytes.remove_prefix(static_cast<size_t>(n));
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        if (!WaitFor(socket_.fd(), POLLOUT, timeout_ms_)) return Failure("sending to", errno);
        continue;
      }
      return Failure("sending to", errno);
    }
    return Status::Ok();
  }

  Status Failure(std::string_view doing, int err) const {
    if (err == ETIMEDOUT) {
      return Status::Error("no answer from the host at " + where_ + " within " +
                           std::to_string(timeout_ms_ / 1000) + " s");
    }
    if (err == EPIPE || err == ECONNRESET) {
      return Status::Error("the host at " + where_ + " closed the connection");
    }
    return Status::Error("error " + std::string(doing) + " the host at " + where_ + ": " +
                         ErrnoText(err));
  }

  // The next LF-ended line from the connection.
  Status ReadLine(std::string* line) {
    while (true) {
      const size_t lf = buffer_.find('\n', pos_);
      if (lf != std::string::npos) {
        line->assign(buffer_, pos_, lf - pos_);
        pos_ = lf + 1;
        if (pos_ == buffer_.size()) {
          buffer_.clear();
          pos_ = 0;
        }
        return Status::Ok();
      }
      if (buffer_.size() - pos_ > kMaxAnswerBytes) {
        return Status::Error("the host at " + where_ + " sent an over-long line");
      }
      if (Status more = Receive(); !more.ok()) return more;
    }
  }

  Status Receive() {
    if (pos_ > 0) {
      buffer_.erase(0, pos_);
      pos_ = 0;
    }
    char chunk[16384];
    while (true) {
      // The answer is rarely there yet: wait first rather than try a read that would fail.
      if (!WaitFor(socket_.fd(), POLLIN, timeout_ms_)) return Failure("reading from", errno);
      const ssize_t n = ::recv(socket_.fd(), chunk, sizeof chunk, 0);
      if (n > 0) {
        buffer_.append(chunk, static_cast<size_t>(n));
        return Status::Ok();
      }
      if (n == 0) return Status::Error("the host at " + where_ + " closed the connection");
      if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
        return Failure("reading from", errno);
      }
    }
  }

  Status ReadAnswer() {
    std::string line;
    if (Status s = ReadLine(&line); !s.ok()) return s;
    const std::optional<size_t> count = ParseWireCount(line);
    // Lines are numbered with 16 bits: a larger count is no answer (and would reserve gigabytes).
    if (!count || *count > kMaxLines) {
      return Status::Error("the host at " + where_ + " sent a bad line count \"" + line + "\"");
    }
    std::vector<std::string> lines;
    lines.reserve(*count);
    for (size_t i = 0; i < *count; ++i) {
      if (Status s = ReadLine(&line); !s.ok()) return s;
      lines.push_back(UnescapeWireLine(line));
    }
    lines_ = std::move(lines);
    return Status::Ok();
  }

  Socket socket_;
  std::string where_;
  int timeout_ms_;
  std::string buffer_;
  size_t pos_ = 0;
  std::vector<std::string> lines_;
  bool failed_ = false;
};

}  // namespace

NetworkTerminalFactory::NetworkTerminalFactory(std::string host, uint16_t port, int timeout_seconds)
    : host_(std::move(host)), port_(port), timeout_ms_(std::max(timeout_seconds, 1) * 1000) {}

std::unique_ptr<Terminal> NetworkTerminalFactory::Create(Status* error) {
  const std::string where = host_ + ":" + std::to_string(port_);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port_);
  if (const int rc = ::getaddrinfo(host_.c_str(), service.c_str(), &hints, &found); rc != 0) {
    if (error != nullptr) {
      *error = Status::Error("cannot find the host " + host_ + ": " + ::gai_strerror(rc));
    }
    return nullptr;
  }
  int err = 0;
  Socket socket;
  for (const addrinfo* ai = found; ai != nullptr && !socket.valid(); ai = ai->ai_next) {
    socket = ConnectOne(*ai, timeout_ms_, &err);
  }
  ::freeaddrinfo(found);
  if (!socket.valid()) {
    if (error != nullptr) {
      *error = Status::Error(
          err == ETIMEDOUT ? "connecting to the host at " + where + " timed out after " +
                                 std::to_string(timeout_ms_ / 1000) + " s"
                           : "cannot connect to the host at " + where + ": " + ErrnoText(err));
    }
    return nullptr;
  }
  if (error != nullptr) *error = Status::Ok();
  return std::make_unique<NetworkTerminal>(std::move(socket), where, timeout_ms_);
}

bool ParseHostPort(std::string_view text, std::string* host, uint16_t* port) {
  const size_t colon = text.rfind(':');
  if (colon == std::string_view::npos || colon == 0) return false;
  const std::string_view digits = text.substr(colon + 1);
  if (digits.empty() || digits.size() > 5) return false;
  unsigned value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value > 65535) return false;
  std::string_view name = text.substr(0, colon);
  if (name.size() > 2 && name.front() == '[' && name.back() == ']') {
    name = name.substr(1, name.size() - 2);
  }
  *host = std::string(name);
  *port = static_cast<uint16_t>(value);
  return true;
}

}  // namespace ambervale
