#include "form/frm_main.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/counters.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

// Screen lines go to the list: the newest 101, the last selected (the action log file's lines,
// an entry with line breaks among them, are in the golden runs).
TEST(AddActionLogTest, TheListKeepsTheNewestLines) {
  TestProgram p;
  for (int i = 1; i <= 150; ++i) p.form.AddActionLog("line " + std::to_string(i));
  EXPECT_EQ(p.window.list().front(), "2026/12/06 10:00:00 - line 50");
  EXPECT_EQ(p.window.selected(), 100);
}

// Only the unticketed mode stops, on Yes or a confirmed cancel, with the operator's name (the
// unticketed runs hold the question answered Yes and No; the mode written "utk", the task and
// start-up tests).
TEST(CancelTest, StopsTheUnticketedRunWithTheOperatorsName) {
  const struct {
    const char* mode;
    BoxAnswer answer;
    bool confirmed;
    const char* error;
  } kCases[] = {
      {"", BoxAnswer::kYes, false, ""},
      {"UTK", BoxAnswer::kNo, true,
       "Error message: Processing cancelled at 2026/12/06 10:00:00 by Jos\xE9 Lane.,,,"},
  };
  for (const auto& c : kCases) {
    TestProgram p;
    p.form.strPNRMoveMode = c.mode;
    p.env.set_operator_name("Jos\xE9.Lane");  // Windows-1252, as the system Env gives it
    p.window.QueueAnswer(c.answer);
    p.form.cmdCancel_Click(c.confirmed);
    EXPECT_EQ(p.form.strErrMsg, c.error) << c.mode << c.confirmed;
    EXPECT_EQ(p.form.blnStopRequested, *c.error != 0) << c.mode << c.confirmed;
    EXPECT_EQ(p.window.boxes().size(), c.confirmed ? 0u : 1u) << c.mode;
  }
}

TEST(CountersTest, MovedAndFailedCountersWrapIntoTheirSubCounts) {
  // before, sub-count before, after, sub-count after; anything at or past the limit wraps
  const int32_t kCases[][4] = {
      {999999998, 0, 999999999, 0}, {999999999, 4, 1, 5}, {2147483647, 0, 1, 1}};
  for (const auto& c : kCases) {
    TestProgram p;
    p.form.intSuccessCount = p.form.intFailCount = c[0];
    p.form.intSuccessSubCount = p.form.intFailSubCount = c[1];
    CountSuccess(p.form);
    CountFailure(p.form);
    const std::vector<int32_t> after = {p.form.intSuccessCount, p.form.intSuccessSubCount,
                                        p.form.intFailCount, p.form.intFailSubCount};
    EXPECT_EQ(after, (std::vector<int32_t>{c[2], c[3], c[2], c[3]})) << c[0];
  }
}

}  // namespace
}  // namespace ambervale::testing
