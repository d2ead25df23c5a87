#include "sim/day_month.h"

#include <gtest/gtest.h>

namespace ambervale::sim {
namespace {

using std::chrono::sys_days;

sys_days Day(int y, int m, int d) {
  return sys_days(std::chrono::year_month_day{std::chrono::year{y},
                                              std::chrono::month{static_cast<unsigned>(m)},
                                              std::chrono::day{static_cast<unsigned>(d)}});
}

TEST(DayMonthTest, FormatsTwoDigitDayAndMonth) {
  EXPECT_EQ(FormatDayMonth(Day(2026, 12, 6)), "06DEC");
  EXPECT_EQ(FormatDayMonth(Day(2027, 1, 31)), "31JAN");
}

TEST(DayMonthTest, ParsesOnlyRealDayMonths) {
  const struct {
    const char* text;
    bool valid;
  } kCases[] = {{"06DEC", true},   {"29FEB", true},  {"31JAN", true}, {"30FEB", false},
                {"31APR", false},  {"00JAN", false}, {"6DEC", false}, {"06dec", false},
                {"06DECX", false}, {"A6DEC", false}, {"", false},     {"32MAR", false}};
  for (const auto& c : kCases) {
    EXPECT_EQ(ParseDayMonth(c.text).has_value(), c.valid) << c.text;
  }
}

TEST(DayMonthTest, NearestDateOfLastThisOrNextYear) {
  const struct {
    const char* day_month;
    sys_days today;
    std::optional<sys_days> expected;
  } kCases[] = {
      {"02JAN", Day(2026, 12, 30), Day(2027, 1, 2)},
      {"28DEC", Day(2027, 1, 2), Day(2026, 12, 28)},
      {"06DEC", Day(2026, 12, 6), Day(2026, 12, 6)},
      {"15JUN", Day(2026, 12, 6), Day(2026, 6, 15)},
      {"15JUN", Day(2026, 12, 20), Day(2027, 6, 15)},
      {"29FEB", Day(2026, 12, 6), std::nullopt},
      {"29FEB", Day(2027, 12, 6), Day(2028, 2, 29)},
      // 2027-08-31 lies 183 days after 01MAR2027 and 183 days before 01MAR2028: the earlier.
      {"01MAR", Day(2027, 8, 31), Day(2027, 3, 1)},
      {"01MAR", Day(2027, 9, 1), Day(2028, 3, 1)},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(NearestDate(*ParseDayMonth(c.day_month), c.today), c.expected)
        << c.day_month << " near " << FormatDayMonth(c.today);
  }
}

TEST(DayMonthTest, FirstOnOrAfterCrossesTheYear) {
  EXPECT_EQ(FirstOnOrAfter(*ParseDayMonth("03JAN"), Day(2026, 12, 28)), Day(2027, 1, 3));
  EXPECT_EQ(FirstOnOrAfter(*ParseDayMonth("28DEC"), Day(2026, 12, 28)), Day(2026, 12, 28));
  EXPECT_EQ(FirstOnOrAfter(*ParseDayMonth("29FEB"), Day(2025, 3, 1)), Day(2028, 2, 29));
}

TEST(DayMonthTest, ExpandsTodayPlaceholders) {
  const struct {
    const char* text;
    const char* expected;  // nullptr: refused
  } kCases[] = {
      {"TKTG-TAU/XX{today}", "TKTG-TAU/XX30DEC"},
      {"{today+3}*{today-30}", "02JAN*30NOV"},
      {"{today+0}", "30DEC"},
      {"no placeholder {}", "no placeholder {}"},
      {"{today+}", nullptr},
      {"{today+x}", nullptr},
      {"{today", nullptr},
      {"{today*2}", nullptr},
      {"{today+1234567}", nullptr},
      {"{TODAY}", "{TODAY}"},
  };
  for (const auto& c : kCases) {
    std::string bad;
    const std::optional<std::string> out = ExpandTodayPlaceholders(c.text, Day(2026, 12, 30), &bad);
    if (c.expected == nullptr) {
      EXPECT_FALSE(out.has_value()) << c.text;
      EXPECT_FALSE(bad.empty()) << c.text;
    } else {
      EXPECT_EQ(out, std::optional<std::string>(c.expected)) << c.text;
    }
  }
}

}  // namespace
}  // namespace ambervale::sim
