#include "logs/ring_log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/files.h"
#include "testing/fake_env.h"
#include "testing/fake_file_system.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

using std::chrono::seconds;

std::string Name(int n) { return "debug_log_" + std::to_string(n) + ".txt"; }

class RingLogTest : public ::testing::Test {
 protected:
  RingLogTest() : ring_(env_, PosixFileSystem(), dir_.path(), "debug_log_", ".txt", 99, limit_) {}

  // Writes `content` to file n with the modification time base + `offset`.
  void Put(int n, std::string_view content, seconds offset) {
    dir_.Write(Name(n), content);
    ASSERT_TRUE(SetFileModified(dir_.File(Name(n)), base_ + offset));
  }

  TempDir dir_;
  FakeEnv env_;
  int32_t limit_ = 1000;
  RingLog ring_;
  const TimePoint base_ = env_.Now() - std::chrono::hours(1);
};

TEST_F(RingLogTest, EmptyFolderStartsWithFileOneStampedByTheEnvClock) {
  env_.Advance(1234);
  ring_.WriteLine("first");
  EXPECT_EQ(dir_.Read(Name(1)), "first\r\n");
  EXPECT_EQ(std::filesystem::directory_iterator(dir_.path())->path().filename(), Name(1));
  EXPECT_EQ(FileModified(dir_.File(Name(1))), env_.Now());
}

TEST_F(RingLogTest, WritesToTheMostRecentlyModifiedFile) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> files;  // number, seconds after base
    int expected;
  };
  const Case kCases[] = {
      {"7 newest", {{3, 10}, {7, 20}}, 7},
      {"3 newest", {{3, 20}, {7, 10}}, 3},
      {"equal times go to the higher number", {{3, 10}, {7, 10}}, 7},
      {"1 and 99 equal", {{1, 5}, {99, 5}}, 99},
      {"only 42", {{42, 0}}, 42},
  };
  for (const Case& c : kCases) {
    TempDir dir;
    RingLog ring(env_, PosixFileSystem(), dir.path(), "debug_log_", ".txt", 99, limit_);
    for (const auto& [n, offset] : c.files) {
      dir.Write(Name(n), "old\r\n");
      ASSERT_TRUE(SetFileModified(dir.File(Name(n)), base_ + seconds(offset)));
    }
    EXPECT_EQ(ring.CurrentPath(), dir.File(Name(c.expected))) << c.what;
    ring.WriteLine("new");
    EXPECT_EQ(dir.Read(Name(c.expected)), "old\r\nnew\r\n") << c.what;
  }
}

TEST_F(RingLogTest, TouchingAnotherFileBetweenWritesMovesTheNextLine) {
  Put(3, "", seconds(0));
  Put(7, "", seconds(10));
  ring_.WriteLine("a");
  ASSERT_TRUE(SetFileModified(dir_.File(Name(3)), env_.Now() + seconds(5)));
  ring_.WriteLine("b");
  EXPECT_EQ(dir_.Read(Name(7)), "a\r\n");
  EXPECT_EQ(dir_.Read(Name(3)), "b\r\n");
}

TEST_F(RingLogTest, SizeLimitIsStrictlyGreater) {
  const struct {
    int32_t limit;
    int size;
    int expected;
  } kCases[] = {{10, 10, 1}, {10, 11, 2}, {0, 0, 1}, {0, 1, 2}};
  for (const auto& c : kCases) {
    TempDir dir;
    int32_t limit = c.limit;
    RingLog ring(env_, PosixFileSystem(), dir.path(), "debug_log_", ".txt", 99, limit);
    dir.Write(Name(1), std::string(static_cast<size_t>(c.size), 'x'));
    dir.Write(Name(2), "stale\r\n");
    ASSERT_TRUE(SetFileModified(dir.File(Name(2)), base_));
    ring.WriteLine("z");
    const std::string expected_2 = c.expected == 2 ? "z\r\n" : "stale\r\n";
    EXPECT_EQ(dir.Read(Name(2)), expected_2) << "limit " << c.limit << " size " << c.size;
    EXPECT_EQ(FileSize(dir.File(Name(1))), c.size + (c.expected == 1 ? 3 : 0));
  }
}

// With the setting unread the limit is 0: every file holds one line and the ring cycles,
// even though the fake clock never moves between the writes.
TEST_F(RingLogTest, ZeroLimitCyclesOneLinePerFile) {
  limit_ = 0;
  for (int i = 1; i <= 101; ++i) ring_.WriteLine("line " + std::to_string(i));
  EXPECT_EQ(dir_.Read(Name(1)), "line 100\r\n");
  EXPECT_EQ(dir_.Read(Name(2)), "line 101\r\n");
  EXPECT_EQ(dir_.Read(Name(3)), "line 3\r\n");
  EXPECT_EQ(dir_.Read(Name(99)), "line 99\r\n");
}

TEST_F(RingLogTest, FullFile99WrapsToAnEmptiedFileOne) {
  limit_ = 10;
  Put(1, "oldest content\r\n", seconds(0));
  for (int n = 2; n <= 98; ++n) Put(n, "x\r\n", seconds(n));
  Put(99, "more than ten bytes\r\n", seconds(100));
  ring_.WriteLine("wrapped");
  EXPECT_EQ(dir_.Read(Name(1)), "wrapped\r\n");
  EXPECT_EQ(dir_.Read(Name(99)), "more than ten bytes\r\n");
}

// A file system with coarse times (or a clock behind the files) gives the file just started
// the same time as the full file 99; file 1 must still stay current, or the next write would
// go back to 99, move on again and delete file 1's line.
TEST_F(RingLogTest, FileJustWrittenStaysCurrentWhenTheClockIsBehind) {
  limit_ = 10;
  Put(99, "more than ten bytes\r\n", seconds(0));
  ASSERT_TRUE(SetFileModified(dir_.File(Name(99)), env_.Now() + seconds(30)));
  ring_.WriteLine("one");
  ring_.WriteLine("two");
  EXPECT_EQ(dir_.Read(Name(1)), "one\r\ntwo\r\n");
  EXPECT_GT(FileModified(dir_.File(Name(1))), FileModified(dir_.File(Name(99))));
}

TEST_F(RingLogTest, FailedWriteLosesOnlyThatLine) {
  TempDir parent;
  const std::string folder = parent.File("logs");
  RingLog ring(env_, PosixFileSystem(), folder, "debug_log_", ".txt", 99, limit_);
  ring.WriteLine("lost: folder missing");
  ASSERT_TRUE(CreateFolder(folder));
  ring.WriteLine("kept");
  EXPECT_EQ(parent.Read("logs/" + Name(1)), "kept\r\n");

  // A full disk, on files in memory: every look at the ring is fresh there.
  FakeFileSystem files(env_);
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

TEST_F(RingLogTest, LocateReportsTheTargetBeforeTheWrite) {
  ASSERT_TRUE(CreateFolder(dir_.File(Name(6))));  // not a file: not part of the ring
  limit_ = 3;
  Put(4, "abcd", seconds(0));
  Put(5, "stale", seconds(-10));
  const RingLog::Target t = ring_.Locate();
  EXPECT_EQ(t.number, 5);
  EXPECT_EQ(t.path, dir_.File(Name(5)));
  EXPECT_EQ(t.size_before, 0);
  EXPECT_FALSE(dir_.Exists(Name(5)));  // emptied by moving on
  EXPECT_TRUE(ring_.Append(t, "x").ok());
  EXPECT_EQ(dir_.Read(Name(5)), "x");
}

// Sets both access and modification time, as `touch` does (the kernel reports that as a
// change of attributes, not of content).
void Touch(const std::string& path, TimePoint t) {
  const int64_t ns = t.time_since_epoch().count();
  const struct timespec ts = {static_cast<time_t>(ns / 1000000000), ns % 1000000000};
  const struct timespec times[2] = {ts, ts};
  (void)::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// The number a fresh look at the folder picks: the newest regular file, ties to the higher
// number, 1 when none exists.
int ReferenceCurrent(const std::string& folder) {
  int best = 1;
  std::optional<TimePoint> newest;
  for (int n = 1; n <= 99; ++n) {
    const std::string path = folder + "/" + Name(n);
    if (!FileExists(path)) continue;
    const std::optional<TimePoint> t = FileModified(path);
    if (t && (!newest || *t >= *newest)) {
      newest = t;
      best = n;
    }
  }
  return best;
}

// What the ring remembers between writes must never differ from a fresh look at the folder,
// whatever other processes do to the files or the folder in between.
TEST_F(RingLogTest, AgreesWithAFreshLookAfterOutsideChanges) {
  limit_ = 40;
  std::mt19937 rng(20261206);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const std::string folder = dir_.path();
  for (int step = 0; step < 1500; ++step) {
    const int n = pick(1, 99);
    const std::string path = folder + "/" + Name(n);
    const TimePoint when = env_.Now() + seconds(pick(-100, 100));
    std::string what;
    switch (pick(0, 7)) {
      case 0:
      case 1: {
        const int current = ReferenceCurrent(folder);
        const bool full = FileSize(folder + "/" + Name(current)).value_or(0) > limit_;
        const int target = full ? current % 99 + 1 : current;
        const std::string line = "step " + std::to_string(step);
        ring_.WriteLine(line);
        ASSERT_TRUE(dir_.Read(Name(target)).ends_with(line + "\r\n")) << "step " << step;
        what = "write";
        break;
      }
      case 2:
        if (FileExists(path)) Touch(path, when);
        what = "touch " + Name(n);
        break;
      case 3:
        (void)DeleteFile(path);
        what = "delete " + Name(n);
        break;
      case 4:
        (void)AppendToFile(path, std::string(static_cast<size_t>(pick(0, 30)), 'y'));
        (void)SetFileModified(path, when);
        what = "outside write " + Name(n);
        break;
      case 5: {
        // A file prepared elsewhere in the folder is renamed onto a name of the ring.
        const std::string incoming = folder + "/incoming.tmp";
        ASSERT_TRUE(WriteFile(incoming, "z"));
        (void)SetFileModified(incoming, when);
        std::filesystem::rename(incoming, path);
        what = "rename onto " + Name(n);
        break;
      }
      case 6:
        if (pick(0, 20) == 0) {
          // The whole folder is moved away and a new one with a single file takes its place.
          std::filesystem::rename(folder, folder + ".old");
          ASSERT_TRUE(CreateFolder(folder));
          dir_.Write(Name(n), "fresh");
          (void)SetFileModified(path, when);
          std::filesystem::remove_all(folder + ".old");
          what = "folder replaced";
        }
        break;
      default:
        env_.Advance(pick(0, 3000));
        what = "clock";
        break;
    }
    ASSERT_EQ(ring_.CurrentPath(), folder + "/" + Name(ReferenceCurrent(folder)))
        << "step " << step << " after " << what;
  }
}

}  // namespace
}  // namespace ambervale
