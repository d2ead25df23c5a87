#include "host/host_layer.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/classic_text.h"
#include "sim/sim_host.h"
#include "sim/sim_terminal.h"
#include "testing/scripted_terminal.h"
#include "testing/test_program.h"

namespace ambervale {
namespace {

using testing::ScriptedTerminalFactory;

// A host layer on a scripted terminal, connected (the first answer goes to the connection).
struct Scripted {
  explicit Scripted(std::initializer_list<std::initializer_list<const char*>> answers) {
    for (const auto& lines : answers) terminals.Answer({lines.begin(), lines.end()});
    connected = testing::ConnectState(host);
  }
  TestProgram p;
  ScriptedTerminalFactory terminals;
  HostLayer host{p.form, p.alerts, terminals};
  std::string connected;  // the sign-on state
};

TEST(MarkupTest, CleanAndFormatConvertEveryTag) {
  std::string clean = "<SOM/>A<TABSTOP/>B<PILLOW/><FORMAT/>C<FORMAT><CARRIAGE_RETURN/>";
  std::string format = clean;
  EXPECT_EQ(CleanResponseText(&clean),
            "A\xB7"
            "B@C");
  EXPECT_EQ(clean,
            "A\xB7"
            "B@C");
  EXPECT_EQ(FormatResponseText(&format),
            "A\xB7"
            "B@C\r\n");
  std::string lower = "<carriage_return/>";
  EXPECT_EQ(CleanResponseText(&lower), "<carriage_return/>");
}

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
      {"<CARRIAGE_RETURN/>", ""},
  };
  for (const auto& c : kCases) {
    Scripted s({{c.line}});
    EXPECT_EQ(s.connected, c.result) << c.line;
    EXPECT_EQ(s.terminals.requests(), std::vector<std::string>{"<FORMAT>OP/W*</FORMAT>"});
    EXPECT_TRUE(s.p.mailers.attempts().empty()) << c.line;
  }
}

TEST(ConnectHostTest, EmptyAnswerIsLoggedTwiceAndAlerted) {
  TestProgram p;
  p.dir.Write("settings.ini", "[EMails]\r\nEmailInternal=ops@x\r\n");
  Status opened;
  auto world = sim::SimHost::FromScenarioText(
      R"({"agent_ids": ["1234"], "signed_in": true, "sign_on_answer": "none"})", p.env, &opened);
  ASSERT_NE(world, nullptr) << opened.message();
  sim::SimTerminalFactory terminals(*world);
  HostLayer host(p.form, p.alerts, terminals);
  EXPECT_EQ(testing::ConnectState(host), "FAIL");
  EXPECT_NE(p.Log("debug_log_1.txt").find("Invalid line number 0 : HOST Response failed!\r\n"),
            std::string::npos);
  EXPECT_EQ(p.RunLog(), "2026/12/06 10:00:00 - Invalid line number 0: HOST Response failed!\r\n");
  ASSERT_EQ(p.mailers.sent().size(), 1u);
  EXPECT_EQ(p.mailers.sent()[0].text,
            "HOST Connection failed: Unable to obtain response from the Vantora HOST !!!");
}

TEST(ConnectHostTest, TerminalThatCannotBeMadeShowsTheBox) {
  TestProgram p;
  ScriptedTerminalFactory terminals;
  terminals.FailCreate("no route");
  HostLayer host(p.form, p.alerts, terminals);
  EXPECT_EQ(testing::ConnectState(host), "");
  ASSERT_EQ(p.window.boxes().size(), 1u);
  EXPECT_EQ(p.window.boxes()[0].text, "Error creating Tessiver Terminal Object");
  EXPECT_EQ(p.window.boxes()[0].buttons, BoxButtons::kOk);
  EXPECT_NE(p.Log("debug_log_1.txt").find("no route"), std::string::npos);
}

TEST(SendTeCommandTest, WritesTheRequestAndEveryResponseLineToTheDebugLog) {
  Scripted s({{"X"}, {"LINE 1<CARRIAGE_RETURN/>", "<CARRIAGE_RETURN/>"}});
  auto& [p, terminals, host, connected] = s;
  std::string entry = "NP.A&B";
  EXPECT_FALSE(host.sendTECommand(&entry));
  EXPECT_EQ(entry, "NP.A&amp;B");
  EXPECT_EQ(terminals.requests().back(), "<FORMAT>NP.A&amp;B</FORMAT>");
  const std::string debug = p.Log("debug_log_1.txt");
  const std::string expected =
      "##### 2026/12/06 10:00:00 TE REQUEST #####\r\n<FORMAT>NP.A&amp;B</FORMAT>\r\n \r\n"
      "===== 2026/12/06 10:00:00 TE RESPONSE =====\r\nLINE 1<CARRIAGE_RETURN/>\r\n"
      "<CARRIAGE_RETURN/>\r\n \r\n";
  ASSERT_GE(debug.size(), expected.size());
  EXPECT_EQ(debug.substr(debug.size() - expected.size()), expected);
  EXPECT_TRUE(p.env.sleeps().empty());
}

TEST(SendTeCommandTest, EachBusyAnswerWaitsTenSecondsOnceAndIsNotResent) {
  Scripted s({{"X"},
              {"PREVIOUS ENTRY IN PROGRESS<CARRIAGE_RETURN/>"},
              {"OK"},
              {"previous entry in progress"},
              {"PREVIOUS ENTRY IN PROGRESS"}});
  auto& [p, terminals, host, connected] = s;
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(host.sendTECommand("*R"));
  EXPECT_EQ(terminals.requests().size(), 5u);
  EXPECT_EQ(p.env.sleeps(), (std::vector<int64_t>{10000, 10000}));
}

TEST(SendTeCommandTest, NoTerminalEndsTheProgramAfterTheAlert) {
  for (const char* mode : {"", "UTK"}) {
    TestProgram p;
    p.form.strPNRMoveMode = mode;
    ScriptedTerminalFactory terminals;
    HostLayer host(p.form, p.alerts, terminals);
    std::string entry = "QX+I&";
    EXPECT_EQ(host.sendTECommand(&entry), ProgramEnd::Exit(1));
    ASSERT_EQ(p.mailers.attempts().size(), 1u) << mode;
    EXPECT_EQ(p.mailers.attempts()[0].text,
              std::string(mode).empty()
                  ? "Error message: Unable to obtain response from Vantora HOST !!! Unable to "
                    "obtain response from Quillmarsh."
                  : "");
    if (std::string(mode) == "UTK") {
      EXPECT_NE(p.Log("Unticketed_PNR_Log_1.csv").find("Host Command: QX+I&\r\n"),
                std::string::npos);
    }
    // The reason is kept even when the alert cannot be mailed.
    EXPECT_NE(p.Log("debug_log_1.txt")
                  .find("##### 2026/12/06 10:00:00. <FORMAT>QX+I&</FORMAT>: Unable to obtain "
                        "response from Vantora HOST !!! Unable to obtain response from "
                        "Quillmarsh. #####\r\n"),
              std::string::npos)
        << mode;
    EXPECT_NE(p.Log("action_log_1.txt")
                  .find("2026/12/06 10:00:00 - Unable to obtain response from Vantora HOST !!! "
                        "Unable to obtain response from Quillmarsh.\r\n"),
              std::string::npos)
        << mode;
  }
}

TEST(GetResponseLineTest, PastTheEndIsLoggedAndEmpty) {
  Scripted s({{"A", "B"}});
  auto& [p, terminals, host, connected] = s;
  EXPECT_EQ(host.GetResponseLine(1), "B");
  EXPECT_EQ(host.GetResponseLine(2), "");
  EXPECT_EQ(host.GetResponseLine(-1), "");
  EXPECT_NE(p.Log("debug_log_1.txt").find("Invalid line number 2 : HOST Response failed!\r\n"),
            std::string::npos);
  EXPECT_EQ(p.RunLog(), "2026/12/06 10:00:00 - Invalid line number 2 : HOST Response failed!\r\n");
}

TEST(GetSuggestedEntryTest, TakesTheEntryAfterColumn25WithoutItsMark) {
  Scripted s({{"QUEUE 12<CARRIAGE_RETURN/>",
               "TO SEE THE NEXT 100 BFS  QLD/AB.12/12/TS/101<TABSTOP/><CARRIAGE_RETURN/>"}});
  auto& [p, terminals, host, connected] = s;
  EXPECT_EQ(host.GetSuggestedEntry("TO SEE THE NEXT 100 BFS"), "QLD/AB12/12/TS/101");
  EXPECT_EQ(host.GetSuggestedEntry("TO SEE THE FIRST 100 BFS"), "");
}

TEST(LogQueueListStatusTest, WritesOneLinePerStarredLocator) {
  Scripted s(
      {{"B.F. COUNT 002<CARRIAGE_RETURN/>", "   1 *ABC123<TABSTOP/>SMITH/JOHN<CARRIAGE_RETURN/>",
        "   2 *DEF456<TABSTOP/>JONES/ANN<CARRIAGE_RETURN/>",
        "NOTE *NOT A LOCATOR LINE<CARRIAGE_RETURN/>", "*"}});
  auto& [p, terminals, host, connected] = s;
  EXPECT_EQ(host.LogQueueListStatus("AB12", "50"), "OK");
  EXPECT_EQ(p.Log("tempHeaderStatus.txt"), "AB12,ABC123,50,\r\nAB12,DEF456,50,\r\n");
}

}  // namespace
}  // namespace ambervale
