#include "form/frm_main.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/system_env.h"
#include "testing/test_program.h"

namespace ambervale {
namespace {

constexpr char kStamp[] = "2026/12/06 10:00:00 - ";

TEST(AddActionLogTest, ScreenLinesGoToTheActionLogFile) {
  TestProgram p;
  p.form.AddActionLog("Loaded completed.");
  p.form.AddActionLog("a\r\nb");  // one entry, line breaks and all
  ASSERT_EQ(p.window.list().size(), 2u);
  EXPECT_EQ(p.window.list()[0], std::string(kStamp) + "Loaded completed.");
  EXPECT_EQ(p.window.selected(), 1);
  EXPECT_EQ(p.Log("action_log_1.txt"),
            std::string(kStamp) + "Loaded completed.\r\n" + kStamp + "a\r\nb\r\n");
  EXPECT_EQ(p.RunLog(), "");
}

TEST(AddActionLogTest, FileOnlyLinesChooseTheirFileByPrefix) {
  TestProgram p;
  p.form.AddActionLog("Application Started:", kRunLogPrefix, true);
  p.form.AddActionLog("moved", kSuccessPrefix, true);
  p.form.AddActionLog("file only", "", true);
  EXPECT_TRUE(p.window.list().empty());
  EXPECT_EQ(p.RunLog(), std::string(kStamp) + "Application Started:\r\n");
  EXPECT_EQ(p.Log("Success_PNR_1.txt"), "#### " + std::string(kStamp) + "moved ####\r\n");
  EXPECT_EQ(p.Log("action_log_1.txt"), std::string(kStamp) + "file only\r\n");
}

TEST(AddActionLogTest, ListKeepsTheNewest101LinesAndSelectsTheLast) {
  TestProgram p;
  for (int i = 1; i <= 150; ++i) p.form.AddActionLog("line " + std::to_string(i));
  ASSERT_EQ(p.window.list().size(), 101u);
  EXPECT_EQ(p.window.list().front(), std::string(kStamp) + "line 50");
  EXPECT_EQ(p.window.list().back(), std::string(kStamp) + "line 150");
  EXPECT_EQ(p.window.selected(), 100);
}

TEST(ShowStatusTest, HighlightsOneLabelAndLetsEventsRun) {
  const struct {
    Stage state;
    Control highlighted;
  } kCases[] = {
      {Stage::kCountdown, Control::kLblCountDown},
      {Stage::kPeekQueue, Control::kLblPeekQueue},
      {Stage::kRetrieveData, Control::kLblRetrieveDataFromQueue},
      {Stage::kCheckNewData, Control::kLblMoveQueue},
  };
  for (const auto& c : kCases) {
    TestProgram p;
    p.form.ShowStatus(c.state);
    for (Control label : {Control::kLblCountDown, Control::kLblPeekQueue,
                          Control::kLblRetrieveDataFromQueue, Control::kLblMoveQueue}) {
      EXPECT_EQ(p.window.colour(label), label == c.highlighted ? kHighlight : kGrey)
          << static_cast<int>(c.state) << " label " << static_cast<int>(label);
    }
    EXPECT_EQ(p.window.do_events_count(), 1) << static_cast<int>(c.state);
  }
  TestProgram p;
  p.form.ShowStatus(Stage::kCountdown, " (59)");
  EXPECT_EQ(p.window.caption(Control::kLblCountDown), "Count down (59)");
  p.form.ShowStatus(Stage::kCountdown);
  EXPECT_EQ(p.window.caption(Control::kLblCountDown), "Count down");
}

// Keeps the last status line it was given.
struct LastStatus : ServiceStatus {
  void Ready() override {}
  void Status(std::string_view text) override { line = text; }
  void Watchdog() override {}
  std::string line;
};

TEST(RefreshCountersTest, ShowsCountersAndSubCountsAndHandsTheirLineToTheServiceStatus) {
  TestProgram p;
  LastStatus status;
  p.form.set_service_status(&status);
  p.form.FailQueueActivated = true;
  p.form.intSuccessCount = 1;
  p.form.intSuccessSubCount = 1;
  p.form.intFailCount = 7;
  p.form.intFailSubCount = 0;
  p.form.lngSuccessOrgQ2FailQCount = 3;
  p.form.lngFailFromFail2OrgQCount = -2;
  p.form.RefreshCounters();
  EXPECT_EQ(p.window.caption(Control::kLbSuccessCount), "1");
  EXPECT_EQ(p.window.caption(Control::kLbSuccessSubCount), "(1)");
  EXPECT_EQ(p.window.caption(Control::kLbFailCount), "7");
  EXPECT_EQ(p.window.caption(Control::kLbFailSubCount), "");
  EXPECT_EQ(p.window.caption(Control::kLblSuccessToFailQ), "3");
  EXPECT_EQ(p.window.caption(Control::kLblFailFromFailQ), "-2");
  EXPECT_TRUE(p.window.bold(Control::kLblFailToFailQ));
  EXPECT_FALSE(p.window.bold(Control::kLbFailSubCount));
  EXPECT_EQ(status.line,
            "moved 1 (1) failed 7 | To Fail Queue: moved 3 failed 0 | From Fail Queue: moved 0 "
            "failed -2");
  // Fail Queue counters that count nothing are left out.
  p.form.FailQueueCategory = "C1";
  p.form.lngSuccessOrgQ2FailQCount = 0;
  p.form.RefreshCounters();
  EXPECT_EQ(status.line, "moved 1 (1) failed 7 | From Fail Queue Category: moved 0 failed -2");
}

TEST(DoubleClickTest, ShowsTheSelectedLineOrNothing) {
  TestProgram p;
  p.form.lstActionLog_DblClick();
  p.form.AddActionLog("a long line");
  p.form.lstActionLog_DblClick();
  ASSERT_EQ(p.window.boxes().size(), 2u);
  EXPECT_EQ(p.window.boxes()[0].text, "");
  EXPECT_EQ(p.window.boxes()[0].title, "Action Log Message");
  EXPECT_EQ(p.window.boxes()[1].text, std::string(kStamp) + "a long line");
  EXPECT_EQ(p.window.boxes()[1].icon, BoxIcon::kNone);
}

TEST(CancelTest, YesInUnticketedModeStopsWithTheOperatorsName) {
  TestProgram p;
  p.form.strPNRMoveMode = "utk";
  // The name as the system Env gives it: converted once, from the account's UTF-8.
  p.env.set_operator_name(OperatorNameFromAccount("Jos\xC3\xA9.Lane,Room 4", "jose"));
  p.window.QueueAnswer(BoxAnswer::kYes);
  p.form.cmdCancel_Click();
  ASSERT_EQ(p.window.boxes().size(), 1u);
  EXPECT_EQ(p.window.boxes()[0].title, "Cancel queuing unticketed PNRs");
  EXPECT_EQ(p.window.boxes()[0].buttons, BoxButtons::kYesNo);
  EXPECT_EQ(p.window.boxes()[0].text.substr(0, 51),
            " Are you sure you want to cancel this progress?\r\n\r\n");
  EXPECT_TRUE(p.form.blnStopRequested);
  EXPECT_EQ(p.form.strErrMsg,
            "Error message: Processing cancelled at 2026/12/06 10:00:00 by Jos\xE9 Lane.,,,");
}

TEST(CancelTest, NoOrAnotherModeChangesNothingAndAConfirmedCancelAsksNothing) {
  for (const char* mode : {"UTK", ""}) {
    TestProgram p;
    p.form.strPNRMoveMode = mode;
    p.window.QueueAnswer(std::string(mode).empty() ? BoxAnswer::kYes : BoxAnswer::kNo);
    p.form.cmdCancel_Click();
    EXPECT_FALSE(p.form.blnStopRequested) << mode;
    EXPECT_EQ(p.form.strErrMsg, "") << mode;
  }
  TestProgram p;
  p.form.strPNRMoveMode = "UTK";
  p.env.set_operator_name("");
  p.form.cmdCancel_Click(/*confirmed=*/true);
  EXPECT_TRUE(p.window.boxes().empty());
  EXPECT_TRUE(p.form.blnStopRequested);
  EXPECT_EQ(p.form.strErrMsg, "Error message: Processing cancelled at 2026/12/06 10:00:00 by .,,,");
}

}  // namespace
}  // namespace ambervale
