#include "testing/loopback_port.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ambervale::testing {

LoopbackPort::LoopbackPort(bool listening) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      (listening && ::listen(fd_, 4) != 0) ||
      ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    ADD_FAILURE() << "cannot bind a loopback port";
  }
  port_ = ntohs(a.sin_port);
}

LoopbackPort::~LoopbackPort() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace ambervale::testing
