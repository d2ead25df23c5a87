#include "config/day_month.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace ambervale {
namespace {

TEST(DayMonthTest, FormatDayMonth) {
  CivilTime t;
  t.year = 2012;
  t.month = 12;
  t.day = 5;
  EXPECT_EQ(FormatDayMonth(t), "05DEC");
  t.month = 1;
  t.day = 1;
  EXPECT_EQ(FormatDayMonth(t), "01JAN");
  EXPECT_EQ(FormatDayMonth(6, 30), "30JUN");
}

TEST(DayMonthTest, MonthNumberNeedsTheExactAbbreviation) {
  const struct {
    const char* text;
    int16_t want;
  } kCases[] = {{"JAN", 1},  {"DEC", 12},     {"SEP", 9}, {"Dec", 0}, {"dec", 0},
                {" DEC", 0}, {"DECEMBER", 0}, {"", 0},    {"XYZ", 0}};
  for (const auto& c : kCases) EXPECT_EQ(MonthNumber(c.text), c.want) << c.text;
  for (int m = 1; m <= 12; ++m) EXPECT_EQ(MonthNumber(MonthAbbreviation(m)), m);
}

TEST(DayMonthTest, ConvertDateToDayMonth) {
  const struct {
    const char* text;
    std::optional<std::string> want;
  } kCases[] = {
      {"20121205", "05DEC"},
      {"20120101", "01JAN"},
      {"20121305", "05"},  // month 13: the day alone
      {"20120005", "05"},
      {"", ""},
      {"   ", ""},
      {"2012AB05", std::nullopt},
      {"2012", std::nullopt},  // no characters 5 and 6
      {"2012 105", "05JAN"},   // " 1" is the number 1
      {"2012-105", "05"},      // "-1" is a number, not a month
  };
  for (const auto& c : kCases) EXPECT_EQ(ConvertDateToDayMonth(c.text), c.want) << c.text;
}

}  // namespace
}  // namespace ambervale
