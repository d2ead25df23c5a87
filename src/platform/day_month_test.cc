#include "platform/day_month.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace ambervale {
namespace {

TEST(DayMonthTest, TheHostsDayAndMonthForm) {
  for (int m = 1; m <= 12; ++m) EXPECT_EQ(MonthNumber(MonthAbbreviation(m)), m);
  for (const char* not_a_month : {"Dec", " DEC", "DECEMBER", ""}) {
    EXPECT_EQ(MonthNumber(not_a_month), 0) << not_a_month;
  }
  // " 1" is the number 1; "-1" is a number, not a month.
  const struct {
    const char* text;
    std::optional<std::string> want;
  } kCases[] = {{"20121205", "05DEC"}, {"20121305", "05"},         {"20120005", "05"},
                {"   ", ""},           {"2012AB05", std::nullopt}, {"2012", std::nullopt},
                {"2012 105", "05JAN"}, {"2012-105", "05"}};
  for (const auto& c : kCases) EXPECT_EQ(ConvertDateToDayMonth(c.text), c.want) << c.text;
}

}  // namespace
}  // namespace ambervale
