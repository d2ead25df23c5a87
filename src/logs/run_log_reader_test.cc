#include "logs/run_log_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logs/logs.h"
#include "testing/fake_env.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

using Records = std::vector<std::string_view>;

TEST(RunLogReaderTest, UnscramblesAWholeFileRecordByRecordInOrder) {
  TempDir dir;
  FakeEnv env;
  Logs logs(env, dir.path());
  logs.WriteRunLog("2026/12/06 10:00:00 - Application Started:", kRunLogPrefix);
  logs.WriteRunLog("2026/12/06 10:00:01 - Loading Queue mapping files ......", kRunLogPrefix);
  logs.WriteRunLogScreen("QUEUE 50\r\nABC123", kRunLogPrefix);
  logs.WriteRunLog("2026/12/06 11:00:00 - Application Started:", kRunLogPrefix);

  const std::string clear = UnscrambleRunLog(dir.Read("Ambervale_LOG_1.dat"));
  EXPECT_EQ(SplitRunLogRecords(clear),
            (Records{"2026/12/06 10:00:00 - Application Started:\r\n",
                     "2026/12/06 10:00:01 - Loading Queue mapping files ......\r\n", "QUEUE 50\r\n",
                     "ABC123\r\n", "\r\n", "************************\r\n",
                     "2026/12/06 11:00:00 - Application Started:\r\n"}));
}

TEST(RunLogReaderTest, SplitsOnCrLfOnly) {
  const struct {
    std::string_view clear;
    Records records;
  } kCases[] = {
      {"", {}},
      {"a\r\n", {"a\r\n"}},
      {"a\r\nb", {"a\r\n", "b"}},  // a record cut short stays
      {"a\nb\r\n\r\n", {"a\nb\r\n", "\r\n"}},
      {"x\r\r\n", {"x\r\r\n"}},
  };
  for (const auto& c : kCases) EXPECT_EQ(SplitRunLogRecords(c.clear), c.records) << c.clear;
}

TEST(RunLogReaderTest, LastRecords) {
  const struct {
    std::string_view clear;
    size_t count;
    std::string_view tail;
  } kCases[] = {
      {"a\r\nb\r\nc\r\n", 1, "c\r\n"},
      {"a\r\nb\r\nc\r\n", 2, "b\r\nc\r\n"},
      {"a\r\nb\r\nc\r\n", 3, "a\r\nb\r\nc\r\n"},
      {"a\r\nb\r\nc\r\n", 9, "a\r\nb\r\nc\r\n"},
      {"a\r\nb\r\nc\r\n", 0, ""},
      {"a\r\nb", 1, "b"},
      {"a\r\n\r\n", 1, "\r\n"},
      {"\r\n\r\n", 2, "\r\n\r\n"},
      {"x\r\r\n", 1, "x\r\r\n"},
      {"", 3, ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(LastRunLogRecords(c.clear, c.count), c.tail) << c.clear << " n=" << c.count;
  }
}

}  // namespace
}  // namespace ambervale
