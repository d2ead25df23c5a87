#include "tests/e2e/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

extern char** environ;

namespace ambervale::e2e {

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::string& binary,
                                                  const std::vector<std::string>& args,
                                                  const std::map<std::string, std::string>& env,
                                                  const std::string& output_stem) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  const std::pair<int, std::string> outputs[] = {{STDOUT_FILENO, output_stem + ".out"},
                                                 {STDERR_FILENO, output_stem + ".err"}};
  for (const auto& [fd, path] : outputs) {
    posix_spawn_file_actions_addopen(&actions, fd, path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
  }
  // env(1) sets the variables and becomes the program (same process).
  std::vector<std::string> texts = {"/usr/bin/env"};
  for (const auto& [name, value] : env) texts.push_back(name + "=" + value);
  texts.push_back(binary);
  texts.insert(texts.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& t : texts) argv.push_back(t.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return nullptr;
  std::unique_ptr<ChildProcess> child(
      new ChildProcess(pid, static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))));
  return child->pidfd_ < 0 ? nullptr : std::move(child);  // the destructor reaps the child
}

ChildProcess::~ChildProcess() {
  if (!exit_status_) Kill();
  if (pidfd_ >= 0) ::close(pidfd_);
}

std::optional<int> ChildProcess::Wait(int timeout_ms) {
  if (exit_status_) return exit_status_;
  pollfd p{pidfd_, POLLIN, 0};
  int n;
  while ((n = ::poll(&p, 1, timeout_ms)) < 0 && errno == EINTR) {
  }
  int status = 0;
  if (n <= 0 || ::waitpid(pid_, &status, 0) < 0) return std::nullopt;
  exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return exit_status_;
}

int ChildProcess::Kill() {
  if (!exit_status_) ::kill(pid_, SIGKILL);
  return Wait(60000).value_or(-1);
}

}  // namespace ambervale::e2e
