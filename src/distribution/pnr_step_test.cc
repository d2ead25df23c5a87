// The work on one PNR, run through MoveQueue on the simulated host: identification, the move
// entries, the log lines and counters of each outcome.

#include <gtest/gtest.h>

#include "distribution/distribution_test_util.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

using testing::MappingCsv;
using testing::Pnr;
using testing::ProgramStart;
using testing::Scenario;
using testing::StartSettings;
using testing::TasksCsv;

std::string StandardMapping() {
  return MappingCsv({",XY,,,,,P1,12,,SINE", "SMITH,,,,,,P1,13,,NAME", ",,,129,,,P1,14,,DI.AC",
                     ",,,,00123,,P2,5,,CI", ",,,,,ACME,P2,6,C1,DI.X"});
}

class PnrStepTest : public ::testing::Test {
 protected:
  // A start on `scenario` with one task (ABC1 queue 12, MAP1.CSV) unless `tasks` says more.
  ProgramStart& Start(const std::string& scenario, const StartSettings& settings = {},
                      const std::vector<std::string>& tasks = {"ABC1,12,,MAP1.CSV,N,"},
                      const std::string& mapping = StandardMapping()) {
    dir_.Write("tasks.csv", TasksCsv(tasks));
    dir_.Write("MAP1.CSV", mapping);
    start_ = std::make_unique<ProgramStart>(dir_.path(), scenario, false, settings);
    start_->LoadConfiguration();
    return *start_;
  }

  TempDir dir_;
  std::unique_ptr<ProgramStart> start_;
};

TEST_F(PnrStepTest, EachIdentificationKindFindsItsAgent) {
  ProgramStart& p = Start(Scenario(
      {Pnr("AAA001", "XY", "JONES/ANN MRS"), Pnr("AAA002", "QQ", "SMITH/JOHN MR"),
       Pnr("AAA003", "QQ", "BLACK/BO", R"("di": ["AC ACCT-129"])"),
       Pnr("AAA004", "QQ", "GREEN/AL", R"("ci": "00123")"),
       Pnr("AAA005", "QQ", "WHITE/JO", R"("di": ["X/QD-ACME"])"),
       Pnr("AAA006", "XY", "SMITH/JOHN MR"),
       Pnr("AAA007", "QQ", "GRAY/ED", R"("di": ["AC ACCT-129"], "ci": "00123")")},
      {{"ABC1/12", {"AAA001", "AAA002", "AAA003", "AAA004", "AAA005", "AAA006", "AAA007"}}}));
  p.MoveQueue();

  EXPECT_TRUE(p.Queue("ABC1/12").empty());
  EXPECT_EQ(p.Queue("P1/12"), (std::vector<std::string>{"AAA001", "AAA006"}));
  EXPECT_EQ(p.Queue("P1/13"), (std::vector<std::string>{"AAA002", "AAA006"}));
  EXPECT_EQ(p.Queue("P1/14"), (std::vector<std::string>{"AAA003", "AAA007"}));
  EXPECT_EQ(p.Queue("P2/5"), (std::vector<std::string>{"AAA004", "AAA007"}));
  EXPECT_EQ(p.Queue("P2/6*C1"), (std::vector<std::string>{"AAA005"}));

  const std::string success = p.Log("Success_PNR_1.txt");
  const char* kLines[] = {
      "AAA001 moved from Queue 12 to PCC P1 Queue 12 moved by SINE.",
      "AAA002 moved from Queue 12 to PCC P1 Queue 13 moved by NAME.",
      "AAA003 moved from Queue 12 to PCC P1 Queue 14 moved by DI.AC.",
      "AAA004 moved from Queue 12 to PCC P2 Queue 5 moved by CI.",
      "AAA005 moved from Queue 12 to PCC P2 Queue 6 Category C1 moved by DI.X.",
      "AAA006 moved from Queue 12 to PCC P1 Queue 12, P1 Queue 13 moved by SINE,NAME.",
      "AAA007 moved from Queue 12 to PCC P1 Queue 14, P2 Queue 5 moved by DI.AC,CI.",
  };
  for (const char* line : kLines) {
    EXPECT_NE(success.find("#### 2026/12/06 10:00:00 - " + std::string(line) + " ####\r\n"),
              std::string::npos)
        << line << "\n"
        << success;
  }
  const std::vector<std::string>& entries = p.tap->entries();
  EXPECT_NE(std::find(entries.begin(), entries.end(), "QEB/P1/12+P1/13"), entries.end());
  EXPECT_NE(std::find(entries.begin(), entries.end(), "QEB/P1/14+P2/5"), entries.end());
  EXPECT_EQ(p.form.intSuccessCount, 7);
  EXPECT_EQ(p.form.intFailCount, 0);
}

TEST_F(PnrStepTest, OneSimplePnrTakesTheseEntries) {
  ProgramStart& p =
      Start(Scenario({Pnr("AAA001", "XY", "JONES/ANN MRS")}, {{"ABC1/12", {"AAA001"}}}),
            StartSettings{.fail_queue = false});
  p.MoveQueue();
  const std::vector<std::string> expected = {
      "QX+I",  // the sign-on check
      "QX+I",      "SEM/SU", "QCB/ABC1/12", "SEM/ABC1/AG", "QLD/ABC1/12/TS",
      "Q/ABC1/12",                                  // enter the queue
      "*R",                                         // AAA001/XY
      "*P",        "*DI",    "*CI",         "*DI",  // the lookups
      "QPB*12",                                     // the reference banner
      "QEB/P1/12",                                  // the move, confirmed
      "*R",                                         // the queue is empty now
  };
  EXPECT_EQ(p.tap->TakeEntries(), expected);
  EXPECT_EQ(p.Queue("P1/12"), std::vector<std::string>{"AAA001"});
}

}  // namespace
}  // namespace ambervale
