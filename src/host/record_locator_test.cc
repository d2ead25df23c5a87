#include "host/record_locator.h"

#include <gtest/gtest.h>

#include "host/busy_retry.h"
#include "testing/scripted_terminal.h"
#include "testing/test_program.h"

namespace ambervale {
namespace {

class RecordLocatorTest : public ::testing::Test {
 protected:
  RecordLocatorTest() : host_(program_.form, program_.alerts, script_) {
    script_.Answer({" *VANTORA* AGENT 1234 SIGNED IN<CARRIAGE_RETURN/>"});
    EXPECT_EQ(testing::ConnectState(host_), "OK");
  }

  TestProgram program_;
  testing::ScriptedTerminalFactory script_;
  HostLayer host_;
};

TEST_F(RecordLocatorTest, ReadsTheLocatorLine) {
  const struct {
    const char* name;
    std::vector<std::string> lines;
    const char* rloc;
    const char* sine;  // what the sine variable holds afterwards ("--" untouched)
  } kCases[] = {
      {"locator first",
       {"ABC123/XY ABC1 06DEC<CARRIAGE_RETURN/>", "1.1SMITH/JOHN MR"},
       "ABC123",
       "XY"},
      {"header first",
       {"QUEUE 012 ABC1<CARRIAGE_RETURN/>", "DEF456/QR ABC1 06DEC"},
       "DEF456",
       "QR"},
      {"no B.F. wins", {"NO B.F.<CARRIAGE_RETURN/>", "ABC123/XY ABC1"}, "NO B.F.", "--"},
      {"queue empty", {"QUEUE EMPTY<CARRIAGE_RETURN/>"}, "QUEUE EMPTY", "--"},
      {"queue empty lower case", {"queue empty"}, "QUEUE EMPTY", "--"},
      {"slash at 8 is skipped", {"ABC1234/XY ABC1"}, "", "--"},
      {"slash at 7 after a skipped line", {"ABC1234/XY", "GHI789/  ABC1"}, "GHI789", "  "},
      {"signed out", {"SIGN IN<CARRIAGE_RETURN/>"}, "", "--"},
      {"no lines", {}, "", "--"},
      {"short line", {"A/"}, "", "--"},
  };
  for (const auto& c : kCases) {
    script_.Answer(c.lines);
    std::string sine = "--", rloc;
    EXPECT_FALSE(GetRLocByTeCommand(host_, &rloc, &sine));
    EXPECT_EQ(rloc, c.rloc) << c.name;
    EXPECT_EQ(sine, c.sine) << c.name;
    EXPECT_EQ(script_.requests().back(), "<FORMAT>*R</FORMAT>") << c.name;
  }
}

TEST_F(RecordLocatorTest, ABusyHostIsNotAskedForever) {
  for (int i = 0; i <= kBusyResends + 1; ++i) {
    script_.Answer({"PREVIOUS ENTRY IN PROGRESS<CARRIAGE_RETURN/>"});
  }
  std::string rloc;
  EXPECT_FALSE(GetRLocByTeCommand(host_, &rloc));
  EXPECT_EQ(script_.requests().size(), 1u + 1u + kBusyResends);
}

}  // namespace
}  // namespace ambervale
