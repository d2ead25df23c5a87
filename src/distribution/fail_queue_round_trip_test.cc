// The Fail Queue across program starts: PNRs without agent go to the Fail Queue with their log
// rows; the first run of the next start returns them to their queues and starts the log afresh.
// The host's world lives in a state file in the program folder, so each start finds it as the
// last one left it.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/classic_text.h"
#include "testing/fake_file_system.h"
#include "testing/golden.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

class FailQueueRoundTripTest : public ::testing::Test {
 protected:
  FailQueueRoundTripTest() { FreshFolder(); }
  // A program folder with one task (ABC1 queue 12, XY's PNRs to P1/12).
  void FreshFolder() {
    folder_ = std::make_unique<TempDir>();
    folder_->Write("tasks.csv", TasksCsv({"ABC1,12,,MAP1.CSV,N,"}));
    folder_->Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE"}));
  }
  // Start number `n` (1-based) over the folder, its clock an hour after the last.
  std::unique_ptr<TestProgram> Start(int n, const std::string& scenario,
                                     const std::string& category = "",
                                     FileSystem* files = nullptr) {
    auto p = std::make_unique<TestProgram>(true, folder_->path());
    p->env.SetNow(2026, 12, 6, 9 + n);
    p->Connect(scenario, /*state_file=*/true, files);
    p->LoadConfiguration();
    p->form.FailQueueCategory = category;
    return p;
  }

  std::unique_ptr<TempDir> folder_;
  const std::string scenario_ =
      Scenario({Pnr("BBB002", "QQ", "B/B"), Pnr("CCC003", "QQ", "C/C"), Pnr("DDD004", "QQ", "D/D")},
               {{"ABC1/12", {"BBB002", "CCC003", "DDD004"}}});
};

// A Fail Queue with a category: counted with "QCT/", entered with its category.
TEST_F(FailQueueRoundTripTest, PnrsGoBackToTheirQueuesAtTheNextStart) {
  folder_->Write("tasks.csv", TasksCsv({"ABC1,12,,MAP1.CSV,N,", "ABC1,14,C1,MAP1.CSV,N,"}));
  const std::string scenario =
      Scenario({Pnr("AAA001", "XY", "A/A"), Pnr("BBB002", "QQ", "B/B"), Pnr("CCC003", "RR", "C/C")},
               {{"ABC1/12", {"AAA001", "BBB002"}}, {"ABC1/14*C1", {"CCC003"}}});
  {
    auto first = Start(1, scenario, "C9");
    first->MoveQueue();
    first->MoveQueue();  // a later run of the same start only appends
  }

  // The mapping is mended; the next start returns both PNRs, then distributes them.
  folder_->Write("MAP1.CSV",
                 MappingCsv({",XY,,,,,P1,12,,SINE", ",QQ,,,,,P2,7,,SINE", ",RR,,,,,P2,8,,SINE"}));
  auto second = Start(2, scenario, "C9");
  // The host places BBB002 back without confirming it: one entry (the run log's), no second
  // try that would take CCC003 to BBB002's queue.
  second->tap->Rewrite("QEB/ABC1/12", {"ACCEPTED<CARRIAGE_RETURN/>"});
  second->MoveQueue();
  // Both rows went with their PNRs: the current log is empty; the archive keeps all.
  ExpectGolden("src/distribution/testdata/fail_queue_returned.txt",
               second->Transcript({"Fail_Queue_Log.csv", "Fail_Queue_Log_Archive_1.csv"}));
  EXPECT_TRUE(folder_->Exists("logs/Fail_Queue_Log.csv"));
  second->MoveQueue();  // a second run of this start returns nothing again: two in all
  EXPECT_EQ(second->form.lngSuccessFromFail2OrgQCount, 2);
  EXPECT_TRUE(EveryPnrPlaced(second->world(), "ABC1/50*C9", "", {"ABC1/12", "ABC1/14*C1"}));
}

// Every PCC's Fail Queue is walked; a PNR with two rows goes back to the queue of the latest;
// a PNR on the Fail Queue without a row stays.
TEST_F(FailQueueRoundTripTest, EveryPccsFailQueueIsWalkedAndTheLatestRowDecides) {
  folder_->Write("tasks.csv", TasksCsv({"ABC1,12,,MAP1.CSV,N,", "DEF3,12,,MAP1.CSV,N,"}));
  folder_->Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE", ",QQ,,,,,P2,7,,SINE"}));
  folder_->Write("logs/Fail_Queue_Log.csv",
                 FailQueueLogHead("09:00:00") +
                     "ABC1,12,50,,BBB002,2026/12/06 09:00:00,Agent not mapped,QQ,,,,\r\n"
                     "DEF3,12,50,,DDD004,2026/12/06 09:00:00,Agent not mapped,QQ,,,,\r\n"
                     "ABC1,14,50,,BBB002,2026/12/06 09:30:00,Agent not mapped,QQ,,,,\r\n");
  auto p = Start(2, Scenario({Pnr("BBB002", "QQ", "B/B"), Pnr("DDD004", "QQ", "D/D"),
                              Pnr("ZZZ999", "QQ", "Z/Z")},
                             {{"ABC1/50", {"BBB002", "ZZZ999"}}, {"DEF3/50", {"DDD004"}}}));
  p->MoveQueue();
  EXPECT_EQ(p->Queue("ABC1/14"), std::vector<std::string>{"BBB002"});
  EXPECT_EQ(p->Queue("ABC1/50"), std::vector<std::string>{"ZZZ999"});
  EXPECT_TRUE(Contains(p->RunLog(), "ZZZ999: FAIL. Not mapped into the Failed PNR log"));
  EXPECT_TRUE(
      Contains(p->Log("Failed_PNR_1.txt"),
               "##### 2026/12/06 11:00:00. ABC1 Queue 50 ZZZ999 - NOT exist into failed PNR "
               "log #####\r\n"));
  EXPECT_EQ(p->Log("Fail_Queue_Log.csv"), "");  // DEF3's Fail Queue was walked too
}

// A PNR that cannot go back keeps its row, and so do PNRs that left the Fail Queue some other
// way between two starts: a walk that does not meet them proves nothing. Their rows go when
// the Fail Queue's count reads 0.
TEST_F(FailQueueRoundTripTest, RowsGoOnlyWithTheirPnrOrAnEmptyFailQueue) {
  Start(1, scenario_)->MoveQueue();
  // Between two starts: PNRs moved off the Fail Queue in the host's state file.
  const auto move_by_hand = [&](const std::vector<std::string>& locators) {
    nlohmann::json state = nlohmann::json::parse(folder_->Read("host_state.json"));
    for (const std::string& locator : locators) {
      auto& fail_queue = state["queues"]["ABC1/50"];
      fail_queue.erase(std::find(fail_queue.begin(), fail_queue.end(), locator));
      state["queues"]["P2/9"].push_back(locator);
    }
    state["faults"]["refuse_move"] = {{"BBB002", 3}};
    folder_->Write("host_state.json", state.dump());
  };
  move_by_hand({"CCC003", "DDD004"});
  folder_->Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE", ",QQ,,,,,P2,7,,SINE"}));
  {
    auto second = Start(2, scenario_);
    second->MoveQueue();
    EXPECT_EQ(second->form.lngFailFromFail2OrgQCount, 1);
    // Every row stays, under a fresh header block, for the next start; the failure is mailed.
    // BBB002's three tries, and the walk's end when it came round, are the run log's entries.
    ExpectGolden(
        "src/distribution/testdata/fail_queue_kept.txt",
        second->Transcript({"Failed_PNR_1.txt", "action_log_1.txt", "Fail_Queue_Log.csv"}));
  }
  move_by_hand({"BBB002"});
  // The Fail Queue is empty: its count says so, and every row goes.
  auto third = Start(3, scenario_);
  third->MoveQueue();
  EXPECT_EQ(third->Log("Fail_Queue_Log.csv"), "");
  EXPECT_TRUE(Contains(third->RunLog(),
                       "DDD004: not on Fail Queue ABC1/Q50, its Fail Queue Log row is dropped"));
}

// No PNR goes to the Fail Queue without its row: when either file refuses the row, the PNR is
// ignored and stays on its source queue, and the reason is logged.
TEST_F(FailQueueRoundTripTest, ARowThatCannotBeWrittenKeepsThePnrOnItsSourceQueue) {
  for (const char* file : {"Fail_Queue_Log_Archive_1.csv", "Fail_Queue_Log.csv"}) {
    FreshFolder();
    FakeEnv env;
    FakeFileSystem files(env);
    const std::string path = folder_->File("logs/" + std::string(file));
    files.Fail(FileOp::kAppend, path);
    auto p = Start(1, scenario_, "", &files);
    p->MoveQueue();
    EXPECT_EQ(p->Queue("ABC1/12"), (std::vector<std::string>{"BBB002", "CCC003", "DDD004"}));
    EXPECT_EQ(p->form.lngFailOrgQ2FailQCount, 3) << file;
    const std::string why =
        "BBB002: FAIL. Not moved to the Fail Queue, its Fail Queue Log row cannot be written: " +
        path + ": No space left on device";
    EXPECT_TRUE(Contains(p->Log("action_log_1.txt"), "2026/12/06 10:00:00 - " + why + "\r\n"))
        << file;
  }
}

}  // namespace
}  // namespace ambervale::testing
