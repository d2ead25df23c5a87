#include <gtest/gtest.h>

#include "sim/sim_test_util.h"

namespace ambervale::sim {
namespace {

using testing::Cr;
using testing::SimWorld;
using Lines = std::vector<std::string>;

TEST(SignOnTest, NotSignedInAnswersSignInToEverythingButTheSignOnEntries) {
  SimWorld w;
  EXPECT_EQ(w.Enter("OP/W*"), Cr({"SIGN IN"}));
  for (const char* entry : {"*R", "QCB/ABC1/12", "SEM/SU", "MR", "QX+I", "XYZ"}) {
    EXPECT_EQ(w.Enter(entry), Cr({"SIGN IN"})) << entry;
  }
  EXPECT_EQ(w.Enter("SON/9999"), Cr({"INVALID AGENT ID"}));
  EXPECT_FALSE(w.world().signed_in);
  EXPECT_EQ(w.Enter("SON/5678"), Cr({"SIGN ON COMPLETE"}));
  EXPECT_TRUE(w.world().signed_in);
  EXPECT_EQ(w.Enter("OP/W*"), Cr({" *VANTORA* AGENT 5678 SIGNED IN"}));
}

TEST(SignOnTest, ScenarioChoosesTheSignedInAnswer) {
  const struct {
    const char* answer;
    Lines lines;
  } kCases[] = {
      {"normal", Cr({" *VANTORA* AGENT 1234 SIGNED IN"})},
      {"sister", Cr({"*ORSINE* AGENT 1234 SIGNED IN"})},
      {"duty_code", Cr({"DUTY CODE NOT AUTHORISED FOR TERMINAL - VANTORA"})},
      {"none", {}},
  };
  for (const auto& c : kCases) {
    SimWorld w(std::string(R"({"agent_ids": ["1234"], "signed_in": true, "sign_on_answer": ")") +
               c.answer + "\"}");
    EXPECT_EQ(w.Enter("OP/W*"), c.lines) << c.answer;
    // Only the signed-in answer changes.
    EXPECT_EQ(w.Enter("SON/1234"), Cr({"SIGN ON COMPLETE"})) << c.answer;
  }
}

TEST(SignOnTest, SignOnWhileSignedInKeepsTheSession) {
  SimWorld w;
  w.SignOn();
  EXPECT_EQ(w.Enter("SEM/ABC1/AG"), Cr({"PROCEED"}));
  EXPECT_EQ(w.Enter("Q/ABC1/12")[0], Cr("ABC123/XY ABC1 06DEC"));
  EXPECT_EQ(w.Enter("SON/5678"), Cr({"SIGN ON COMPLETE"}));
  EXPECT_EQ(w.Enter("OP/W*"), Cr({" *VANTORA* AGENT 1234 SIGNED IN"}));
  EXPECT_EQ(w.Enter("*R")[0], Cr("ABC123/XY ABC1 06DEC"));
  EXPECT_EQ(w.world().emulated_pcc, "ABC1");
}

TEST(EmulationTest, AnswersByThePccsPermission) {
  SimWorld w;
  w.SignOn();
  const struct {
    const char* entry;
    Lines lines;
  } kCases[] = {
      {"SEM/SU", Cr({"OK"})},
      {"SEM/ABC1/AG", Cr({"PROCEED"})},
      {"SEM/DEF3/AG", Cr({"PROCEED"})},  // emulation defaults to allowed
      {"SEM/XYZ2/AG", Cr({"NOT AUTHORISED - XYZ2"})},
      {"SEM/NOPE/AG", Cr({"NOT AUTHORISED - NOPE"})},
      {"SEM/abc1/AG", Cr({"NOT AUTHORISED - abc1"})},  // PCC codes are case-sensitive
      {"SEM/ABC1", Cr({"FORMAT"})},
      {"SEM/ABC1/XX", Cr({"FORMAT"})},
      {"sem/su", Cr({"FORMAT"})},
  };
  for (const auto& c : kCases) EXPECT_EQ(w.Enter(c.entry), c.lines) << c.entry;
}

TEST(EmulationTest, RefusedEmulationAndSuKeepTheEmulatedPcc) {
  SimWorld w;
  w.SignOn();
  ASSERT_EQ(w.Enter("SEM/DEF3/AG"), Cr({"PROCEED"}));
  w.Enter("SEM/XYZ2/AG");
  w.Enter("SEM/SU");
  EXPECT_EQ(w.world().emulated_pcc, "DEF3");
  EXPECT_EQ(w.Enter("QPB*5"), Cr({"QPBQUEUE 005 DEF3" + std::string(10, ' ')}));
}

TEST(QueueModeExitTest, LeavesQueueModeAndDropsPendingChanges) {
  SimWorld w;
  w.SignOn();
  EXPECT_EQ(w.Enter("QX+I"), Cr({"NOT IN QUEUE MODE"}));
  w.Enter("Q/ABC1/12");
  EXPECT_EQ(w.Enter("NP.REMARK"), Cr({"*"}));
  EXPECT_EQ(w.Enter("QX+I"), Cr({"QUEUE MODE EXITED"}));
  EXPECT_EQ(w.Enter("*R"), Cr({"NO B.F."}));
  // Nothing pending is left to block entering a queue, and nothing was committed.
  EXPECT_EQ(w.Enter("Q/ABC1/12")[0], Cr("ABC123/XY ABC1 06DEC"));
  EXPECT_TRUE(w.world().pnrs.Find("ABC123")->notepad.empty());
}

TEST(PagingTest, MrPastTheEndSaysNothingToScroll) {
  SimWorld w;
  w.SignOn();
  EXPECT_EQ(w.Enter("MR"), Cr({"NOTHING TO SCROLL", ""}));
}

TEST(AnyEntryTest, UnknownEntriesAnswerFormat) {
  SimWorld w;
  w.SignOn();
  for (const char* entry : {"XX", "*RX", "op/w*", "QCX/ABC1/1", "IRR", "", "Q"}) {
    EXPECT_EQ(w.Enter(entry), Cr({"FORMAT"})) << entry;
  }
}

}  // namespace
}  // namespace ambervale::sim
