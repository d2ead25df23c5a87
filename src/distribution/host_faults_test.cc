// Busy answers, sign-outs and refused moves never lose a PNR: after every run each PNR is on
// exactly one queue (its agent's, the Fail Queue with its log row, or its source queue).

#include <gtest/gtest.h>

#include <cstdio>

#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

const std::vector<std::string> kSources = {"ABC1/12", "ABC1/14"};

// A sorted copy.
std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// Twelve PNRs MIX001..MIX012 on ABC1/12 and ABC1/14: agents by sine (XY -> P1/12, KL -> P2/5),
// by DI.AC, and some without agent; some with a due ticketing date. The TAU check is on.
std::unique_ptr<TestProgram> Start(const std::string& faults) {
  std::vector<std::string> pnrs;
  std::map<std::string, std::vector<std::string>> queues;
  const char* kSines[] = {"XY", "QQ", "KL", "XY", "RR", "KL"};
  for (int i = 1; i <= 12; ++i) {
    char locator[16];
    std::snprintf(locator, sizeof locator, "MIX%03d", i);
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
  return p;
}

::testing::AssertionResult Placed(const TestProgram& p) {
  return EveryPnrPlaced(p.world(), "ABC1/50", p.Log("Fail_Queue_Log.csv"), kSources);
}

TEST(HostFaultsTest, BusyAnswersAreSentAgainAndChangeNothing) {
  auto clean = Start("{}");
  clean->MoveQueue();
  ASSERT_TRUE(Placed(*clean));
  for (const int every : {1, 2, 3, 5, 7, 11}) {
    auto p = Start(R"({"busy_every": )" + std::to_string(every) + "}");
    p->MoveQueue();
    EXPECT_TRUE(Placed(*p)) << every;
    if (every == 1) {  // a host that stays busy: nothing moves
      EXPECT_EQ(p->Queue("ABC1/12").size() + p->Queue("ABC1/14").size(), 12u);
      continue;
    }
    EXPECT_EQ(p->world().queues.size(), clean->world().queues.size()) << every;
    for (const auto& [key, locators] : clean->world().queues) {
      EXPECT_EQ(p->Queue(key), locators) << every << " " << key;
    }
    EXPECT_EQ(p->form.intFailCount, clean->form.intFailCount) << every;
  }
}

TEST(HostFaultsTest, SignOutsLoseNothing) {
  // Signed out after entry n: somewhere in the first run (sign-on check, listing, lookups,
  // moves, the Fail Queue), or between the runs. The next run signs on again.
  auto clean = Start("{}");
  clean->MoveQueue();
  const int64_t first_run = clean->world().entries;
  for (const int64_t n : {int64_t{3}, int64_t{9}, int64_t{14}, int64_t{20}, int64_t{27},
                          int64_t{41}, int64_t{58}, int64_t{77}, int64_t{96}, first_run}) {
    auto p = Start(R"({"sign_out_after": )" + std::to_string(n) + "}");
    p->MoveQueue();
    EXPECT_TRUE(Placed(*p)) << n;
    p->MoveQueue();
    EXPECT_TRUE(Placed(*p)) << n;
    EXPECT_TRUE(p->world().signed_in) << n;
    // By the end of the second run every PNR is where a clean run puts it.
    for (const auto& [key, locators] : clean->world().queues) {
      EXPECT_EQ(Sorted(p->Queue(key)), Sorted(locators)) << n << " " << key;
    }
  }
}

TEST(HostFaultsTest, RefusedMovesLoseNothing) {
  // Refusals from one to seven: the agent's three tries, then the Fail Queue's three, then
  // the remark.
  std::string faults = R"({"refuse_move": {)";
  for (int i = 1; i <= 7; ++i) {
    faults += (i > 1 ? ", \"MIX00" : "\"MIX00") + std::to_string(i) + "\": " + std::to_string(i);
  }
  faults += "}}";
  for (const bool fail_queue : {true, false}) {
    auto p = Start(faults);
    p->form.blnMustMove = true;
    p->form.FailQueueActivated = fail_queue;
    for (int run = 1; run <= 3; ++run) {
      p->MoveQueue();
      EXPECT_TRUE(Placed(*p)) << "fail queue " << fail_queue << ", run " << run;
    }
    // By now every refusal is spent: every PNR with an agent has reached it.
    EXPECT_EQ(Sorted(p->Queue("P1/12")),
              (std::vector<std::string>{"MIX001", "MIX004", "MIX007", "MIX010"}))
        << fail_queue;
  }
}

}  // namespace
}  // namespace ambervale::testing
