#include "sim/hostsim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string_view>

extern char** environ;

namespace ambervale::sim {
namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr std::string_view kListening = "listening on 127.0.0.1:";

// Reads the child's stdout until the listening line; its port, or 0.
uint16_t AwaitPort(int fd, std::string* seen) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
  while (true) {
    const size_t at = seen->find(kListening);
    if (at != std::string::npos) {
      const size_t end = seen->find('\n', at);
      if (end != std::string::npos) {
        const std::string digits =
            seen->substr(at + kListening.size(), end - at - kListening.size());
        const long port = std::strtol(digits.c_str(), nullptr, 10);
        return port > 0 && port <= 65535 ? static_cast<uint16_t>(port) : 0;
      }
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) return 0;
    pollfd p{fd, POLLIN, 0};
    const int n = ::poll(&p, 1, static_cast<int>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return 0;
    char chunk[512];
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got <= 0) return 0;
    seen->append(chunk, static_cast<size_t>(got));
  }
}

}  // namespace

std::unique_ptr<HostsimProcess> HostsimProcess::Start(const std::string& binary,
                                                      const std::vector<std::string>& args,
                                                      Status* error) {
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
    *error = Status::Error(std::string("pipe failed: ") + std::strerror(errno));
    return nullptr;
  }
  std::vector<std::string> all = {binary};
  all.insert(all.end(), args.begin(), args.end());
  all.push_back("--listen");
  all.push_back("127.0.0.1:0");
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipe_fds[1]);
  if (rc != 0) {
    ::close(pipe_fds[0]);
    *error = Status::Error("cannot start " + binary + ": " + std::strerror(rc));
    return nullptr;
  }
  std::unique_ptr<HostsimProcess> process(new HostsimProcess(pid, pipe_fds[0]));
  std::string seen;
  process->port_ = AwaitPort(pipe_fds[0], &seen);
  if (process->port_ == 0) {
    const int status = process->Stop();
    *error = Status::Error(binary + " did not report its port (exit status " +
                           std::to_string(status) + "); it wrote: " + seen);
    return nullptr;
  }
  *error = Status::Ok();
  return process;
}

int HostsimProcess::End(int signal) {
  if (exit_status_) return *exit_status_;
  ::kill(pid_, signal);
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  ::close(stdout_fd_);
  exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return *exit_status_;
}

HostsimProcess::~HostsimProcess() { End(SIGTERM); }

}  // namespace ambervale::sim
