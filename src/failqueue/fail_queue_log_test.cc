#include "failqueue/fail_queue_log.h"

#include <gtest/gtest.h>

#include "platform/classic_text.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

std::string Row(std::string_view pcc, std::string_view pnr, std::string_view from = "12") {
  return std::string(pcc) + "," + std::string(from) + ",50,C1," + std::string(pnr) +
         ",2026/12/06 10:00:00,Agent not mapped,XY,SMITH/JOHN MR,,,";
}

// The rows grouped by PCC and PNR, lines that cannot be read skipped and named; a start keeps
// the rows of PNRs not returned and the unread lines under a fresh header block.
TEST(FailQueueLogTest, LoadGroupsRowsByPccAndPnrAndAStartKeepsThoseNotReturned) {
  TestProgram p;  // its Fail Queue 50/C1
  p.form.FailQueueNo = "50";
  p.form.FailQueueCategory = "C1";
  FailQueueLog log(p.form, PosixFileSystem());
  const std::string bad = "ABC1,12,50\r\nABC1,12,Q50,C1,EEE555,x\r\n";
  const std::string kept = Row("ABC1", "BBB222", "14*C2") + "\r\n" + bad;
  p.dir.Write("logs/Fail_Queue_Log.csv",
              FailQueueLogHead("09:00:00", "C1") + Row("ABC1", "AAA111") + "\r\n" + kept +
                  Row("ABC1", "AAA111", "13") + "\r\n" + Row("DEF3", "CCC333") + "\r\n");
  // Each row goes under its key, with its source queue: the return's tests use them (the
  // latest row deciding, every PCC, a queue with a category).
  ASSERT_TRUE(log.LoadFailQueueLog());
  const std::string debug = p.Log("debug_log_1.txt");
  EXPECT_TRUE(
      Contains(debug, "Fail_Queue_Log.csv line 6 skipped, fewer than 5 fields: ABC1,12,50 #"))
      << debug;
  EXPECT_TRUE(Contains(debug, "line 7 skipped, To Queue \"Q50\" is no number: ABC1,12,Q50,C1,EEE"))
      << debug;
  log.MarkReturned("ABC1#AAA111");
  log.MarkReturned("DEF3#CCC333");
  log.StartFailQueueLog();
  EXPECT_EQ(p.Log("Fail_Queue_Log.csv"), FailQueueLogHead("10:00:00", "C1") + kept);
}

TEST(FailQueueLogTest, ArchiveRingMovesOnPastTheSizeLimit) {
  TestProgram p;  // its Fail Queue 50/C1
  p.form.FailQueueNo = "50";
  p.form.FailQueueCategory = "C1";
  FailQueueLog log(p.form, PosixFileSystem());
  const std::string row = Row("ABC1", "AAA111");
  const std::string block = FailQueueLogHead("10:00:00", "C1");
  // The limit lets one header block and one row in a file; the next row moves on.
  p.logs.SetSizeLimit(static_cast<int32_t>(block.size() + row.size()));
  std::string all = block;
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(log.WriteFailQueueLog(row).ok());
    p.env.Advance(1);
    all += row + "\r\n";
  }
  // Six rows: files 1..5 each took one, the sixth emptied file 1 and started it again.
  for (int n = 1; n <= 5; ++n) {
    EXPECT_EQ(p.Log("Fail_Queue_Log_Archive_" + std::to_string(n) + ".csv"), block + row + "\r\n")
        << n;
  }
  EXPECT_FALSE(p.dir.Exists("logs/Fail_Queue_Log_Archive_6.csv"));
  // The current file is not a ring: it keeps every row.
  EXPECT_EQ(p.Log("Fail_Queue_Log.csv"), all);
}

}  // namespace
}  // namespace ambervale::testing
