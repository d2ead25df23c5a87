#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>

#include "testing/temp_dir.h"

namespace ambervale {
namespace {

// Runs `child` in a forked process and returns its exit code (-1 when it did not exit).
template <typename F>
int InChild(F child) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(child());
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST(SingleInstanceLockTest, SecondHolderIsRefusedUntilTheFirstLetsGo) {
  TempDir dir;
  std::optional<SingleInstanceLock> first = SingleInstanceLock::TryAcquire(dir.path());
  ASSERT_TRUE(first.has_value());
  EXPECT_TRUE(first->held());
  EXPECT_TRUE(dir.Exists(kSingleInstanceLockName));
  // Another open of the file in this process stands for a second copy of the program.
  EXPECT_FALSE(SingleInstanceLock::TryAcquire(dir.path()).has_value());
  EXPECT_EQ(InChild([&] { return SingleInstanceLock::TryAcquire(dir.path()) ? 0 : 7; }), 7);

  SingleInstanceLock moved = std::move(*first);
  first.reset();
  EXPECT_FALSE(SingleInstanceLock::TryAcquire(dir.path()).has_value());  // still held

  { SingleInstanceLock gone = std::move(moved); }
  EXPECT_TRUE(SingleInstanceLock::TryAcquire(dir.path()).has_value());
}

TEST(SingleInstanceLockTest, ACrashedHolderLeavesNoLockBehind) {
  TempDir dir;
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    auto lock = SingleInstanceLock::TryAcquire(dir.path());
    const char ok = lock && lock->held() ? 'y' : 'n';
    (void)!::write(ready[1], &ok, 1);
    ::pause();  // killed by the parent while holding the lock
    ::_exit(0);
  }
  ASSERT_GT(pid, 0);
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  EXPECT_EQ(ok, 'y');
  EXPECT_FALSE(SingleInstanceLock::TryAcquire(dir.path()).has_value());
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  EXPECT_TRUE(SingleInstanceLock::TryAcquire(dir.path()).has_value());
}

TEST(SingleInstanceLockTest, MissingFolderDoesNotStopTheProgram) {
  TempDir dir;
  auto lock = SingleInstanceLock::TryAcquire(dir.File("missing"));
  ASSERT_TRUE(lock.has_value());
  EXPECT_FALSE(lock->held());
}

}  // namespace
}  // namespace ambervale
