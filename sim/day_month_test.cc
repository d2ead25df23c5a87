// The simulator's own day-month rules (the host's "06DEC" form itself is the platform's):
// which texts are dates, the nearest year of a day-month, the first one on or after a day, and
// the "{today}" placeholders of scenario files.

#include "sim/day_month.h"

#include <gtest/gtest.h>

namespace ambervale::sim {
namespace {

using std::chrono::sys_days;

sys_days Day(int y, int m, int d) { return std::chrono::year{y} / m / d; }

TEST(DayMonthTest, ParsesNearestAndExpandsPlaceholders) {
  for (const char* text : {"06DEC", "29FEB", "31JAN"}) EXPECT_TRUE(ParseDayMonth(text)) << text;
  for (const char* text : {"30FEB", "31APR", "00JAN", "6DEC", "06dec", "06DECX", "A6DEC", ""}) {
    EXPECT_FALSE(ParseDayMonth(text)) << text;
  }
  // The date in last, this or next year nearest to today (ties to the earlier); "+" rows are
  // the first on or after today instead.
  const struct {
    const char* day_month;
    sys_days today;
    std::optional<sys_days> expected;
    bool on_or_after = false;
  } kDates[] = {
      {"02JAN", Day(2026, 12, 30), Day(2027, 1, 2)},
      {"28DEC", Day(2027, 1, 2), Day(2026, 12, 28)},
      {"29FEB", Day(2026, 12, 6), std::nullopt},
      {"29FEB", Day(2027, 12, 6), Day(2028, 2, 29)},
      {"01MAR", Day(2027, 8, 31), Day(2027, 3, 1)},  // 183 days either way
      {"28DEC", Day(2026, 12, 28), Day(2026, 12, 28), true},
      {"29FEB", Day(2025, 3, 1), Day(2028, 2, 29), true},
  };
  for (const auto& c : kDates) {
    const DayMonth dm = *ParseDayMonth(c.day_month);
    EXPECT_EQ(c.on_or_after ? FirstOnOrAfter(dm, c.today) : NearestDate(dm, c.today), c.expected)
        << c.day_month << " near " << FormatDayMonth(c.today);
  }
  // Placeholders are expanded in the demo's and the transcripts' scenarios; a bad one is
  // refused whole, a huge offset too.
  std::string bad;
  EXPECT_EQ(ExpandTodayPlaceholders("{TODAY} {today+1234567}", Day(2026, 12, 30), &bad),
            std::nullopt);
  EXPECT_EQ(bad, "{today+1234567}");
}

}  // namespace
}  // namespace ambervale::sim
