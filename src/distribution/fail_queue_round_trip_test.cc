// The Fail Queue across program starts: PNRs without agent go to the Fail Queue with their log
// rows; the first run of the next start returns them to their queues and starts the log afresh.
// The host's world lives in a state file in the program folder, so each start finds it as the
// last one left it.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <nlohmann/json.hpp>

#include "distribution/distribution_test_util.h"
#include "platform/files.h"
#include "sim/scenario_json.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

using testing::EveryPnrPlaced;
using testing::MappingCsv;
using testing::Pnr;
using testing::ProgramStart;
using testing::Scenario;
using testing::StartSettings;
using testing::TasksCsv;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

constexpr std::string_view kHeader =
    "From PCC, From Queue,To Queue,To Category,PNR,Failed PNRs Time,Reason for Failure,SINE,NAME,"
    "DI.AC,CI,DI.X\r\n";

class FailQueueRoundTripTest : public ::testing::Test {
 protected:
  // Start number `n` (1-based) over the folder, its clock an hour after the last.
  std::unique_ptr<ProgramStart> Start(int n, const std::string& scenario) {
    auto p = std::make_unique<ProgramStart>(dir_.path(), scenario, true);
    p->env.SetNow(2026, 12, 6, 9 + n);
    p->LoadConfiguration();
    return p;
  }

  // The world of the state file as it is on disk.
  sim::World StateFile() {
    const std::optional<std::string> text = ReadFile(dir_.File("host_state.json"));
    EXPECT_TRUE(text);
    std::string error;
    const std::optional<sim::World> world =
        sim::ReadWorld(text.value_or("{}"), sim::WorldSource::kState,
                       std::chrono::sys_days(std::chrono::year(2026) / 12 / 6), &error);
    EXPECT_TRUE(world) << error;
    return world.value_or(sim::World{});
  }

  static std::vector<std::string> QueueOf(const sim::World& world, std::string_view key) {
    const std::vector<std::string>* q = world.queues.Find(key);
    return q == nullptr ? std::vector<std::string>{} : *q;
  }

  TempDir dir_;
};

TEST_F(FailQueueRoundTripTest, PnrsGoBackToTheirQueuesAtTheNextStart) {
  dir_.Write("tasks.csv", TasksCsv({"ABC1,12,,MAP1.CSV,N,", "ABC1,14,C1,MAP1.CSV,N,"}));
  dir_.Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE"}));
  const std::string scenario =
      Scenario({Pnr("AAA001", "XY", "A/A"), Pnr("BBB002", "QQ", "B/B"), Pnr("CCC003", "RR", "C/C")},
               {{"ABC1/12", {"AAA001", "BBB002"}}, {"ABC1/14*C1", {"CCC003"}}});
  {
    auto first = Start(1, scenario);
    first->MoveQueue();
    EXPECT_EQ(first->Queue("ABC1/50"), (std::vector<std::string>{"BBB002", "CCC003"}));
    // A later run of the same start only appends.
    first->MoveQueue();
  }
  const std::string rows =
      "ABC1,12,50,,BBB002,2026/12/06 10:00:00,Agent not mapped,QQ,,,,\r\n"
      "ABC1,14*C1,50,,CCC003,2026/12/06 10:00:00,Agent not mapped,RR,,,,\r\n";
  const std::string first_block = std::string(kHeader) +
                                  "2026/12/06 10:00:00 - Started by Agent,,,,,,,,,,,\r\n"
                                  "Fail Queue assigned : ,,50,,,,,,,,,\r\n";
  EXPECT_EQ(dir_.Read("logs/Fail_Queue_Log.csv"), first_block + rows);

  // The mapping is mended; the next start returns both PNRs, then distributes them.
  dir_.Write("MAP1.CSV",
             MappingCsv({",XY,,,,,P1,12,,SINE", ",QQ,,,,,P2,7,,SINE", ",RR,,,,,P2,8,,SINE"}));
  {
    auto second = Start(2, scenario);
    // The host places BBB002 back without confirming it: one entry, no second try that would
    // take CCC003 to BBB002's queue.
    second->tap->Rewrite("QEB/ABC1/12", {"ACCEPTED<CARRIAGE_RETURN/>"});
    second->MoveQueue();
    const std::vector<std::string>& entries = second->tap->entries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "QEB/ABC1/12"), 1);
    EXPECT_EQ(second->form.lngSuccessFromFail2OrgQCount, 2);
    EXPECT_EQ(second->form.lngFailFromFail2OrgQCount, 0);
    EXPECT_FALSE(second->form.MoveFailPNR);
    const std::string run = second->RunLog();
    for (const char* line :
         {"START to Move PNR(s) from Fail Queue to Original Queue.", "HOST Command: QCB/ABC1/50",
          "BBB002: retrieved from Fail Queue in ABC1/Q50", "HOST Command: QEB/ABC1/12",
          "BBB002: move to  Queue 12", "CCC003: move to  Queue 14*C1",
          "No more PNRs in Fail Queue Log File. END Fail Queue Retrieving....",
          "END to Move PNR(s) from Fail Queue to Original Queue."}) {
      EXPECT_TRUE(Has(run, line)) << line;
    }
    // Both rows went with their PNRs: the current log is empty; the archive keeps all.
    EXPECT_TRUE(dir_.Exists("logs/Fail_Queue_Log.csv"));
    EXPECT_EQ(dir_.Read("logs/Fail_Queue_Log.csv"), "");
    EXPECT_EQ(dir_.Read("logs/Fail_Queue_Log_Archive_1.csv"),
              first_block + rows + ",,,,,\r\n" + std::string(69, '*') +
                  ",,,,,\r\n2026/12/06 11:00:00 - Restarted by Agent,,,,,\r\n"
                  "Fail Queue assigned : ,,50,,,\r\n");
    // A second run of this start returns nothing again.
    second->MoveQueue();
    EXPECT_EQ(second->form.lngSuccessFromFail2OrgQCount, 2);
  }

  const sim::World world = StateFile();
  EXPECT_EQ(QueueOf(world, "P1/12"), std::vector<std::string>{"AAA001"});
  EXPECT_EQ(QueueOf(world, "P2/7"), std::vector<std::string>{"BBB002"});
  EXPECT_EQ(QueueOf(world, "P2/8"), std::vector<std::string>{"CCC003"});
  EXPECT_TRUE(QueueOf(world, "ABC1/50").empty());
  EXPECT_TRUE(QueueOf(world, "ABC1/12").empty());
  EXPECT_TRUE(QueueOf(world, "ABC1/14*C1").empty());
  EXPECT_TRUE(EveryPnrPlaced(world, "ABC1/50", "", {"ABC1/12", "ABC1/14*C1"}));
}

TEST_F(FailQueueRoundTripTest, EveryPccsFailQueueIsWalked) {
  dir_.Write("tasks.csv", TasksCsv({"ABC1,12,,MAP1.CSV,N,", "DEF3,12,,MAP1.CSV,N,"}));
  dir_.Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE"}));
  // ZZZ999 waits on ABC1's Fail Queue without a log row: the walk of that queue ends by its
  // count, and the walk goes on with DEF3's Fail Queue.
  const std::string scenario =
      Scenario({Pnr("BBB002", "QQ", "B/B"), Pnr("DDD004", "QQ", "D/D"), Pnr("ZZZ999", "QQ", "Z/Z")},
               {{"ABC1/12", {"BBB002"}}, {"DEF3/12", {"DDD004"}}, {"ABC1/50", {"ZZZ999"}}});
  Start(1, scenario)->MoveQueue();
  dir_.Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE", ",QQ,,,,,P2,7,,SINE"}));
  auto second = Start(2, scenario);
  second->MoveQueue();

  // Both went back, then on to their agent.
  EXPECT_EQ(second->Queue("P2/7"), (std::vector<std::string>{"BBB002", "DDD004"}));
  EXPECT_EQ(second->Queue("ABC1/50"), std::vector<std::string>{"ZZZ999"});
  EXPECT_TRUE(second->Queue("DEF3/50").empty());
  EXPECT_EQ(second->form.lngSuccessFromFail2OrgQCount, 2);
  EXPECT_TRUE(Has(second->Log("action_log_1.txt"),
                  "2 PNRs taken, 2 moved, 0 failed, 0 to the Fail Queue, 2 returned from it;"));
  const std::vector<std::string>& entries = second->tap->entries();
  EXPECT_EQ(std::count(entries.begin(), entries.end(), "QCB/DEF3/50"), 1);
  EXPECT_EQ(std::count(entries.begin(), entries.end(), "QCB/ABC1/50"), 1);
  EXPECT_TRUE(Has(second->RunLog(), "ZZZ999: FAIL. Not mapped into the Failed PNR log"));
  EXPECT_TRUE(Has(second->Log("Failed_PNR_1.txt"),
                  "##### 2026/12/06 11:00:00. ABC1 Queue 50 ZZZ999 - NOT exist into failed PNR "
                  "log #####\r\n"));
  EXPECT_EQ(dir_.Read("logs/Fail_Queue_Log.csv"), "");
}

TEST_F(FailQueueRoundTripTest, PnrsThatCannotGoBackKeepTheirRows) {
  dir_.Write("tasks.csv", TasksCsv({"ABC1,12,,MAP1.CSV,N,"}));
  dir_.Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE"}));
  const std::string scenario = Scenario({Pnr("BBB002", "QQ", "B/B"), Pnr("CCC003", "QQ", "C/C")},
                                        {{"ABC1/12", {"BBB002", "CCC003"}}});
  Start(1, scenario)->MoveQueue();
  const std::string rows =
      dir_.Read("logs/Fail_Queue_Log.csv")
          .substr(dir_.Read("logs/Fail_Queue_Log.csv").find("ABC1,12,50,,BBB002"));

  // Between the starts the host comes to refuse three moves of each.
  nlohmann::json state = nlohmann::json::parse(dir_.Read("host_state.json"));
  state["faults"]["refuse_move"] = {{"BBB002", 3}, {"CCC003", 3}};
  dir_.Write("host_state.json", state.dump());
  {
    auto second = Start(2, scenario);
    second->MoveQueue();
    EXPECT_EQ(second->Queue("ABC1/50"), (std::vector<std::string>{"BBB002", "CCC003"}));
    EXPECT_EQ(second->form.lngFailFromFail2OrgQCount, 2);
    EXPECT_EQ(second->form.lngSuccessFromFail2OrgQCount, 0);
    // The walk stopped when the first PNR that could not go back came round.
    const std::vector<std::string>& entries = second->tap->entries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "QEB/ABC1/12"), 6);
    ASSERT_EQ(second->mailers.sent().size(), 2u);
    EXPECT_EQ(second->mailers.sent()[0].subject,
              "2026/12/06:11:00:00 ABC1  PNR movement failed - Ambervale");
    EXPECT_EQ(second->mailers.sent()[0].text,
              "PNR BBB002 on Fail Queue could not be moved to Queue no.12, Please manually update "
              "this PNR.\r\n\r\nAmbervale\r\nSupport Team");
    EXPECT_TRUE(
        Has(second->Log("Failed_PNR_1.txt"),
            "##### 2026/12/06 11:00:00 CCC003: retrieved from Fail Queue could not be moved "
            "to Queue no.12 #####\r\n"));
    EXPECT_TRUE(Has(second->Log("action_log_1.txt"),
                    "2026/12/06 11:00:00 - BBB002: retrieved from Fail Queue could not be moved to "
                    "Queue no.12\r\n"));
    // Their rows stay, under a fresh header block, for the next start.
    EXPECT_EQ(dir_.Read("logs/Fail_Queue_Log.csv"),
              std::string(kHeader) + "2026/12/06 11:00:00 - Started by Agent,,,,,,,,,,,\r\n" +
                  "Fail Queue assigned : ,,50,,,,,,,,,\r\n" + rows);
    EXPECT_TRUE(EveryPnrPlaced(second->world(), "ABC1/50", dir_.Read("logs/Fail_Queue_Log.csv"),
                               {"ABC1/12"}));
  }
  dir_.Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE", ",QQ,,,,,P2,7,,SINE"}));
  {
    auto third = Start(3, scenario);
    third->MoveQueue();
    EXPECT_EQ(third->form.lngSuccessFromFail2OrgQCount, 2);
  }
  const sim::World world = StateFile();
  EXPECT_EQ(QueueOf(world, "P2/7"), (std::vector<std::string>{"BBB002", "CCC003"}));
  EXPECT_TRUE(QueueOf(world, "ABC1/50").empty());
  EXPECT_EQ(dir_.Read("logs/Fail_Queue_Log.csv"), "");
}

// Between two starts PNRs leave the Fail Queue some other way (moved by hand, or placed back
// by a start that ended before it could start the log afresh): a walk of the whole Fail Queue
// that does not meet them drops their rows; a walk cut short keeps every row.
TEST_F(FailQueueRoundTripTest, RowsOfPnrsNoLongerOnTheFailQueueAreDropped) {
  dir_.Write("tasks.csv", TasksCsv({"ABC1,12,,MAP1.CSV,N,"}));
  dir_.Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE"}));
  const std::string scenario =
      Scenario({Pnr("BBB002", "QQ", "B/B"), Pnr("CCC003", "QQ", "C/C"), Pnr("DDD004", "QQ", "D/D")},
               {{"ABC1/12", {"BBB002", "CCC003", "DDD004"}}});
  Start(1, scenario)->MoveQueue();
  const std::string log = dir_.Read("logs/Fail_Queue_Log.csv");
  const std::string row_b = log.substr(log.find("ABC1,12,50,,BBB002"));
  const auto move_by_hand = [&](const std::vector<std::string>& locators) {
    nlohmann::json state = nlohmann::json::parse(dir_.Read("host_state.json"));
    for (const std::string& locator : locators) {
      auto& fail_queue = state["queues"]["ABC1/50"];
      fail_queue.erase(std::find(fail_queue.begin(), fail_queue.end(), locator));
      state["queues"]["P2/9"].push_back(locator);
    }
    state["faults"]["refuse_move"] = {{"BBB002", 3}};
    dir_.Write("host_state.json", state.dump());
  };
  move_by_hand({"CCC003"});
  {
    // A stop before the walk has met every PNR: nothing is known about the others.
    auto second = Start(2, scenario);
    second->StopAtDoEvents(1);
    second->MoveQueue();
    EXPECT_EQ(dir_.Read("logs/Fail_Queue_Log.csv").substr(log.find("ABC1,12,50,,BBB002")), row_b);
  }
  move_by_hand({"DDD004"});
  {
    // BBB002 cannot go back and keeps its row; the other two are gone from the queue.
    auto third = Start(3, scenario);
    third->MoveQueue();
    EXPECT_EQ(third->Queue("ABC1/50"), std::vector<std::string>{"BBB002"});
    const std::string kept = dir_.Read("logs/Fail_Queue_Log.csv");
    EXPECT_TRUE(Has(kept, "ABC1,12,50,,BBB002,"));
    EXPECT_FALSE(Has(kept, "CCC003"));
    EXPECT_FALSE(Has(kept, "DDD004"));
    const std::string run = third->RunLog();
    EXPECT_TRUE(Has(run, "CCC003: not on Fail Queue ABC1/Q50, its Fail Queue Log row is dropped"));
    EXPECT_TRUE(Has(run, "DDD004: not on Fail Queue ABC1/Q50, its Fail Queue Log row is dropped"));
  }
  move_by_hand({"BBB002"});
  {
    // The Fail Queue is empty: its count says so, and the last row goes.
    auto fourth = Start(4, scenario);
    fourth->MoveQueue();
    EXPECT_EQ(dir_.Read("logs/Fail_Queue_Log.csv"), "");
  }
}

TEST_F(FailQueueRoundTripTest, AFailQueueWithCategoryIsCountedAndWalked) {
  dir_.Write("tasks.csv", TasksCsv({"ABC1,12,,MAP1.CSV,N,"}));
  dir_.Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE"}));
  const std::string scenario = Scenario({Pnr("BBB002", "QQ", "B/B"), Pnr("CCC003", "QQ", "C/C")},
                                        {{"ABC1/12", {"BBB002", "CCC003"}}});
  const StartSettings settings = StartSettings().FailCategory("C9");
  {
    ProgramStart first(dir_.path(), scenario, true, settings);
    first.LoadConfiguration();
    first.MoveQueue();
    EXPECT_EQ(first.Queue("ABC1/50*C9"), (std::vector<std::string>{"BBB002", "CCC003"}));
    EXPECT_TRUE(Has(first.RunLog(),
                    "BBB002 moved from Queue/category 12 to Fail Queue/Category "
                    "50/C9 moved by SINE/NAME/DI.AC/CI/DI.X"));
  }
  dir_.Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE", ",QQ,,,,,P2,7,,SINE"}));
  ProgramStart second(dir_.path(), scenario, true, settings);
  second.env.SetNow(2026, 12, 6, 11);
  second.LoadConfiguration();
  second.MoveQueue();
  const std::vector<std::string>& entries = second.tap->entries();
  EXPECT_EQ(std::count(entries.begin(), entries.end(), "QCT/ABC1/50*C9"), 1);
  EXPECT_EQ(std::count(entries.begin(), entries.end(), "Q/ABC1/50*C9"), 1);
  EXPECT_EQ(second.form.lngSuccessFromFail2OrgQCount, 2);
  EXPECT_TRUE(second.Queue("ABC1/50*C9").empty());
  EXPECT_EQ(second.Queue("P2/7"), (std::vector<std::string>{"BBB002", "CCC003"}));
}

}  // namespace
}  // namespace ambervale
