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
#include "testing/fake_file_system.h"
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
  std::unique_ptr<ProgramStart> Start(int n, const std::string& scenario,
                                      const StartSettings& settings = {}) {
    auto p = std::make_unique<ProgramStart>(dir_.path(), scenario, true, settings);
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

// A Fail Queue with a category: counted with "QCT/", entered with its category.
TEST_F(FailQueueRoundTripTest, PnrsGoBackToTheirQueuesAtTheNextStart) {
  const StartSettings settings = StartSettings().FailCategory("C9");
  dir_.Write("tasks.csv", TasksCsv({"ABC1,12,,MAP1.CSV,N,", "ABC1,14,C1,MAP1.CSV,N,"}));
  dir_.Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE"}));
  const std::string scenario =
      Scenario({Pnr("AAA001", "XY", "A/A"), Pnr("BBB002", "QQ", "B/B"), Pnr("CCC003", "RR", "C/C")},
               {{"ABC1/12", {"AAA001", "BBB002"}}, {"ABC1/14*C1", {"CCC003"}}});
  {
    auto first = Start(1, scenario, settings);
    first->MoveQueue();
    EXPECT_EQ(first->Queue("ABC1/50*C9"), (std::vector<std::string>{"BBB002", "CCC003"}));
    EXPECT_TRUE(Has(first->RunLog(),
                    "BBB002 moved from Queue/category 12 to Fail Queue/Category 50/C9 moved by "
                    "SINE/NAME/DI.AC/CI/DI.X"));
    // A later run of the same start only appends.
    first->MoveQueue();
  }
  const std::string rows =
      "ABC1,12,50,C9,BBB002,2026/12/06 10:00:00,Agent not mapped,QQ,,,,\r\n"
      "ABC1,14*C1,50,C9,CCC003,2026/12/06 10:00:00,Agent not mapped,RR,,,,\r\n";
  const std::string first_block = std::string(kHeader) +
                                  "2026/12/06 10:00:00 - Started by Agent,,,,,,,,,,,\r\n"
                                  "Fail Queue assigned : ,,50,C9,,,,,,,,\r\n";
  EXPECT_EQ(dir_.Read("logs/Fail_Queue_Log.csv"), first_block + rows);

  // The mapping is mended; the next start returns both PNRs, then distributes them.
  dir_.Write("MAP1.CSV",
             MappingCsv({",XY,,,,,P1,12,,SINE", ",QQ,,,,,P2,7,,SINE", ",RR,,,,,P2,8,,SINE"}));
  {
    auto second = Start(2, scenario, settings);
    // The host places BBB002 back without confirming it: one entry, no second try that would
    // take CCC003 to BBB002's queue.
    second->tap->Rewrite("QEB/ABC1/12", {"ACCEPTED<CARRIAGE_RETURN/>"});
    second->MoveQueue();
    const std::vector<std::string>& entries = second->tap->entries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "QEB/ABC1/12"), 1);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "Q/ABC1/50*C9"), 1);
    EXPECT_EQ(second->form.lngSuccessFromFail2OrgQCount, 2);
    EXPECT_EQ(second->form.lngFailFromFail2OrgQCount, 0);
    EXPECT_FALSE(second->form.MoveFailPNR);
    const std::string run = second->RunLog();
    for (const char* line :
         {"START to Move PNR(s) from Fail Queue to Original Queue.", "HOST Command: QCT/ABC1/50*C9",
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
                  "Fail Queue assigned : ,,50,C9,,\r\n");
    // A second run of this start returns nothing again.
    second->MoveQueue();
    EXPECT_EQ(second->form.lngSuccessFromFail2OrgQCount, 2);
  }

  const sim::World world = StateFile();
  EXPECT_EQ(QueueOf(world, "P1/12"), std::vector<std::string>{"AAA001"});
  EXPECT_EQ(QueueOf(world, "P2/7"), std::vector<std::string>{"BBB002"});
  EXPECT_EQ(QueueOf(world, "P2/8"), std::vector<std::string>{"CCC003"});
  EXPECT_TRUE(QueueOf(world, "ABC1/50*C9").empty());
  EXPECT_TRUE(QueueOf(world, "ABC1/12").empty());
  EXPECT_TRUE(QueueOf(world, "ABC1/14*C1").empty());
  EXPECT_TRUE(EveryPnrPlaced(world, "ABC1/50*C9", "", {"ABC1/12", "ABC1/14*C1"}));
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

// A PNR that cannot go back keeps its row, and so do PNRs that left the Fail Queue some other
// way between two starts (moved by hand, or placed back by a start that ended before it could
// start the log afresh): a walk that does not meet them proves nothing. Their rows go when the
// Fail Queue's count reads 0.
TEST_F(FailQueueRoundTripTest, RowsGoOnlyWithTheirPnrOrAnEmptyFailQueue) {
  dir_.Write("tasks.csv", TasksCsv({"ABC1,12,,MAP1.CSV,N,"}));
  dir_.Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE"}));
  const std::string scenario =
      Scenario({Pnr("BBB002", "QQ", "B/B"), Pnr("CCC003", "QQ", "C/C"), Pnr("DDD004", "QQ", "D/D")},
               {{"ABC1/12", {"BBB002", "CCC003", "DDD004"}}});
  Start(1, scenario)->MoveQueue();
  const std::string log = dir_.Read("logs/Fail_Queue_Log.csv");
  const std::string rows = log.substr(log.find("ABC1,12,50,,BBB002"));
  // Between the starts PNRs leave the Fail Queue by hand, and the host comes to refuse three
  // moves of BBB002.
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
  move_by_hand({"CCC003", "DDD004"});
  {
    auto second = Start(2, scenario);
    second->MoveQueue();
    EXPECT_EQ(second->Queue("ABC1/50"), std::vector<std::string>{"BBB002"});
    EXPECT_EQ(second->form.lngFailFromFail2OrgQCount, 1);
    EXPECT_EQ(second->form.lngSuccessFromFail2OrgQCount, 0);
    // The walk stopped when the PNR that could not go back came round.
    const std::vector<std::string>& entries = second->tap->entries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "QEB/ABC1/12"), 3);
    ASSERT_EQ(second->mailers.sent().size(), 1u);
    EXPECT_EQ(second->mailers.sent()[0].subject,
              "2026/12/06:11:00:00 ABC1  PNR movement failed - Ambervale");
    EXPECT_EQ(second->mailers.sent()[0].text,
              "PNR BBB002 on Fail Queue could not be moved to Queue no.12, Please manually update "
              "this PNR.\r\n\r\nAmbervale\r\nSupport Team");
    const std::string line = "BBB002: retrieved from Fail Queue could not be moved to Queue no.12";
    EXPECT_TRUE(
        Has(second->Log("Failed_PNR_1.txt"), "##### 2026/12/06 11:00:00 " + line + " #####\r\n"));
    EXPECT_TRUE(Has(second->Log("action_log_1.txt"), "2026/12/06 11:00:00 - " + line + "\r\n"));
    // Every row stays, under a fresh header block, for the next start.
    EXPECT_EQ(dir_.Read("logs/Fail_Queue_Log.csv"),
              std::string(kHeader) + "2026/12/06 11:00:00 - Started by Agent,,,,,,,,,,,\r\n" +
                  "Fail Queue assigned : ,,50,,,,,,,,,\r\n" + rows);
    EXPECT_TRUE(EveryPnrPlaced(second->world(), "ABC1/50", dir_.Read("logs/Fail_Queue_Log.csv"),
                               {"ABC1/12"}));
  }
  move_by_hand({"BBB002"});
  {
    // The Fail Queue is empty: its count says so, and every row goes.
    auto third = Start(3, scenario);
    third->MoveQueue();
    EXPECT_EQ(dir_.Read("logs/Fail_Queue_Log.csv"), "");
    const std::string run = third->RunLog();
    for (const char* pnr : {"BBB002", "CCC003", "DDD004"}) {
      EXPECT_TRUE(Has(run, std::string(pnr) +
                               ": not on Fail Queue ABC1/Q50, its Fail Queue Log row is dropped"))
          << pnr;
    }
  }
}

// The walk of a Fail Queue ends early by its own rules: a count that is no number leaves the
// queue untouched, a count one short still takes count + 1 PNRs, and after a "NO B.F." the walk
// starts again with the PNRs taken so far counting against a fresh count. Every PNR still on
// the queue keeps its row.
TEST_F(FailQueueRoundTripTest, AWalkEndedEarlyKeepsTheRowsOfPnrsStillThere) {
  const struct {
    const char* name;
    const char* script;
    int placed_back;
    std::vector<std::string> kept;
  } kCases[] = {
      {"a count that is no number",
       R"([{"prefix": "QCB/ABC1/50", "lines": ["QC ABC1 BF/Q050....*"]}])",
       0,
       {"BBB002", "CCC003", "DDD004"}},
      {"a count one short",
       R"([{"prefix": "QCB/ABC1/50", "lines": ["QC ABC1 BF/Q050....2"]}])",
       3,
       {}},
      {"NO B.F. in the middle, then a smaller count",
       R"([{"prefix": "*R", "skip": 1, "lines": ["NO B.F.<CARRIAGE_RETURN/>"]},
           {"prefix": "QCB/ABC1/50", "skip": 1, "lines": ["QC ABC1 BF/Q050....1"]}])",
       1,
       {"CCC003", "DDD004"}},
  };
  const std::string scenario =
      Scenario({Pnr("BBB002", "QQ", "B/B"), Pnr("CCC003", "QQ", "C/C"), Pnr("DDD004", "QQ", "D/D")},
               {{"ABC1/12", {"BBB002", "CCC003", "DDD004"}}});
  for (const auto& c : kCases) {
    TempDir dir;
    dir.Write("tasks.csv", TasksCsv({"ABC1,12,,MAP1.CSV,N,"}));
    dir.Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE"}));
    {
      ProgramStart first(dir.path(), scenario, true);
      first.LoadConfiguration();
      first.MoveQueue();
    }
    nlohmann::json state = nlohmann::json::parse(dir.Read("host_state.json"));
    state["faults"]["script"] = nlohmann::json::parse(c.script);
    dir.Write("host_state.json", state.dump());
    dir.Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE", ",QQ,,,,,P2,7,,SINE"}));

    ProgramStart second(dir.path(), scenario, true);
    second.env.SetNow(2026, 12, 6, 11);
    second.LoadConfiguration();
    second.MoveQueue();
    EXPECT_EQ(second.form.lngSuccessFromFail2OrgQCount, c.placed_back) << c.name;
    std::vector<std::string> waiting = second.Queue("ABC1/50");
    std::sort(waiting.begin(), waiting.end());
    EXPECT_EQ(waiting, c.kept) << c.name;
    const std::string log = dir.Read("logs/Fail_Queue_Log.csv");
    for (const char* pnr : {"BBB002", "CCC003", "DDD004"}) {
      const bool kept = std::find(c.kept.begin(), c.kept.end(), pnr) != c.kept.end();
      EXPECT_EQ(Has(log, "ABC1,12,50,," + std::string(pnr) + ","), kept) << c.name << " " << pnr;
    }
    EXPECT_TRUE(EveryPnrPlaced(second.world(), "ABC1/50", log, {"ABC1/12"})) << c.name;
  }
}

// No PNR goes to the Fail Queue without its row: when either file refuses the row, the PNR is
// ignored and stays on its source queue, and the reason is logged.
TEST_F(FailQueueRoundTripTest, ARowThatCannotBeWrittenKeepsThePnrOnItsSourceQueue) {
  dir_.Write("tasks.csv", TasksCsv({"ABC1,12,,MAP1.CSV,N,"}));
  dir_.Write("MAP1.CSV", MappingCsv({",XY,,,,,P1,12,,SINE"}));
  for (const char* file : {"Fail_Queue_Log_Archive_1.csv", "Fail_Queue_Log.csv"}) {
    FakeEnv clock;
    FakeFileSystem files(clock);
    const std::string path = dir_.File("logs/" + std::string(file));
    files.Fail(FileOp::kAppend, path);
    ProgramStart p(dir_.path(), Scenario({Pnr("BBB002", "QQ", "B/B")}, {{"ABC1/12", {"BBB002"}}}),
                   false, StartSettings().Files(files));
    p.LoadConfiguration();
    p.MoveQueue();
    EXPECT_EQ(p.Queue("ABC1/12"), std::vector<std::string>{"BBB002"}) << file;
    EXPECT_TRUE(p.Queue("ABC1/50").empty()) << file;
    const std::vector<std::string>& entries = p.tap->entries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "QEB/ABC1/50"), 0) << file;
    EXPECT_EQ(p.form.lngFailOrgQ2FailQCount, 1) << file;
    const std::string why =
        "BBB002: FAIL. Not moved to the Fail Queue, its Fail Queue Log row cannot be written: " +
        path + ": No space left on device";
    EXPECT_TRUE(Has(p.Log("action_log_1.txt"), "2026/12/06 10:00:00 - " + why + "\r\n")) << file;
    EXPECT_TRUE(Has(p.Log("debug_log_1.txt"), "##### 2026/12/06 10:00:00. " + why + " #####"))
        << file;
  }
}

}  // namespace
}  // namespace ambervale
