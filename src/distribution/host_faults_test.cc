// Busy answers, sign-outs and refused moves never lose a PNR: after every run each PNR is on
// exactly one queue (its agent's, the Fail Queue with its log row, or its source queue), and by
// the last run each is where a run without faults puts it.

#include <gtest/gtest.h>

#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

const std::vector<std::string> kSources = {"ABC1/12", "ABC1/14"};

// Twelve PNRs MIX001..MIX012 on ABC1/12 and ABC1/14: agents by sine (XY -> P1/12, KL -> P2/5),
// by DI.AC, and some without agent; some with a due ticketing date. The TAU check is on.
std::unique_ptr<TestProgram> Start(const std::string& faults, bool must_move = false,
                                   bool fail_queue = true) {
  std::vector<std::string> pnrs;
  std::map<std::string, std::vector<std::string>> queues;
  const char* kSines[] = {"XY", "QQ", "KL", "XY", "RR", "KL"};
  for (int i = 1; i <= 12; ++i) {
    const std::string locator = "MIX" + std::to_string(1000 + i).substr(1);
    std::string more = i % 4 == 0 ? R"("di": ["AC ACCT-129"])" : "";
    if (i % 3 == 0)
      more += (more.empty() ? "" : ", ") + std::string(R"("tau": "TKTG-TAU/XX{today-1}")");
    pnrs.push_back(Pnr(locator, kSines[(i - 1) % 6], "NAME" + std::to_string(i) + "/TEST", more));
    queues[kSources[i <= 6 ? 0 : 1]].push_back(locator);
  }
  auto p = std::make_unique<TestProgram>();
  p->dir.Write("tasks.csv", TasksCsv({"ABC1,12,,MAP1.CSV,Y,CHECKED", "ABC1,14,,MAP1.CSV,N,"}));
  p->dir.Write("MAP1.CSV",
               MappingCsv({",XY,,,,,P1,12,,SINE", ",KL,,,,,P2,5,,SINE", ",,,129,,,P2,6,,DI.AC"}));
  p->Connect(Scenario(pnrs, queues, faults));
  p->LoadConfiguration();
  p->form.blnTAUCheck = true;
  p->form.blnMustMove = must_move;
  p->form.FailQueueActivated = fail_queue;
  return p;
}

// The PNRs of each queue that holds any; `sorted` where a fault may change their order.
std::map<std::string, std::vector<std::string>> Places(const TestProgram& p, bool sorted) {
  std::map<std::string, std::vector<std::string>> out;
  for (auto [key, locators] : p.world().queues) {
    if (sorted) std::sort(locators.begin(), locators.end());
    if (!locators.empty()) out[key] = locators;
  }
  return out;
}

TEST(HostFaultsTest, BusyAnswersSignOutsAndRefusedMovesLoseNothing) {
  struct Case {
    std::string faults;
    int runs = 1;  // more runs leave the PNRs of each queue in another order
    bool must_move = false;
    bool fail_queue = true;
    bool moves = true;  // false: every PNR stays where it started
  };
  std::vector<Case> cases;
  for (const int every : {1, 2, 3, 5, 7, 11}) {  // 1: a host that stays busy, nothing moves
    cases.push_back(
        {R"({"busy_every": )" + std::to_string(every) + "}", 1, false, true, every > 1});
  }
  // Signed out after entry n: somewhere in the first run (sign-on check, listing, lookups,
  // moves, the Fail Queue), or between the runs. The next run signs on again.
  auto clean = Start("{}");
  clean->MoveQueue();
  for (const int64_t n :
       std::initializer_list<int64_t>{3, 9, 14, 20, 27, 41, 58, 77, 96, clean->world().entries}) {
    cases.push_back({R"({"sign_out_after": )" + std::to_string(n) + "}", 2});
  }
  // Refusals from one to seven: the agent's three tries, then the Fail Queue's three, then the
  // remark; by the third run every refusal is spent and every PNR with an agent has reached it.
  for (const bool fail_queue : {true, false}) {
    cases.push_back({R"({"refuse_move": {"MIX001": 1, "MIX002": 2, "MIX003": 3, "MIX004": 4, )"
                     R"("MIX005": 5, "MIX006": 6, "MIX007": 7}})",
                     3, true, fail_queue});
  }
  for (const Case& c : cases) {
    std::unique_ptr<TestProgram> runs[2] = {Start("{}", c.must_move, c.fail_queue),
                                            Start(c.faults, c.must_move, c.fail_queue)};
    if (c.moves) runs[0]->MoveQueue();
    for (int run = 1; run <= c.runs; ++run) {
      runs[1]->MoveQueue();
      EXPECT_TRUE(
          EveryPnrPlaced(runs[1]->world(), "ABC1/50", runs[1]->Log("Fail_Queue_Log.csv"), kSources))
          << c.faults << ", run " << run;
    }
    EXPECT_TRUE(runs[1]->world().signed_in) << c.faults;
    const auto got = Places(*runs[1], c.runs > 1), want = Places(*runs[0], c.runs > 1);
    if (c.must_move) {  // a PNR refused six times waits on the Fail Queue for the next start
      EXPECT_EQ(got.at("P1/12"), want.at("P1/12")) << c.faults;
    } else {
      EXPECT_EQ(got, want) << c.faults;
    }
    if (c.runs == 1) {
      EXPECT_EQ(runs[1]->form.intFailCount, runs[0]->form.intFailCount) << c.faults;
    }
  }
}

}  // namespace
}  // namespace ambervale::testing
