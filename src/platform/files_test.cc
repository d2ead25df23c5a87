#include "platform/files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

TEST(FilesTest, Paths) {
  EXPECT_EQ(JoinPath("/a/b", "c.txt"), "/a/b/c.txt");
  EXPECT_EQ(JoinPath("/a/b/", "c.txt"), "/a/b/c.txt");
  EXPECT_EQ(JoinPath("", "c.txt"), "c.txt");
  EXPECT_EQ(AbsolutePath("/x/y"), "/x/y");
  char cwd[4096];
  ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(AbsolutePath("tasks.csv"), std::string(cwd) + "/tasks.csv");
}

TEST(FilesTest, KindsAndFolders) {
  TempDir dir;
  dir.Write("f.txt", "x");
  EXPECT_TRUE(FileExists(dir.File("f.txt")));
  EXPECT_FALSE(FileExists(dir.path()));
  EXPECT_FALSE(FileExists(dir.File("missing.txt")));
  EXPECT_TRUE(FolderExists(dir.path()));
  EXPECT_FALSE(FolderExists(dir.File("f.txt")));
  EXPECT_EQ(FileSize(dir.path()), std::nullopt);
  EXPECT_EQ(FileSize(dir.File("missing.txt")), std::nullopt);
  const std::string logs = dir.File("logs");
  EXPECT_TRUE(CreateFolder(logs));
  EXPECT_TRUE(CreateFolder(logs));  // true when the folder is there afterwards
  EXPECT_FALSE(CreateFolder(dir.File("f.txt")));
  EXPECT_FALSE(CreateFolder(dir.File("no/such/parent")));
  dir.Write("logs/sub/c.txt", "");
  std::vector<std::string> names = ListFolder(dir.path());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"f.txt", "logs"}));  // names only
  EXPECT_TRUE(ListFolder(dir.File("missing")).empty());
}

TEST(FilesTest, WritesAppendsAndReadsBytesAsGiven) {
  TempDir dir;
  const std::string path = dir.File("a.txt");
  const std::string bytes("line\r\n\0\xB7\xFF", 9);
  EXPECT_TRUE(AppendToFile(path, bytes));
  EXPECT_TRUE(AppendToFile(path, "more"));
  EXPECT_EQ(ReadFile(path), bytes + "more");
  EXPECT_EQ(FileSize(path), 13);
  EXPECT_TRUE(WriteFile(path, "new"));
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_TRUE(WriteFileAtomically(path, "atomic"));
  EXPECT_EQ(ReadFile(path), "atomic");
  EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"a.txt"});  // no temporary left
  EXPECT_EQ(ReadFile(dir.File("missing")), std::nullopt);
  EXPECT_EQ(ReadFile(dir.path()), std::nullopt);
  EXPECT_TRUE(DeleteFile(path));
  EXPECT_FALSE(dir.Exists("a.txt"));
  EXPECT_TRUE(DeleteFile(path));         // nothing left: true
  EXPECT_FALSE(DeleteFile(dir.path()));  // a folder is not removed
}

// The seam's failures name the path and the reason: they go into the logs as they are.
TEST(FilesTest, FailuresNameThePathAndTheReason) {
  TempDir dir;
  const std::string path = dir.File("no/such/folder/a.txt");
  EXPECT_FALSE(WriteFile(path, "x"));
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

TEST(FilesTest, ModifiedTimeRoundTrips) {
  TempDir dir;
  dir.Write("a.txt", "x");
  const TimePoint t = TimePoint(std::chrono::seconds(1700000000) + std::chrono::nanoseconds(5));
  ASSERT_TRUE(SetFileModified(dir.File("a.txt"), t));
  EXPECT_EQ(FileModified(dir.File("a.txt")), t);
  const TimePoint before_epoch = TimePoint(std::chrono::nanoseconds(-1500000000));
  ASSERT_TRUE(SetFileModified(dir.File("a.txt"), before_epoch));
  EXPECT_EQ(FileModified(dir.File("a.txt")), before_epoch);
  EXPECT_EQ(FileModified(dir.File("missing")), std::nullopt);
  EXPECT_FALSE(SetFileModified(dir.File("missing"), t));
}

}  // namespace
}  // namespace ambervale
