#include "logs/logs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "logs/csv_ring_log.h"
#include "logs/run_log_reader.h"
#include "platform/files.h"
#include "testing/fake_env.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

constexpr std::string_view kSep = "\r\n************************\r\n";

class LogsTest : public ::testing::Test {
 protected:
  LogsTest() : logs_(env_, dir_.path()) { logs_.SetSizeLimit(1000); }

  std::string ClearRunLog() const { return UnscrambleRunLog(dir_.Read("Ambervale_LOG_1.dat")); }

  TempDir dir_;
  FakeEnv env_;
  Logs logs_;
};

// Each ring starts with file 1; past the size limit (0 here) each file is followed by the next,
// and the last by file 1.
TEST_F(LogsTest, EachMemberWritesItsOwnRing) {
  const struct {
    const char* prefix;
    int ring;
    std::function<void(Logs&, std::string_view)> write;
  } kCases[] = {
      {"debug_log_", 99, [](Logs& l, std::string_view t) { l.WriteDebugLog(t); }},
      {"action_log_", 99, [](Logs& l, std::string_view t) { l.WriteActionLogFile(t); }},
      {"Failed_PNR_", 99, [](Logs& l, std::string_view t) { l.WriteFailedPnrLog(t); }},
      {"Success_PNR_", 5,
       [](Logs& l, std::string_view t) { l.WriteRunLogScreen(t, kSuccessPrefix); }},
  };
  for (const auto& c : kCases) {
    const auto file = [&c](int n) { return c.prefix + std::to_string(n) + ".txt"; };
    TempDir dir;
    Logs logs(env_, dir.path());
    c.write(logs, "caf\xE9 \xB7 line");  // bytes as given, Windows-1252
    EXPECT_EQ(dir.Read(file(1)), "caf\xE9 \xB7 line\r\n") << c.prefix;
    EXPECT_EQ(ListFolder(dir.path()).size(), 1u) << c.prefix;

    logs.SetSizeLimit(0);
    dir.Write(file(c.ring - 1), "full\r\n");
    ASSERT_TRUE(SetFileModified(dir.File(file(c.ring - 1)), env_.Now() + std::chrono::hours(1)));
    c.write(logs, "last");
    c.write(logs, "first again");
    EXPECT_EQ(dir.Read(file(c.ring)), "last\r\n") << c.prefix;
    EXPECT_EQ(dir.Read(file(1)), "first again\r\n") << c.prefix;
  }
}

TEST_F(LogsTest, FirstStartBannerOnAMissingRunLogHasNoSeparator) {
  logs_.WriteRunLog("2026/12/06 10:00:00 - Application Started:", kRunLogPrefix);
  EXPECT_EQ(ClearRunLog(), "2026/12/06 10:00:00 - Application Started:\r\n");
  EXPECT_EQ(logs_.RunLogPath(), dir_.File("Ambervale_LOG_1.dat"));
}

TEST_F(LogsTest, RunLogSeparatorRules) {
  logs_.WriteRunLog("Application Started:", kRunLogPrefix);
  logs_.WriteRunLog("loading", kRunLogPrefix);
  logs_.WriteRunLogScreen("SCREEN ONE", kRunLogPrefix);
  logs_.WriteRunLog("x Application Started: again", kRunLogPrefix);
  logs_.WriteRunLog("application started", kRunLogPrefix);  // case matters
  EXPECT_EQ(ClearRunLog(), "Application Started:\r\nloading\r\nSCREEN ONE\r\n" + std::string(kSep) +
                               "x Application Started: again\r\napplication started\r\n");
}

TEST_F(LogsTest, FirstScreenOfAFreshRunLogGetsTheSeparator) {
  logs_.WriteRunLogScreen("LINE 1\r\nLINE 2", kRunLogPrefix);
  EXPECT_EQ(ClearRunLog(), std::string(kSep) + "LINE 1\r\nLINE 2\r\n");
}

TEST_F(LogsTest, RunLogIsStoredScrambled) {
  logs_.WriteRunLog("A p", kRunLogPrefix);
  // 'A' ^ 'p' = '1', ' ' ^ 'p' = 'P', 'p' ^ 'p' = NUL, CR ^ 'p' = '}', LF ^ 'p' = 'z'.
  EXPECT_EQ(dir_.Read("Ambervale_LOG_1.dat"), std::string("1P\0}z", 5));
}

TEST_F(LogsTest, RunLogPastItsLimitStartsOver) {
  logs_.SetRunLogSizeLimit(10);
  logs_.WriteRunLog("12345678", kRunLogPrefix);  // 10 bytes: exactly at the limit
  logs_.WriteRunLog("b", kRunLogPrefix);
  EXPECT_EQ(ClearRunLog(), "12345678\r\nb\r\n");
  logs_.WriteRunLog("Application Started:", kRunLogPrefix);
  EXPECT_EQ(ClearRunLog(), "Application Started:\r\n");
}

TEST_F(LogsTest, RunLogIgnoresTheRingLimit) {
  logs_.SetSizeLimit(0);
  logs_.WriteRunLog("a", kRunLogPrefix);
  logs_.WriteRunLog("b", kRunLogPrefix);
  EXPECT_EQ(ClearRunLog(), "a\r\nb\r\n");
}

TEST_F(LogsTest, WritesIntoAMissingFolderAreLostQuietly) {
  Logs logs(env_, dir_.File("no-such-folder"));
  logs.WriteRunLog("a", kRunLogPrefix);
  logs.WriteRunLogScreen("b", kSuccessPrefix);
  logs.WriteDebugLog("c");
  logs.AppendUnticketedHeader("h");
  EXPECT_FALSE(logs.BuildUnticketedReport());
  EXPECT_TRUE(ListFolder(dir_.path()).empty());
}

TEST(ScrambleLogTextTest, UndoesItselfAndKeepsTheLength) {
  const std::string kRecords[] = {"", "p", "2026/12/06 10:00:00 - Moved ABC123\r\n",
                                  std::string("\0\x7F\x80\xB7\xFF\r\n", 7)};
  for (const std::string& r : kRecords) {
    const std::string once = ScrambleLogText(r);
    EXPECT_EQ(once.size(), r.size());
    EXPECT_EQ(ScrambleLogText(once), r);
    if (!r.empty()) {
      EXPECT_NE(once, r);
    }
  }
  EXPECT_EQ(ScrambleLogText("p"), std::string(1, '\0'));
  EXPECT_EQ(ScrambleLogText("\xB7"), "\xC7");
}

class UnticketedReportTest : public LogsTest {
 protected:
  void StartReport() {
    logs_.ClearUnticketedTemp();
    logs_.AppendUnticketedHeader("XML Ambervale activity log,,,");
    logs_.AppendUnticketedHeader("Run date/time:2026/12/06 10:00:00,,,");
    logs_.AppendUnticketedStatus("");
    logs_.AppendUnticketedStatus("PCC,PNR,Destination Queue,");
    logs_.AppendUnticketedStatus("7X1A,ABC123,50,");
  }
  static constexpr std::string_view kReport =
      "XML Ambervale activity log,,,\r\nRun date/time:2026/12/06 10:00:00,,,\r\n"
      "\r\nPCC,PNR,Destination Queue,\r\n7X1A,ABC123,50,\r\n";
};

TEST_F(UnticketedReportTest, CopiesHeaderThenStatusAndRemovesTheTemporaryFiles) {
  StartReport();
  EXPECT_TRUE(logs_.BuildUnticketedReport());
  EXPECT_EQ(dir_.Read("Unticketed_PNR_Log_1.csv"), kReport);
  EXPECT_FALSE(dir_.Exists("tempHeader.txt"));
  EXPECT_FALSE(dir_.Exists("tempHeaderStatus.txt"));
  EXPECT_EQ(logs_.UnticketedReportPath(), dir_.File("Unticketed_PNR_Log_1.csv"));
}

TEST_F(UnticketedReportTest, ASecondReportFollowsTwoEmptyLines) {
  StartReport();
  ASSERT_TRUE(logs_.BuildUnticketedReport());
  StartReport();
  ASSERT_TRUE(logs_.BuildUnticketedReport());
  EXPECT_EQ(dir_.Read("Unticketed_PNR_Log_1.csv"),
            std::string(kReport) + "\r\n\r\n" + std::string(kReport));
}

TEST_F(UnticketedReportTest, ANewFileAfterTheLimitAlsoStartsWithTwoEmptyLines) {
  logs_.SetSizeLimit(10);
  StartReport();
  ASSERT_TRUE(logs_.BuildUnticketedReport());
  StartReport();
  ASSERT_TRUE(logs_.BuildUnticketedReport());
  EXPECT_EQ(dir_.Read("Unticketed_PNR_Log_2.csv"), "\r\n\r\n" + std::string(kReport));
  EXPECT_EQ(logs_.UnticketedReportPath(), dir_.File("Unticketed_PNR_Log_2.csv"));
}

TEST_F(UnticketedReportTest, MissingHeaderWritesAndDeletesNothing) {
  StartReport();
  ASSERT_TRUE(DeleteFile(dir_.File("tempHeader.txt")));
  EXPECT_FALSE(logs_.BuildUnticketedReport());
  EXPECT_FALSE(dir_.Exists("Unticketed_PNR_Log_1.csv"));
  EXPECT_TRUE(dir_.Exists("tempHeaderStatus.txt"));
}

TEST_F(UnticketedReportTest, MissingStatusCopiesTheHeaderAndKeepsTheTemporaryFiles) {
  logs_.AppendUnticketedHeader("Host Command: SON/AB12,,");
  EXPECT_FALSE(logs_.BuildUnticketedReport());
  EXPECT_EQ(dir_.Read("Unticketed_PNR_Log_1.csv"), "Host Command: SON/AB12,,\r\n");
  EXPECT_TRUE(dir_.Exists("tempHeader.txt"));
}

TEST_F(UnticketedReportTest, LinesWithOtherEndsAreCopiedWithCrLf) {
  dir_.Write("tempHeader.txt", "a\nb\rc\r\nd");
  dir_.Write("tempHeaderStatus.txt", "");
  EXPECT_TRUE(logs_.BuildUnticketedReport());
  EXPECT_EQ(dir_.Read("Unticketed_PNR_Log_1.csv"), "a\r\nb\r\nc\r\nd\r\n");
}

TEST_F(UnticketedReportTest, ClearRemovesBothTemporaryFiles) {
  StartReport();
  logs_.ClearUnticketedTemp();
  logs_.ClearUnticketedTemp();  // nothing left to delete is no error
  EXPECT_TRUE(ListFolder(dir_.path()).empty());
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
}  // namespace ambervale
