#include "distribution/check_tau.h"

#include <gtest/gtest.h>

#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

CivilTime Day(int year, int month, int day) {
  CivilTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  return t;
}

TEST(DueTauTailTest, RefreshesDatesThatFellDueWithinThePeriod) {
  const struct {
    CivilTime today;
    int period;
    const char* line;
    const char* tail;  // nullptr: not due
  } kCases[] = {
      {Day(2026, 3, 10), 5, "TKTG-TAU/XX07MAR", ""},
      {Day(2026, 3, 10), 5, "TKTG-TAU/XX05MAR", ""},
      {Day(2026, 3, 10), 5, "TKTG-TAU/XX10MAR", nullptr},  // today
      {Day(2026, 3, 10), 5, "TKTG-TAU/XX04MAR", nullptr},  // before the period
      {Day(2026, 3, 10), 5, "TKTG-TAU/XX12MAR", nullptr},  // not yet due
      {Day(2026, 3, 10), 0, "TKTG-TAU/XX09MAR", nullptr},  // no period
      // The period reaches back into last year: limit 28 December of this year.
      {Day(2026, 1, 2), 5, "TKTG-TAU/XX30DEC", ""},
      {Day(2026, 1, 2), 5, "TKTG-TAU/XX01JAN", ""},
      {Day(2026, 1, 2), 5, "TKTG-TAU/XX02JAN", nullptr},
      {Day(2026, 1, 2), 5, "TKTG-TAU/XX27DEC", nullptr},
      // Tails.
      {Day(2026, 3, 10), 5, "TKTG-TAU/XX07MAR*NOTE", "*NOTE"},
      {Day(2026, 3, 10), 5, "tktg-tau/XX07MAR", ""},
      {Day(2026, 3, 10), 5, "TKTG-TAU/XX07MAR*NOTE\r\n", "*NOTE"},
      {Day(2026, 3, 10), 5, "TKTG-TAU/XX07MAR*PLS TKT W/ AA", "*PLS TKT W/ AA"},
      // Lines whose date cannot be read are left alone.
      {Day(2026, 3, 10), 5, "TKTG-TAU/XX07XYZ", nullptr},
      {Day(2026, 3, 10), 5, "TKTG-TAU/XX07Mar", nullptr},
      {Day(2026, 3, 10), 5, "TKTG-TAU/XXA7MAR", nullptr},
      {Day(2026, 3, 10), 5, "TKTG-TAU/XX 7MAR", nullptr},
      {Day(2026, 3, 10), 40, "TKTG-TAU/XX30FEB", nullptr},
      {Day(2026, 3, 10), 5, "TKTG-TAU/XX07", nullptr},
      {Day(2026, 3, 10), 5, "TKTG-TKT ISSUED", nullptr},
      {Day(2026, 3, 10), 5, "", nullptr},
  };
  for (const auto& c : kCases) {
    const std::optional<std::string> tail = DueTauTail(c.today, c.period, c.line);
    if (c.tail == nullptr) {
      EXPECT_FALSE(tail) << c.line << " on " << c.today.day << "/" << c.today.month;
    } else {
      EXPECT_EQ(tail.value_or("<not due>"), c.tail)
          << c.line << " on " << c.today.day << "/" << c.today.month;
    }
  }
}

}  // namespace
}  // namespace ambervale::testing
