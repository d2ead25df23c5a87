#include "logs/logs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "logs/csv_ring_log.h"
#include "logs/run_log_reader.h"
#include "platform/files.h"
#include "testing/fake_env.h"
#include "testing/temp_dir.h"

namespace ambervale::testing {
namespace {

constexpr std::string_view kSep = "\r\n************************\r\n";

class LogsTest : public ::testing::Test {
 protected:
  std::string RunLog() const { return UnscrambleRunLog(dir_.Read("Ambervale_LOG_1.dat")); }

  TempDir dir_;
  FakeEnv env_;
  Logs logs_{env_, dir_.path()};
};

// Each ring starts with file 1; past the size limit (0 here) each file is followed by the next,
// and the last by file 1, emptied first. The file just written stays the newest although the
// file before it is dated an hour ahead (a clock behind the files, or coarse file times).
TEST_F(LogsTest, EachMemberWritesItsOwnRing) {
  const struct {
    const char* prefix;
    int ring;
    std::function<void(Logs&, std::string_view)> write;
  } kCases[] = {
      {"debug_log_", 99, [](Logs& l, std::string_view t) { l.WriteDebugLog(t); }},
      {"Success_PNR_", 5,
       [](Logs& l, std::string_view t) { l.WriteRunLogScreen(t, kSuccessPrefix); }},
  };
  for (const auto& c : kCases) {
    const auto file = [&c](int n) { return c.prefix + std::to_string(n) + ".txt"; };
    TempDir dir;
    Logs logs(env_, dir.path());
    c.write(logs, "caf\xE9 \xB7 line");  // bytes as given, Windows-1252
    EXPECT_EQ(dir.Read(file(1)), "caf\xE9 \xB7 line\r\n") << c.prefix;
    dir.Write(file(c.ring - 1), "full\r\n");
    ASSERT_TRUE(SetFileModified(dir.File(file(c.ring - 1)), env_.Now() + std::chrono::hours(1)));
    c.write(logs, "last");
    c.write(logs, "first again");
    EXPECT_EQ(dir.Read(file(c.ring)), "last\r\n") << c.prefix;
    EXPECT_EQ(dir.Read(file(1)), "first again\r\n") << c.prefix;
  }
}

// A start banner on a used run log, and the first screen of a fresh one, get a separator. The run
// log is scrambled and starts over past 50 MB (the rings' size limit, 0 here, does not apply).
TEST_F(LogsTest, RunLogRecordsSeparatorsScramblingAndLimit) {
  logs_.WriteRunLog("Application Started:", kRunLogPrefix);
  logs_.WriteRunLog("loading", kRunLogPrefix);
  logs_.WriteRunLogScreen("SCREEN ONE", kRunLogPrefix);
  logs_.WriteRunLog("x Application Started: again", kRunLogPrefix);
  logs_.WriteRunLog("application started", kRunLogPrefix);  // case matters
  EXPECT_EQ(RunLog(), "Application Started:\r\nloading\r\nSCREEN ONE\r\n" + std::string(kSep) +
                          "x Application Started: again\r\napplication started\r\n");

  std::filesystem::resize_file(logs_.RunLogPath(), 0);  // an emptied file counts as fresh
  logs_.WriteRunLogScreen("LINE 1\r\nLINE 2", kRunLogPrefix);
  EXPECT_EQ(RunLog(), std::string(kSep) + "LINE 1\r\nLINE 2\r\n");

  ASSERT_TRUE(DeleteFile(logs_.RunLogPath()));
  logs_.WriteRunLog("A p", kRunLogPrefix);
  logs_.WriteRunLog("b", kRunLogPrefix);
  // 'A' ^ 'p' = '1', ' ' ^ 'p' = 'P', 'p' ^ 'p' = NUL, CR ^ 'p' = '}', LF ^ 'p' = 'z'.
  EXPECT_EQ(dir_.Read("Ambervale_LOG_1.dat"), std::string("1P\0}z\x12}z", 8));

  const std::string path = logs_.RunLogPath();
  std::filesystem::resize_file(path, 50'000'000);  // sparse: exactly at the limit
  logs_.WriteRunLog("kept", kRunLogPrefix);
  EXPECT_EQ(FileSize(path), 50'000'006);
  logs_.WriteRunLog("Application Started:", kRunLogPrefix);
  EXPECT_EQ(RunLog(), "Application Started:\r\n");
}

// Header, then status (the unticketed runs hold the order, the two empty lines before a later
// report and the temporary files' going); a later report starts a new file past the size limit
// with the two empty lines too. A missing block writes nothing and deletes
// nothing; no status copies the header and keeps both; other line ends become CR LF.
TEST_F(LogsTest, UnticketedReportCopiesHeaderThenStatus) {
  const auto start = [this] {
    logs_.ClearUnticketedTemp();
    logs_.AppendUnticketedHeader("XML Ambervale activity log,,,");
    logs_.AppendUnticketedStatus("PCC,PNR,Destination Queue,");
  };
  const std::string report = "XML Ambervale activity log,,,\r\nPCC,PNR,Destination Queue,\r\n";
  logs_.SetSizeLimit(10);
  for (int i = 0; i < 2; ++i) {
    start();
    EXPECT_TRUE(logs_.BuildUnticketedReport());
  }
  EXPECT_EQ(dir_.Read("Unticketed_PNR_Log_2.csv"), "\r\n\r\n" + report);
  EXPECT_EQ(logs_.UnticketedReportPath(), dir_.File("Unticketed_PNR_Log_2.csv"));

  start();
  ASSERT_TRUE(DeleteFile(dir_.File("tempHeader.txt")));
  EXPECT_FALSE(logs_.BuildUnticketedReport());
  EXPECT_TRUE(dir_.Exists("tempHeaderStatus.txt"));
  logs_.ClearUnticketedTemp();
  dir_.Write("tempHeader.txt", "a\nb\rc\r\nd");
  EXPECT_FALSE(logs_.BuildUnticketedReport());
  EXPECT_EQ(dir_.Read("Unticketed_PNR_Log_3.csv"), "\r\n\r\na\r\nb\r\nc\r\nd\r\n");
  EXPECT_TRUE(dir_.Exists("tempHeader.txt"));
}

TEST_F(LogsTest, EveryFileOfACsvRingStartsWithTheHeader) {
  logs_.SetSizeLimit(10);
  CsvRingLog ring(logs_, "Summary_", {"Start", "Agent id"});
  EXPECT_TRUE(ring.WriteRows({{"a", "x,y"}, {"b", "say \"hi\""}}));
  EXPECT_TRUE(ring.WriteRows({{"c", "1"}}));
  EXPECT_EQ(dir_.Read("Summary_1.csv"), "Start,Agent id\r\na,\"x,y\"\r\nb,\"say \"\"hi\"\"\"\r\n");
  EXPECT_EQ(dir_.Read("Summary_2.csv"), "Start,Agent id\r\nc,1\r\n");
}

}  // namespace
}  // namespace ambervale::testing
