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

// The "*TD" display as the simulated host shows it; another host may show the ticketing line
// second, or in lower case. A date not yet due is left alone.
TEST(RefreshTicketingDateTest, ADueDateMovesToTodayWithItsTail) {
  const struct {
    const char* tau;
    const char* screen;  // empty: the host's own
    const char* after;
  } kCases[] = {
      {"{today-2}*NOTE", "", "TKTG-TAU/XX06DEC*NOTE"},
      {"{today-2}*NOTE",
       R"(["TKTG-TKT ISSUED<CARRIAGE_RETURN/>", "TKTG-TAU/XX04DEC*NOTE<CARRIAGE_RETURN/>"])",
       "TKTG-TAU/XX06DEC*NOTE"},
      {"{today-2}*NOTE", R"(["tktg-tau/XX04DEC*NOTE<CARRIAGE_RETURN/>", "<CARRIAGE_RETURN/>"])",
       "TKTG-TAU/XX06DEC*NOTE"},
      {"{today+1}", "", "TKTG-TAU/XX07DEC"},
  };
  for (const auto& c : kCases) {
    TestProgram p;
    const std::string faults = *c.screen == '\0' ? "{}"
                                                 : R"({"script": [{"prefix": "*TD", "lines": )" +
                                                       std::string(c.screen) + "}]}";
    p.Connect(
        Scenario({Pnr("ABC123", "XY", "A/A", R"("tau": "TKTG-TAU/XX)" + std::string(c.tau) + "\"")},
                 {{"ABC1/12", {"ABC123"}}}, faults));
    p.layer->sendTECommand("Q/ABC1/12");
    const bool due = std::string(c.after).ends_with("06DEC*NOTE");
    EXPECT_EQ(RefreshTicketingDate(p.form, *p.layer, "ABC123"), due) << c.screen;
    p.layer->sendTECommand("*TD");
    EXPECT_EQ(p.layer->GetResponseLine(0), std::string(c.after) + "<CARRIAGE_RETURN/>") << c.screen;
    EXPECT_EQ(p.tap->Count("T.T@AU/06DEC*NOTE"), due ? 1 : 0) << c.screen;
    EXPECT_EQ(p.Log("action_log_1.txt"),
              due ? "2026/12/06 10:00:00 - ABC123 changes T fields.\r\n" : "")
        << c.screen;
    EXPECT_EQ(p.RunLog().find("2026/12/06 10:00:00 - ABC123 changes T field.") != std::string::npos,
              due);
  }
}

}  // namespace
}  // namespace ambervale::testing
