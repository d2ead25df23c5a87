// The real file system: the helpers, the seam's failure texts and the single-instance lock.

#include "platform/files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/single_instance.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

TEST(FilesTest, BytesAsGivenAndNothingLeftBehind) {
  TempDir dir;
  const std::string path = dir.File("a.txt");
  const std::string bytes("line\r\n\0\xB7\xFF", 9);
  EXPECT_TRUE(AppendToFile(path, bytes) && AppendToFile(path, "more"));
  EXPECT_EQ(ReadFile(path), bytes + "more");
  EXPECT_EQ(FileSize(path), 13);
  EXPECT_TRUE(WriteFileAtomically(path, "atomic"));
  EXPECT_EQ(ReadFile(path), "atomic");
  EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"a.txt"});  // no temporary left
  EXPECT_EQ(ReadFile(dir.path()), std::nullopt);
  EXPECT_TRUE(CreateFolder(dir.File("logs")) && CreateFolder(dir.File("logs")));
  EXPECT_FALSE(CreateFolder(dir.File("a.txt")));
  EXPECT_FALSE(FileExists(dir.File("logs")));
  EXPECT_TRUE(DeleteFile(path) && DeleteFile(path));  // nothing left: true
  EXPECT_FALSE(DeleteFile(dir.File("logs")));         // a folder is not removed

  const TimePoint t(std::chrono::seconds(1700000000) + std::chrono::nanoseconds(5));
  const TimePoint before_epoch(std::chrono::nanoseconds(-1500000000));
  dir.Write("b.txt", "x");
  for (const TimePoint when : {t, before_epoch}) {
    ASSERT_TRUE(SetFileModified(dir.File("b.txt"), when));
    EXPECT_EQ(FileModified(dir.File("b.txt")), when);
  }
  EXPECT_FALSE(SetFileModified(dir.File("missing"), t));
}

// The seam's failures name the path and the reason: they go into the logs as they are.
TEST(FilesTest, FailuresNameThePathAndTheReason) {
  TempDir dir;
  const std::string path = dir.File("no/such/folder/a.txt");
  FileSystem& files = PosixFileSystem();
  EXPECT_EQ(files.Append(path, "x").message(),
            "cannot open " + path + ": No such file or directory");
  EXPECT_EQ(files.WriteAtomically(path, "x").message(), "cannot create " + path + ".tmp" +
                                                            std::to_string(::getpid()) +
                                                            ": No such file or directory");
  std::string bytes;
  EXPECT_EQ(files.Read(dir.path(), &bytes).message(),
            "cannot read " + dir.path() + ": Is a directory");
  FileInfo info;
  EXPECT_TRUE(files.Stat(path, &info).ok());  // nothing there is no failure
  EXPECT_EQ(info.kind, FileInfo::Kind::kMissing);
}

TEST(SingleInstanceLockTest, HeldUntilItsLastOwnerLetsGoOrDies) {
  TempDir dir;
  const auto try_lock = [&dir] { return SingleInstanceLock::TryAcquire(dir.path()); };
  std::optional<SingleInstanceLock> first = try_lock();
  ASSERT_TRUE(first.has_value() && first->held());
  EXPECT_FALSE(try_lock().has_value());  // another open in this process: a second copy
  SingleInstanceLock moved = std::move(*first);
  first.reset();
  EXPECT_FALSE(try_lock().has_value());  // still held by the moved-to object
  { SingleInstanceLock gone = std::move(moved); }

  // A process killed while it holds the lock leaves none behind.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const auto lock = try_lock();
    const char ok = lock && lock->held() ? 'y' : 'n';
    (void)!::write(ready[1], &ok, 1);
    ::pause();
    ::_exit(0);
  }
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  EXPECT_EQ(ok, 'y');
  EXPECT_FALSE(try_lock().has_value());
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  EXPECT_TRUE(try_lock().has_value());

  // A folder where no lock file can be made does not stop the program.
  const auto nowhere = SingleInstanceLock::TryAcquire(dir.File("missing"));
  ASSERT_TRUE(nowhere.has_value());
  EXPECT_FALSE(nowhere->held());
}

}  // namespace
}  // namespace ambervale
