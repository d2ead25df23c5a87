#include "distribution/check_tau.h"

#include <gtest/gtest.h>

#include <memory>

#include "sim/sim_host.h"
#include "sim/sim_terminal.h"
#include "testing/test_program.h"

namespace ambervale {
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

class RefreshTicketingDateTest : public ::testing::Test {
 protected:
  // `faults` as the scenario writes them.
  void Start(std::string_view tau, std::string_view faults = "{}") {
    const std::string scenario = R"({"signed_in": true, "pccs": {"ABC1": {}},
      "pnrs": [{"locator": "ABC123", "owner_pcc": "ABC1", "tau": ")" +
                                 std::string(tau) + R"("}],
      "queues": {"ABC1/12": ["ABC123"]}, "faults": )" +
                                 std::string(faults) + "}";
    Status status;
    host_ = sim::SimHost::FromScenarioText(scenario, program_.env, &status);
    ASSERT_TRUE(host_) << status.message();
    terminals_ = std::make_unique<sim::SimTerminalFactory>(*host_);
    layer_ = std::make_unique<HostLayer>(program_.form, program_.alerts, *terminals_);
    ASSERT_EQ(layer_->ConnectHost(), "OK");
    layer_->sendTECommand("Q/ABC1/12");
    program_.form.strTAUDate = "5";
  }

  std::string Tau() {
    layer_->sendTECommand("*TD");
    return layer_->GetResponseLine(0);
  }

  TestProgram program_;
  std::unique_ptr<sim::SimHost> host_;
  std::unique_ptr<sim::SimTerminalFactory> terminals_;
  std::unique_ptr<HostLayer> layer_;
};

TEST_F(RefreshTicketingDateTest, ADueDateMovesToTodayWithItsTail) {
  // The "*TD" display as the host shows it; another host may show the ticketing line second,
  // or in lower case.
  for (const char* screen :
       {"", R"(["TKTG-TKT ISSUED<CARRIAGE_RETURN/>", "TKTG-TAU/XX04DEC*NOTE<CARRIAGE_RETURN/>"])",
        R"(["tktg-tau/XX04DEC*NOTE<CARRIAGE_RETURN/>", "<CARRIAGE_RETURN/>"])"}) {
    Start("TKTG-TAU/XX{today-2}*NOTE",
          *screen == '\0'
              ? "{}"
              : R"({"script": [{"prefix": "*TD", "lines": )" + std::string(screen) + "}]}");
    EXPECT_TRUE(RefreshTicketingDate(program_.form, *layer_, "ABC123")) << screen;
    EXPECT_EQ(Tau(), "TKTG-TAU/XX06DEC*NOTE<CARRIAGE_RETURN/>") << screen;
  }
  const std::string debug = program_.Log("debug_log_1.txt");
  EXPECT_NE(debug.find("<FORMAT>T.T@AU/06DEC*NOTE</FORMAT>"), std::string::npos);
  EXPECT_NE(program_.RunLog().find("2026/12/06 10:00:00 - ABC123 changes T field."),
            std::string::npos);
  EXPECT_NE(
      program_.Log("action_log_1.txt").find("2026/12/06 10:00:00 - ABC123 changes T fields.\r\n"),
      std::string::npos);
}

TEST_F(RefreshTicketingDateTest, ADateNotDueIsLeftAlone) {
  Start("TKTG-TAU/XX{today+1}");
  EXPECT_FALSE(RefreshTicketingDate(program_.form, *layer_, "ABC123"));
  EXPECT_EQ(Tau(), "TKTG-TAU/XX07DEC<CARRIAGE_RETURN/>");
  EXPECT_EQ(program_.Log("debug_log_1.txt").find("T.T@AU/"), std::string::npos);
  EXPECT_EQ(program_.Log("action_log_1.txt"), "");
}

}  // namespace
}  // namespace ambervale
