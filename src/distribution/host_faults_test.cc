// Busy answers, sign-outs and refused moves never lose a PNR: after every run each PNR is on
// exactly one queue (its agent's, the Fail Queue with its log row, or its source queue).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "distribution/distribution_test_util.h"
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

// Twelve PNRs on ABC1/12 and ABC1/14: agents by sine (XY -> P1/12, KL -> P2/5), by DI.AC, and
// some without agent; some of them with a due ticketing date.
std::vector<std::string> MixedPnrs() {
  std::vector<std::string> pnrs;
  const char* kSines[] = {"XY", "QQ", "KL", "XY", "RR", "KL"};
  for (int i = 1; i <= 12; ++i) {
    char locator[16];
    std::snprintf(locator, sizeof locator, "MIX%03d", i);
    std::string more = i % 4 == 0 ? R"("di": ["AC ACCT-129"])" : "";
    if (i % 3 == 0)
      more += std::string(more.empty() ? "" : ", ") + R"("tau": "TKTG-TAU/XX{today-1}")";
    pnrs.push_back(Pnr(locator, kSines[(i - 1) % 6], "NAME" + std::to_string(i) + "/TEST", more));
  }
  return pnrs;
}

const std::vector<std::string> kSources = {"ABC1/12", "ABC1/14"};

std::map<std::string, std::vector<std::string>> MixedQueues() {
  return {{"ABC1/12", {"MIX001", "MIX002", "MIX003", "MIX004", "MIX005", "MIX006"}},
          {"ABC1/14", {"MIX007", "MIX008", "MIX009", "MIX010", "MIX011", "MIX012"}}};
}

class HostFaultsTest : public ::testing::Test {
 protected:
  std::unique_ptr<ProgramStart> Start(const std::string& faults,
                                      StartSettings settings = StartSettings().TauCheck()) {
    dir_ = std::make_unique<TempDir>();
    dir_->Write("tasks.csv", TasksCsv({"ABC1,12,,MAP1.CSV,Y,CHECKED", "ABC1,14,,MAP1.CSV,N,"}));
    dir_->Write("MAP1.CSV",
                MappingCsv({",XY,,,,,P1,12,,SINE", ",KL,,,,,P2,5,,SINE", ",,,129,,,P2,6,,DI.AC"}));
    auto p = std::make_unique<ProgramStart>(
        dir_->path(), Scenario(MixedPnrs(), MixedQueues(), faults), false, settings);
    p->LoadConfiguration();
    return p;
  }

  std::unique_ptr<TempDir> dir_;
};

TEST_F(HostFaultsTest, BusyAnswersAreSentAgain) {
  // Without faults: where every PNR goes.
  auto clean = Start("{}");
  clean->MoveQueue();
  ASSERT_TRUE(
      EveryPnrPlaced(clean->world(), "ABC1/50", clean->Log("Fail_Queue_Log.csv"), kSources));

  for (const int every : {2, 3, 5, 7, 11}) {
    auto p = Start(R"({"busy_every": )" + std::to_string(every) + "}");
    p->MoveQueue();
    EXPECT_TRUE(EveryPnrPlaced(p->world(), "ABC1/50", p->Log("Fail_Queue_Log.csv"), kSources))
        << every;
    // The busy answers change nothing: the same queues, the same counts.
    EXPECT_EQ(p->world().queues.size(), clean->world().queues.size()) << every;
    for (const auto& [key, locators] : clean->world().queues) {
      EXPECT_EQ(p->Queue(key), locators) << every << " " << key;
    }
    EXPECT_EQ(p->form.intSuccessCount, clean->form.intSuccessCount) << every;
    EXPECT_EQ(p->form.intFailCount, clean->form.intFailCount) << every;
    EXPECT_FALSE(p->env.sleeps().empty()) << every;  // ten seconds per busy answer
  }
}

TEST_F(HostFaultsTest, AHostThatStaysBusyLosesNothing) {
  auto p = Start(R"({"busy_every": 1})");
  p->MoveQueue();
  EXPECT_TRUE(EveryPnrPlaced(p->world(), "ABC1/50", p->Log("Fail_Queue_Log.csv"), kSources));
  EXPECT_EQ(p->Queue("ABC1/12").size(), 6u);
  EXPECT_EQ(p->Queue("ABC1/14").size(), 6u);
}

TEST_F(HostFaultsTest, SignOutsLoseNothing) {
  // Signed out after entry n: somewhere in the first run (sign-on check, listing, lookups,
  // moves, the Fail Queue), or between the runs. The next run signs on again.
  auto clean = Start("{}");
  clean->MoveQueue();
  const int64_t first_run = clean->world().entries;
  for (const int64_t n : {int64_t{3}, int64_t{9}, int64_t{14}, int64_t{20}, int64_t{27},
                          int64_t{41}, int64_t{58}, int64_t{77}, int64_t{96}, first_run}) {
    auto p = Start(R"({"sign_out_after": )" + std::to_string(n) + "}");
    p->MoveQueue();
    EXPECT_TRUE(EveryPnrPlaced(p->world(), "ABC1/50", p->Log("Fail_Queue_Log.csv"), kSources)) << n;
    p->MoveQueue();
    EXPECT_TRUE(EveryPnrPlaced(p->world(), "ABC1/50", p->Log("Fail_Queue_Log.csv"), kSources)) << n;
    EXPECT_TRUE(p->world().signed_in) << n;
    // By the end of the second run every PNR is where a clean run puts it.
    for (const auto& [key, locators] : clean->world().queues) {
      std::vector<std::string> got = p->Queue(key);
      std::vector<std::string> want = locators;
      std::sort(got.begin(), got.end());
      std::sort(want.begin(), want.end());
      EXPECT_EQ(got, want) << n << " " << key;
    }
  }
}

TEST_F(HostFaultsTest, RefusedMovesLoseNothing) {
  // Refusals from one to seven: the agent's three tries, then the Fail Queue's three, then
  // the remark.
  for (const bool fail_queue : {true, false}) {
    std::string faults = R"({"refuse_move": {)";
    for (int i = 1; i <= 7; ++i) {
      char locator[16];
      std::snprintf(locator, sizeof locator, "MIX%03d", i);
      faults += std::string(i > 1 ? ", " : "") + "\"" + locator + "\": " + std::to_string(i);
    }
    faults += "}}";
    StartSettings settings = StartSettings().TauCheck().MustMove();
    if (!fail_queue) settings.NoFailQueue();
    auto p = Start(faults, settings);
    for (int run = 1; run <= 3; ++run) {
      p->MoveQueue();
      EXPECT_TRUE(EveryPnrPlaced(p->world(), "ABC1/50", p->Log("Fail_Queue_Log.csv"), kSources))
          << "fail queue " << fail_queue << ", run " << run;
    }
    // By now every refusal is spent: every PNR with an agent has reached it.
    std::vector<std::string> agent = p->Queue("P1/12");
    std::sort(agent.begin(), agent.end());
    EXPECT_EQ(agent, (std::vector<std::string>{"MIX001", "MIX004", "MIX007", "MIX010"}))
        << fail_queue;
  }
}

}  // namespace
}  // namespace ambervale
