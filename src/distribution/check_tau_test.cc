#include "distribution/check_tau.h"

#include <gtest/gtest.h>

namespace ambervale::testing {
namespace {

TEST(DueTauTailTest, RefreshesDatesThatFellDueWithinThePeriod) {
  const CivilTime kJan2{2026, 1, 2};
  const struct {
    const char* line;
    const char* tail;  // nullptr: not due (no refresh)
    int period = 5;
    CivilTime today{2026, 3, 10};
  } kCases[] = {
      {"TKTG-TAU/XX05MAR", ""},
      {"TKTG-TAU/XX10MAR", nullptr},     // today: not yet due
      {"TKTG-TAU/XX04MAR", nullptr},     // before the period
      {"TKTG-TAU/XX09MAR", nullptr, 0},  // no period
      // The period reaches back into last year: limit 28 December of this year.
      {"TKTG-TAU/XX30DEC", "", 5, kJan2},
      {"TKTG-TAU/XX01JAN", "", 5, kJan2},
      {"TKTG-TAU/XX27DEC", nullptr, 5, kJan2},
      // Tails (a mark in lower case: the PNR step's ticketing refresh).
      {"TKTG-TAU/XX07MAR*PLS TKT W/ AA\r\n", "*PLS TKT W/ AA"},
      // Lines whose date cannot be read are left alone.
      {"TKTG-TAU/XX07XYZ", nullptr},
      {"TKTG-TAU/XXA7MAR", nullptr},
      {"TKTG-TAU/XX30FEB", nullptr, 40},
      {"", nullptr},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(DueTauTail(c.today, c.period, c.line).value_or("<not due>"),
              c.tail == nullptr ? "<not due>" : c.tail)
        << c.line << " on " << c.today.day << "/" << c.today.month;
  }
}

}  // namespace
}  // namespace ambervale::testing
