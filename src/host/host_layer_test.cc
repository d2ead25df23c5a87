#include "host/host_layer.h"

#include <gtest/gtest.h>

#include <vector>

#include "testing/scripted_terminal.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

// Each case: the first line of the answer (none: an empty answer; "!": the terminal cannot be
// made, for that reason), the sign-on state and the alert mailed, then the run log, or the box
// and whether the debug log names the reason.
TEST(ConnectHostTest, ClassifiesTheFirstLine) {
  const struct {
    const char* line;
    const char* result;
  } kCases[] = {
      {" *VANTORA* AGENT 1234 SIGNED IN<CARRIAGE_RETURN/>", "OK"},
      {"*VANTORA* AGENT 1234 SIGNED IN<CARRIAGE_RETURN/>", ""},
      {"*ORSINE* AGENT 1234 SIGNED IN", "FAIL"},
      {"duty code not authorised for terminal - vantora<CARRIAGE_RETURN/>", "OK"},
      {"SIGN IN<CARRIAGE_RETURN/>", "SIGN IN"},
      {"SIGN ON COMPLETE", ""},
      {nullptr,
       "FAIL HOST Connection failed: Unable to obtain response from the Vantora HOST !!! "
       "2026/12/06 10:00:00 - Invalid line number 0: HOST Response failed!\r\n"},
      {"!no route", " box Error creating Tessiver Terminal Object, logged"},
  };
  for (const auto& c : kCases) {
    TestProgram p;
    ScriptedTerminalFactory terminals;
    if (c.line != nullptr)
      *c.line == '!' ? terminals.FailCreate(c.line + 1) : terminals.Answer({c.line});
    HostLayer host(p.form, p.alerts, terminals);
    std::string got = ConnectState(host);
    for (const auto& mail : p.mailers.attempts()) got += " " + mail.text + " " + p.RunLog();
    for (const auto& box : p.window.boxes()) {
      got += " box " + box.text +
             (p.Log("debug_log_1.txt").find("no route") != std::string::npos ? ", logged" : "");
    }
    EXPECT_EQ(got, c.result) << (c.line ? c.line : "none");
  }
}

// The request and the response lines go to the debug log as the start-ups' golden file shows.
TEST(SendTeCommandTest, EscapesTheEntryAndWaitsTenSecondsOnEachBusyAnswer) {
  TestProgram p;
  ScriptedTerminalFactory terminals;
  for (const char* line : {"X", "PREVIOUS ENTRY IN PROGRESS<CARRIAGE_RETURN/>", "OK",
                           "previous entry in progress", "PREVIOUS ENTRY IN PROGRESS"}) {
    terminals.Answer({line});
  }
  HostLayer host(p.form, p.alerts, terminals);
  (void)ConnectState(host);  // takes the first answer
  EXPECT_FALSE(host.sendTECommand("NP.A&B"));
  EXPECT_EQ(terminals.requests().back(), "<FORMAT>NP.A&amp;B</FORMAT>");
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(host.sendTECommand("*R"));
  EXPECT_EQ(terminals.requests().size(), 5u);  // none sent again
  EXPECT_EQ(p.env.sleeps(), (std::vector<int64_t>{10000, 10000}));
}

// The reason in the debug and action logs is checked by the end-to-end fault survival run.
TEST(SendTeCommandTest, NoTerminalEndsTheProgramAfterTheAlert) {
  const std::string lost =
      "Unable to obtain response from Vantora HOST !!! Unable to obtain response from Quillmarsh.";
  for (const std::string mode : {"", "UTK"}) {
    TestProgram p;
    p.form.strPNRMoveMode = mode;
    ScriptedTerminalFactory terminals;
    HostLayer host(p.form, p.alerts, terminals);
    EXPECT_EQ(host.sendTECommand("QX+I&"), ProgramEnd::Exit(1));
    ASSERT_EQ(p.mailers.attempts().size(), 1u) << mode;
    EXPECT_EQ(p.mailers.attempts()[0].text, mode.empty() ? "Error message: " + lost : "");
    if (mode == "UTK") {
      EXPECT_NE(p.Log("Unticketed_PNR_Log_1.csv").find("Host Command: QX+I&\r\n"),
                std::string::npos);
    }
  }
}

}  // namespace
}  // namespace ambervale::testing
