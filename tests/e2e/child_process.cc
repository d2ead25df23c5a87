#include "tests/e2e/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/files.h"

extern char** environ;

namespace ambervale::e2e {
namespace {

// The test's environment with `changes` applied ("NAME=value" entries).
std::vector<std::string> ChildEnvironment(const std::map<std::string, std::string>& changes) {
  std::vector<std::string> out;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    if (changes.count(name) == 0) out.push_back(entry);
  }
  for (const auto& [name, value] : changes) {
    if (!value.empty()) out.push_back(name + "=" + value);
  }
  return out;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (std::string& t : texts) out.push_back(t.data());
  out.push_back(nullptr);
  return out;
}

int Decode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

// Milliseconds left until `deadline`, at least 0.
int LeftMs(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
  return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::string& binary,
                                                  const ChildOptions& options, Status* error) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, options.stdout_file.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, options.stderr_file.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);

  std::vector<std::string> argv_texts = {binary};
  argv_texts.insert(argv_texts.end(), options.args.begin(), options.args.end());
  std::vector<std::string> env_texts = ChildEnvironment(options.env);
  std::vector<char*> argv = Pointers(argv_texts);
  std::vector<char*> envp = Pointers(env_texts);
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    *error = Status::Error("cannot start " + binary + ": " + std::strerror(rc));
    return nullptr;
  }
  const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  std::unique_ptr<ChildProcess> child(new ChildProcess(pid, pidfd));
  if (pidfd < 0) {
    *error = Status::Error(std::string("pidfd_open failed: ") + std::strerror(errno));
    return nullptr;  // the destructor kills and reaps the child
  }
  *error = Status::Ok();
  return child;
}

ChildProcess::~ChildProcess() {
  if (!exit_status_) Kill();
  if (pidfd_ >= 0) ::close(pidfd_);
}

std::optional<int> ChildProcess::Wait(int timeout_ms) {
  if (exit_status_) return exit_status_;
  if (pidfd_ >= 0) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (true) {
      pollfd p{pidfd_, POLLIN, 0};
      const int n = ::poll(&p, 1, LeftMs(deadline));
      if (n > 0) break;
      if (n == 0) return std::nullopt;
      if (errno != EINTR) return std::nullopt;
    }
  }
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0) {
    if (errno != EINTR) return std::nullopt;
  }
  exit_status_ = Decode(status);
  return exit_status_;
}

void ChildProcess::Signal(int signal) {
  if (!exit_status_) ::kill(pid_, signal);
}

int ChildProcess::Kill() {
  Signal(SIGKILL);
  return Wait(60000).value_or(-1);
}

RunResult RunProgram(const std::string& binary, const ChildOptions& options,
                     const std::string& output_stem, int timeout_ms) {
  const std::string& stem = output_stem;
  ChildOptions with_files = options;
  with_files.stdout_file = stem + ".out";
  with_files.stderr_file = stem + ".err";
  RunResult result;
  Status error;
  std::unique_ptr<ChildProcess> child = ChildProcess::Start(binary, with_files, &error);
  if (child == nullptr) {
    result.err = error.message();
    return result;
  }
  const std::optional<int> code = child->Wait(timeout_ms);
  if (!code) child->Kill();
  result.code = code.value_or(-1);
  result.out = ReadFile(with_files.stdout_file).value_or("");
  result.err = ReadFile(with_files.stderr_file).value_or("");
  return result;
}

}  // namespace ambervale::e2e
