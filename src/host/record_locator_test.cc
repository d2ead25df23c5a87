#include "host/record_locator.h"

#include <gtest/gtest.h>

#include "host/busy_retry.h"
#include "platform/classic_text.h"
#include "testing/scripted_terminal.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

// Each case: the lines of the answer to "*R", the locator read and the sine left; then a host
// that stays busy is asked no more than the busy resends allow.
TEST(RecordLocatorTest, ReadsTheLocatorLine) {
  TestProgram program;
  ScriptedTerminalFactory script;
  HostLayer host(program.form, program.alerts, script);
  script.Answer({" *VANTORA* AGENT 1234 SIGNED IN<CARRIAGE_RETURN/>"});
  ASSERT_EQ(ConnectState(host), "OK");
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
      {"no B.F. wins", {"NO B.F.<CARRIAGE_RETURN/>", "ABC123/XY ABC1"}, "NO B.F.", "--"},
      {"queue empty lower case", {"queue empty"}, "QUEUE EMPTY", "--"},
      {"slash at 7 after a skipped line", {"ABC1234/XY", "GHI789/  ABC1"}, "GHI789", "  "},
      {"no lines", {}, "", "--"},
  };
  for (const auto& c : kCases) {
    script.Answer(c.lines);
    std::string sine = "--", rloc;
    EXPECT_FALSE(GetRLocByTeCommand(host, &rloc, &sine));
    EXPECT_EQ(rloc, c.rloc) << c.name;
    EXPECT_EQ(sine, c.sine) << c.name;
  }
  EXPECT_FALSE(Contains(program.RunLog(), "Invalid line number"));  // nothing read past the end
  for (int i = 0; i <= kBusyResends + 1; ++i) {
    script.Answer({"PREVIOUS ENTRY IN PROGRESS<CARRIAGE_RETURN/>"});
  }
  std::string rloc;
  EXPECT_FALSE(GetRLocByTeCommand(host, &rloc));
  EXPECT_EQ(script.requests().size(), 1u + std::size(kCases) + 1u + kBusyResends);
  // After a move only another locator or an emptied queue shows that the PNR has gone.
  for (const char* now : {"DEF456", "QUEUE EMPTY"})
    EXPECT_TRUE(ShowsAnotherPnr(now, "ABC123")) << now;
  for (const char* now : {"ABC123", "", "NO B.F."})
    EXPECT_FALSE(ShowsAnotherPnr(now, "ABC123")) << now;
}

}  // namespace
}  // namespace ambervale::testing
