#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/classic_text.h"
#include "sim/sim_test_util.h"

namespace ambervale::sim {
namespace {

using testing::Cr;
using testing::SimWorld;
using Lines = std::vector<std::string>;

// A signed-in world with PNR RMK001 on ABC1/1 holding `remarks` DI remarks "REMARK n".
std::string ScenarioWithRemarks(int remarks) {
  nlohmann::json di = nlohmann::json::array();
  for (int n = 1; n <= remarks; ++n) di.push_back("REMARK " + std::to_string(n));
  const nlohmann::json scenario = {
      {"agent_ids", {"1234"}},
      {"signed_in", true},
      {"pccs", {{"ABC1", nlohmann::json::object()}}},
      {"pnrs", {{{"locator", "RMK001"}, {"owner_pcc", "ABC1"}, {"di", di}}}},
      {"queues", {{"ABC1/1", {"RMK001"}}}}};
  return scenario.dump();
}

class PnrEntriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    w.SignOn();
    ASSERT_EQ(w.Enter("Q/ABC1/12")[0], Cr("ABC123/XY ABC1 06DEC"));
  }
  SimWorld w;
};

TEST_F(PnrEntriesTest, Displays) {
  EXPECT_EQ(w.Enter("*P"), Cr({"1.1SMITH/JOHN MR"}));
  EXPECT_EQ(w.Enter("*DI"), Cr({"1.   AC ACCT-129", "2.   X/QD-ACME", ""}));
  EXPECT_EQ(w.Enter("*CI"), Cr({"CUST-00123", ""}));
  EXPECT_EQ(w.Enter("*TD"), Cr({"TKTG-TAU/XX04DEC*NOTE", ""}));
  // The program reads DI.AC from characters 6 to 13 of the trimmed line.
  EXPECT_EQ(Mid(w.Enter("*DI")[0], 6, 8), "AC ACCT-");
}

TEST_F(PnrEntriesTest, DisplaysOfAPnrWithoutTheFields) {
  w.Enter("QX+I");
  w.Enter("Q/DEF3/7");
  EXPECT_EQ(w.Enter("*P"), Cr({"1.1M\xDCLLER/ANNA\xB7MS"}));
  EXPECT_EQ(w.Enter("*DI"), Cr({""}));
  EXPECT_EQ(w.Enter("*CI"), Cr({"NO CI DATA", ""}));
  EXPECT_EQ(w.Enter("*TD"), Cr({"TKTG-TKT ISSUED", ""}));
  EXPECT_EQ(w.Enter("T.T@AU/06DEC"), Cr({"FORMAT"}));
}

TEST(RemarkPagesTest, TenRemarksAPageAndAnEmptyLineAtTheEnd) {
  const struct {
    int remarks;
    std::vector<size_t> page_sizes;
  } kCases[] = {{1, {2}}, {9, {10}}, {10, {11}}, {11, {10, 2}}, {23, {10, 10, 4}}};
  for (const auto& c : kCases) {
    SimWorld w(ScenarioWithRemarks(c.remarks));
    w.Enter("Q/ABC1/1");
    std::vector<Lines> pages = {w.Enter("*DI")};
    while (pages.size() < c.page_sizes.size()) pages.push_back(w.Enter("MR"));
    for (size_t i = 0; i < pages.size(); ++i) {
      EXPECT_EQ(pages[i].size(), c.page_sizes[i]) << c.remarks << " remarks, page " << i;
    }
    EXPECT_EQ(pages.back().back(), Cr("")) << c.remarks;
    EXPECT_EQ(w.Enter("MR"), Cr({"NOTHING TO SCROLL", ""})) << c.remarks;
    if (c.remarks >= 10) {
      EXPECT_EQ(pages[0][9], Cr("10.  REMARK 10"));
    }
  }
}

TEST_F(PnrEntriesTest, NotepadUpToSeventyCharacters) {
  EXPECT_EQ(w.Enter("NP." + std::string(70, 'A')), Cr({"*"}));
  EXPECT_EQ(w.Enter("NP." + std::string(71, 'A')), Cr({"FORMAT"}));
  EXPECT_EQ(w.Enter("NP."), Cr({"FORMAT"}));
  w.Enter("R.TEST");
  w.Enter("ER");
  EXPECT_EQ(w.world().pnrs.Find("ABC123")->notepad, Lines{std::string(70, 'A')});
}

TEST_F(PnrEntriesTest, TicketingDateChangeIsPendingUntilCommitted) {
  EXPECT_EQ(w.Enter("T.T@AU/06DEC*NEW"), Cr({"*"}));
  EXPECT_EQ(w.Enter("*TD"), Cr({"TKTG-TAU/XX06DEC*NEW", ""}));
  EXPECT_EQ(w.world().pnrs.Find("ABC123")->tau, "TKTG-TAU/XX04DEC*NOTE");
  EXPECT_EQ(w.Enter("T.T@AU/07DEC"), Cr({"*"}));
  EXPECT_EQ(w.Enter("*TD")[0], Cr("TKTG-TAU/XX07DEC"));
  w.Enter("R.TEST");
  w.Enter("ER");
  EXPECT_EQ(w.world().pnrs.Find("ABC123")->tau, "TKTG-TAU/XX07DEC");
}

TEST_F(PnrEntriesTest, TicketingDateMustBeADayMonth) {
  for (const char* entry : {"T.T@AU/", "T.T@AU/6DEC", "T.T@AU/06dec", "T.T@AU/32DEC",
                            "T.T@AU/31APR", "T.T@AU/AADEC", "T.T@AU/06XYZ*X"}) {
    EXPECT_EQ(w.Enter(entry), Cr({"FORMAT"})) << entry;
  }
  EXPECT_EQ(w.Enter("T.T@AU/29FEB"), Cr({"*"}));
}

TEST_F(PnrEntriesTest, ReceivedFromNeedsText) {
  EXPECT_EQ(w.Enter("R."), Cr({"FORMAT"}));
  EXPECT_EQ(w.Enter("R.J SMITH"), Cr({"*"}));
}

TEST(NotepadFaultTest, RefusedPnrsAnswerFormat) {
  SimWorld w(R"({"agent_ids": ["1"], "signed_in": true, "pccs": {"P1": {}},
      "pnrs": [{"locator": "AAA111", "owner_pcc": "P1"}, {"locator": "BBB222", "owner_pcc": "P1"}],
      "queues": {"P1/1": ["AAA111", "BBB222"]},
      "faults": {"refuse_notepad": ["AAA111"]}})");
  w.Enter("Q/P1/1");
  EXPECT_EQ(w.Enter("NP.HELLO"), Cr({"FORMAT"}));
  EXPECT_EQ(w.Enter("Q/P1/1")[0], Cr("AAA111/   P1 06DEC"));  // nothing pending
  w.Enter("I");
  EXPECT_EQ(w.Enter("NP.HELLO"), Cr({"*"}));
}

}  // namespace
}  // namespace ambervale::sim
