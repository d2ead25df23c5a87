#include "logs/ring_log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/files.h"
#include "testing/fake_env.h"
#include "testing/fake_file_system.h"
#include "testing/temp_dir.h"

namespace ambervale::testing {
namespace {

using std::chrono::seconds;

std::string Name(int n) { return "debug_log_" + std::to_string(n) + ".txt"; }

class RingLogTest : public ::testing::Test {
 protected:
  TempDir dir_;
  FakeEnv env_;
  int32_t limit_ = 1000;
  RingLog ring_{env_, PosixFileSystem(), dir_.path(), "debug_log_", ".txt", 99, limit_};
};

TEST_F(RingLogTest, FailedWriteLosesOnlyThatLine) {
  FakeFileSystem files(env_);  // a full disk, on files in memory
  RingLog in_memory(env_, files, "/logs", "debug_log_", ".txt", 99, limit_);
  in_memory.WriteLine("kept");
  files.Fail(FileOp::kAppend, "/logs/" + Name(1));
  in_memory.WriteLine("lost: disk full");
  files.Heal();
  env_.Advance(1);
  in_memory.WriteLine("kept too");
  EXPECT_EQ(files.Contents("/logs/" + Name(1)), "kept\r\nkept too\r\n");
  EXPECT_FALSE(files.Contents("/logs/" + Name(2)));
}

// The number a fresh look at the folder picks: the newest regular file, ties to the higher
// number, 1 when none exists.
int ReferenceCurrent(const std::string& folder) {
  int best = 1;
  std::optional<TimePoint> newest;
  for (int n = 1; n <= 99; ++n) {
    const std::string path = folder + "/" + Name(n);
    const std::optional<TimePoint> t = FileExists(path) ? FileModified(path) : std::nullopt;
    if (t && (!newest || *t >= *newest)) newest = t, best = n;
  }
  return best;
}

// The current file is the newest (ties to the higher number), past the limit (strictly) the
// next; what the ring remembers between writes never differs from a fresh look at the folder,
// whatever other processes do to the files or the folder in between.
TEST_F(RingLogTest, AgreesWithAFreshLookAfterOutsideChanges) {
  limit_ = 40;
  std::mt19937 rng(20261206);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const std::string folder = dir_.path();
  for (int step = 0; step < 1500; ++step) {
    const int n = pick(1, 99);
    const std::string path = folder + "/" + Name(n);
    // Five times only, so that files often share the newest time.
    const TimePoint when = env_.Now() + seconds(50 * pick(-2, 2));
    const int what = pick(0, 5);
    if (what <= 1) {
      const int current = ReferenceCurrent(folder);
      const bool full = FileSize(folder + "/" + Name(current)).value_or(0) > limit_;
      const std::string line = "step " + std::to_string(step);
      ring_.WriteLine(line);
      ASSERT_TRUE(dir_.Read(Name(full ? current % 99 + 1 : current)).ends_with(line + "\r\n"))
          << "step " << step;
    } else if (what == 2 && FileExists(path)) {
      // Access and modification time, as `touch` sets them (the kernel reports a change of
      // attributes, not of content).
      const int64_t ns = when.time_since_epoch().count();
      const struct timespec ts = {static_cast<time_t>(ns / 1000000000), ns % 1000000000};
      const struct timespec times[2] = {ts, ts};
      ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    } else if (what == 3) {
      (void)DeleteFile(path);
    } else if (what == 4) {
      (void)AppendToFile(path, std::string(static_cast<size_t>(pick(0, 30)), 'y'));
      (void)SetFileModified(path, when);
    } else if (what == 5) {
      env_.Advance(pick(0, 3000));
    }
    ASSERT_EQ(ring_.CurrentPath(), folder + "/" + Name(ReferenceCurrent(folder)))
        << "step " << step << " after change " << what;
  }
}

// The names of changed files are checked through the ring
// (AgreesWithAFreshLookAfterOutsideChanges).
TEST(FolderWatchTest, ReportsEverythingWhenTheFolderIsGoneOrAnother) {
  TempDir dir;
  const std::string link = dir.File("logs");
  ASSERT_TRUE(CreateFolder(dir.File("a")) && CreateFolder(dir.File("b")));
  std::filesystem::create_directory_symlink(dir.File("a"), link);
  FolderWatch watch(link);
  EXPECT_TRUE(watch.Poll().everything);  // the first look
  EXPECT_FALSE(watch.Poll().everything);
  // The link now leads to another folder: nothing happened in the watched one.
  std::filesystem::remove(link);
  std::filesystem::create_directory_symlink(dir.File("b"), link);
  EXPECT_TRUE(watch.Poll().everything);
  std::filesystem::remove_all(dir.File("b"));
  EXPECT_TRUE(watch.Poll().everything);
}

}  // namespace
}  // namespace ambervale::testing
