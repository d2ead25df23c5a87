// The simulated host's screens and faults, entry by entry: transcripts of what each entry
// answers and what it changes in the world (see SimWorld::Replay for the notation), and the
// terminal over the host.

#include <gtest/gtest.h>

#include "sim/sim_host.h"
#include "sim/sim_terminal.h"
#include "testing/sim_world.h"

namespace ambervale::sim {
namespace {

using ambervale::testing::Cr;
using ambervale::testing::SimWorld;

// sim/testdata/transcripts: each entry's answer and what it changes, world by world.
TEST(ScreensTest, Transcripts) {
  for (const char* file : {"sessions.txt", "queue_mode.txt", "pnr.txt", "queue_displays.txt",
                           "lists.txt", "faults.txt"}) {
    ambervale::testing::PlayTranscriptFile(file);
  }
}

// Every terminal attaches to the one session and keeps its last answer; a dropped connection
// fails the entry and leaves no answer.
TEST(SimTerminalTest, TerminalsShareTheSessionAndFailOnADrop) {
  SimWorld w(ambervale::testing::BasicWithFaults(R"({"drop_connection_after": 3})"));
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
  EXPECT_EQ(first->GetLine(0), Cr("SIGN ON COMPLETE"));
  EXPECT_EQ(first->SendEntry("<FORMAT>OP/W*</FORMAT>").message(),
            "the simulated host dropped the connection");
  EXPECT_EQ(first->GetLineCount(), std::nullopt);
  EXPECT_EQ(first->GetLine(0), std::nullopt);
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
