// The simulated host's faults as transcripts (see SimWorld::Play), the terminal over it, and
// how it reads a request.

#include <gtest/gtest.h>

#include "sim/sim_host.h"
#include "sim/sim_terminal.h"
#include "testing/sim_world.h"

namespace ambervale::sim {
namespace {

using ambervale::testing::BasicWith;
using ambervale::testing::BasicWithFaults;
using ambervale::testing::Cr;
using ambervale::testing::SimWorld;

TEST(FaultsTest, Transcripts) {
  const struct {
    const char* faults;
    const char* transcript;
  } kCases[] = {
      {R"({"busy_every": 3})", R"(> OP/W*
SIGN IN
> SON/1234
SIGN ON COMPLETE
> SEM/ABC1/AG
PREVIOUS ENTRY IN PROGRESS
= emulated: (none)
> SEM/ABC1/AG
PROCEED
> *R
NO B.F.
> OP/W*
PREVIOUS ENTRY IN PROGRESS
= entries: 6
)"},
      // Signed out after the third entry, once: the session and its pages go.
      {R"({"sign_out_after": 4})", R"(> SON/1234
SIGN ON COMPLETE
> SEM/ABC1/AG
PROCEED
~ Q/ABC1/12
> QLD/ABC1/12/TS
QUEUE 12 ABC1   SURNAME        DATE
 001 ABC123 SMITH/JOHN
 002 DEF456 JONES/ANN
END OF DISPLAY
> *R
SIGN IN
= signed_in: no
= emulated: (none)
> SON/1234
SIGN ON COMPLETE
> *R
NO B.F.
> MR
NOTHING TO SCROLL

> OP/W*
 *VANTORA* AGENT 1234 SIGNED IN
)"},
      {R"({"blank_banner": true, "latency_ms": 250})", R"(~ SON/1234
> QPB*12
QPB                        |
~ Q/ABC1/12
> QEB/ABC1/3
ON QUEUE- ABC123 ABC1/3
                        |
DEF456/QR ABC1 06DEC
1.1JONES/ANN MRS

= sleeps: 250 250 250 250
)"},
      // The dropped entry is neither carried out nor counted: the next is number 2 again.
      {R"({"drop_connection_after": 2, "busy_every": 2})", R"(> OP/W*
SIGN IN
> SON/1234
(dropped)
= signed_in: no
= entries: 1
> SON/1234
PREVIOUS ENTRY IN PROGRESS
> SON/1234
SIGN ON COMPLETE
)"},
      // Empty answers come before the sign-in check.
      {R"({"empty_answer_to": ["T.T@AU/{today}", "*CI", "OP/W*"]})", R"(> OP/W*
~ SON/1234
~ Q/ABC1/12
> *CI
> *ci
FORMAT
> T.T@AU/06DEC*X
> *TD
TKTG-TAU/XX04DEC*NOTE

> T.T@AU/07DEC
*
)"},
      // Only moves that would happen are refused and counted; the PNR stays pending.
      {R"({"refuse_move": {"ABC123": 2}})", R"(~ SON/1234
~ Q/ABC1/12
~ NP.X
> QEB/ABC1/3
NEED RECEIVED FROM
~ R.AGENT
> QEB/NOPE/3
INVALID QUEUE - NOPE/3
> QEB/ABC1/3
UNABLE TO PLACE - ABC123
> *R
ABC123/XY ABC1 06DEC
1.1SMITH/JOHN MR

> QEB/ABC1/3
UNABLE TO PLACE - ABC123
= refuse_move ABC123: 0
> QEB/ABC1/3
ON QUEUE- ABC123 ABC1/3
QUEUE 012 ABC1          |
DEF456/QR ABC1 06DEC
1.1JONES/ANN MRS

= notepad ABC123: X
)"},
      {R"({"refuse_notepad": ["ABC123"]})", R"(~ SON/1234
~ Q/ABC1/12
> NP.HELLO
FORMAT
> Q/ABC1/12
ABC123/XY ABC1 06DEC
1.1SMITH/JOHN MR

~ I
> NP.HELLO
*
)"},
      // Busy answers come first, then the script, then empty answers and the sign-in check;
      // a script item may skip matches and answer a number of times.
      {R"({"busy_every": 7, "empty_answer_to": ["QCB/"], "script": [
          {"prefix": "QCB/ABC1/12", "skip": 1, "times": 2, "lines": ["QC ABC1 BF/Q012....*"]},
          {"prefix": "QCB/", "lines": ["ONE<CARRIAGE_RETURN/>", ""]},
          {"prefix": "Q/ABC1/12", "times": 2, "lines": ["NO B.F.<CARRIAGE_RETURN/>", "{today}"]}]})",
       R"(> QCB/ABC1/12
> QCB/ABC1/12
QC ABC1 BF/Q012....*%
> QCB/ABC1/12
QC ABC1 BF/Q012....*%
> QCB/ABC1/12
ONE
%
> QCB/ABC1/12
~ SON/1234
> Q/ABC1/12
PREVIOUS ENTRY IN PROGRESS
> Q/ABC1/12
NO B.F.
06DEC%
> *R
NO B.F.
> q/ABC1/12
FORMAT
= entries: 10
)"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.faults);
    SimWorld w(BasicWithFaults(c.faults));
    w.Play(c.transcript);
  }
}

TEST(FaultsTest, DroppedConnectionFailsTheTerminalsEntry) {
  SimWorld w(BasicWithFaults(R"({"drop_connection_after": 1})"));
  SimTerminalFactory factory(w.host());
  Status status;
  std::unique_ptr<Terminal> terminal = factory.Create(&status);
  const Status sent = terminal->SendEntry("<FORMAT>OP/W*</FORMAT>");
  EXPECT_EQ(sent.message(), "the simulated host dropped the connection");
  EXPECT_EQ(terminal->GetLineCount(), std::nullopt);
  EXPECT_EQ(terminal->GetLine(0), std::nullopt);
  ASSERT_TRUE(terminal->SendEntry("<FORMAT>OP/W*</FORMAT>").ok());
  EXPECT_EQ(terminal->GetLineCount(), 1);
}

TEST(SimTerminalTest, EveryTerminalAttachesToTheOneSession) {
  SimWorld w;
  SimTerminalFactory factory(w.host());
  Status status;
  std::unique_ptr<Terminal> first = factory.Create(&status);
  ASSERT_TRUE(first->SendEntry("<FORMAT>SON/1234</FORMAT>").ok());
  std::unique_ptr<Terminal> second = factory.Create(&status);
  EXPECT_EQ(w.world().entries, 1);  // creating a terminal changes nothing
  ASSERT_TRUE(second->SendEntry("<FORMAT>OP/W*</FORMAT>").ok());
  EXPECT_EQ(second->GetLineCount(), 1);
  EXPECT_EQ(second->GetLine(0), Cr(" *VANTORA* AGENT 1234 SIGNED IN"));
  EXPECT_EQ(second->GetLine(1), std::nullopt);
  EXPECT_EQ(second->GetLine(-1), std::nullopt);
  EXPECT_EQ(first->GetLine(0), Cr("SIGN ON COMPLETE"));  // each keeps its last answer
}

TEST(SimHostTest, ReadsRequestsAndPaths) {
  const struct {
    const char* request;
    const char* entry;
  } kCases[] = {
      {"<FORMAT>OP/W*</FORMAT>", "OP/W*"},
      {"<FORMAT>NP.A&amp;B</FORMAT>", "NP.A&B"},
      {"<FORMAT>NP.A&amp;amp;B</FORMAT>", "NP.A&amp;B"},
      {"<FORMAT>*R  \r\n</FORMAT>", "*R"},
      {"<FORMAT>*R</FORMAT>\r\n", "*R"},
      {"<FORMAT>NP.A\r\nB</FORMAT>", "NP.A\r\nB"},
      {"*R \n", "*R"},
      {"NP.A&amp;B", "NP.A&amp;B"},  // a bare entry is taken as it is
      {"<FORMAT>*R", "<FORMAT>*R"},
      {"<FORMAT></FORMAT>", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(EntryOfRequest(c.request), c.entry) << c.request;
  EXPECT_EQ(PathFromFolder("/opt/ambervale", "host/state.json"), "/opt/ambervale/host/state.json");
  EXPECT_EQ(PathFromFolder("/opt/ambervale", "/var/state.json"), "/var/state.json");
  EXPECT_EQ(PathFromFolder("/opt/ambervale", ""), "");
}

TEST(SimHostTest, TheDateMayBeFixed) {
  FakeEnv env;
  HostOptions options;
  options.today = std::chrono::sys_days(std::chrono::year(2025) / 3 / 1);
  Status status;
  std::unique_ptr<SimHost> host =
      SimHost::Open(ambervale::testing::BasicScenarioPath(), "", env, &status, options);
  ASSERT_TRUE(host) << status.message();
  host->Enter("SON/1234");
  EXPECT_EQ(host->Enter("Q/ABC1/12").lines[0], Cr("ABC123/XY ABC1 01MAR"));
  EXPECT_EQ(host->Enter("*TD").lines[0], Cr("TKTG-TAU/XX27FEB*NOTE"));  // {today-2}
}

}  // namespace
}  // namespace ambervale::sim
