#include "form/counters.h"

#include <gtest/gtest.h>

#include "testing/test_program.h"

namespace ambervale {
namespace {

TEST(CountersTest, MovedAndFailedCountersWrapIntoTheirSubCounts) {
  const struct {
    int32_t before;
    int32_t sub_before;
    int32_t after;
    int32_t sub_after;
  } kCases[] = {
      {0, 0, 1, 0},         {999999998, 0, 999999999, 0}, {999999999, 0, 1, 1},
      {999999999, 4, 1, 5}, {2147483647, 0, 1, 1},  // anything at or past the limit wraps
  };
  for (const auto& c : kCases) {
    TestProgram p;
    p.form.intSuccessCount = p.form.intFailCount = c.before;
    p.form.intSuccessSubCount = p.form.intFailSubCount = c.sub_before;
    CountSuccess(p.form);
    CountFailure(p.form);
    EXPECT_EQ(p.form.intSuccessCount, c.after) << c.before;
    EXPECT_EQ(p.form.intSuccessSubCount, c.sub_after) << c.before;
    EXPECT_EQ(p.form.intFailCount, c.after) << c.before;
    EXPECT_EQ(p.form.intFailSubCount, c.sub_after) << c.before;
  }
}

}  // namespace
}  // namespace ambervale
