#include "logs/folder_watch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/files.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

bool Names(const FolderWatch::Changes& c, const std::string& name) {
  return !c.everything && std::find(c.names.begin(), c.names.end(), name) != c.names.end();
}

TEST(FolderWatchTest, ReportsChangedNamesAfterTheFirstLook) {
  TempDir dir;
  FolderWatch watch(dir.path());
  EXPECT_TRUE(watch.Poll().everything);
  const FolderWatch::Changes quiet = watch.Poll();
  EXPECT_FALSE(quiet.everything);
  EXPECT_TRUE(quiet.names.empty());
  dir.Write("a.txt", "x");
  EXPECT_TRUE(Names(watch.Poll(), "a.txt"));
  ASSERT_TRUE(DeleteFile(dir.File("a.txt")));
  EXPECT_TRUE(Names(watch.Poll(), "a.txt"));
}

TEST(FolderWatchTest, AnswersEverythingWhenTheFolderIsGoneOrAnother) {
  TempDir dir;
  const std::string a = dir.File("a");
  const std::string b = dir.File("b");
  const std::string link = dir.File("logs");
  ASSERT_TRUE(CreateFolder(a));
  ASSERT_TRUE(CreateFolder(b));
  std::filesystem::create_directory_symlink(a, link);
  FolderWatch watch(link);
  (void)watch.Poll();
  ASSERT_FALSE(watch.Poll().everything);

  // The link now leads to another folder: nothing happened in the watched one.
  std::filesystem::remove(link);
  std::filesystem::create_directory_symlink(b, link);
  EXPECT_TRUE(watch.Poll().everything);
  EXPECT_FALSE(watch.Poll().everything);

  std::filesystem::remove_all(b);
  EXPECT_TRUE(watch.Poll().everything);
  EXPECT_TRUE(watch.Poll().everything);  // still missing
  ASSERT_TRUE(CreateFolder(b));
  EXPECT_TRUE(watch.Poll().everything);
  EXPECT_FALSE(watch.Poll().everything);
}

}  // namespace
}  // namespace ambervale
