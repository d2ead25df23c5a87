#include "sim/sim_host.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/files.h"
#include "sim/sim_terminal.h"
#include "sim/sim_test_util.h"
#include "testing/fake_env.h"
#include "testing/temp_dir.h"

namespace ambervale::sim {
namespace {

using testing::Cr;
using testing::SimWorld;
using Lines = std::vector<std::string>;

std::string WithFaults(std::string_view faults) {
  std::string scenario = testing::BasicScenario();
  const size_t at = scenario.find("\"faults\": {}");
  return scenario.replace(at, 12, "\"faults\": " + std::string(faults));
}

TEST(EntryOfRequestTest, UnwrapsAndUnescapes) {
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
}

TEST(PathFromFolderTest, RelativePathsAreTakenFromTheFolder) {
  EXPECT_EQ(PathFromFolder("/opt/ambervale", "host/state.json"), "/opt/ambervale/host/state.json");
  EXPECT_EQ(PathFromFolder("/opt/ambervale", "/var/state.json"), "/var/state.json");
  EXPECT_EQ(PathFromFolder("/opt/ambervale", ""), "");
}

TEST(FaultsTest, BusyEveryNthEntryDoesNothing) {
  SimWorld w(WithFaults(R"({"busy_every": 3})"));
  EXPECT_EQ(w.Enter("OP/W*"), Cr({"SIGN IN"}));
  EXPECT_EQ(w.Enter("SON/1234"), Cr({"SIGN ON COMPLETE"}));
  EXPECT_EQ(w.Enter("SEM/ABC1/AG"), Cr({"PREVIOUS ENTRY IN PROGRESS"}));
  EXPECT_FALSE(w.world().emulated_pcc.has_value());
  EXPECT_EQ(w.Enter("SEM/ABC1/AG"), Cr({"PROCEED"}));
  EXPECT_EQ(w.Enter("*R"), Cr({"NO B.F."}));
  EXPECT_EQ(w.Enter("OP/W*"), Cr({"PREVIOUS ENTRY IN PROGRESS"}));
  EXPECT_EQ(w.world().entries, 6);
}

TEST(FaultsTest, SignOutAfterTheNthEntryOnce) {
  std::string scenario = WithFaults(R"({"sign_out_after": 3})");
  scenario.replace(scenario.find("\"signed_in\": false"), 18, "\"signed_in\": true");
  SimWorld w(scenario);
  EXPECT_EQ(w.Enter("SEM/ABC1/AG"), Cr({"PROCEED"}));
  EXPECT_EQ(w.Enter("Q/ABC1/12")[0], Cr("ABC123/XY ABC1 06DEC"));
  EXPECT_EQ(w.Enter("QLD/ABC1/12/TS")[0], Cr("QUEUE 12 ABC1   SURNAME        DATE"));  // answered
  EXPECT_EQ(w.Enter("*R"), Cr({"SIGN IN"}));
  EXPECT_FALSE(w.world().signed_in);
  EXPECT_FALSE(w.world().emulated_pcc.has_value());
  EXPECT_EQ(w.world().faults.sign_out_after, 0);
  EXPECT_EQ(w.Enter("SON/1234"), Cr({"SIGN ON COMPLETE"}));
  EXPECT_EQ(w.Enter("*R"), Cr({"NO B.F."}));                // a fresh session
  EXPECT_EQ(w.Enter("MR"), Cr({"NOTHING TO SCROLL", ""}));  // pages went with it
  EXPECT_EQ(w.Enter("OP/W*"), Cr({" *VANTORA* AGENT 1234 SIGNED IN"}));
}

TEST(FaultsTest, BlankBannerAndLatencyOnTheEnvClock) {
  SimWorld w(WithFaults(R"({"blank_banner": true, "latency_ms": 250})"));
  w.SignOn();
  EXPECT_EQ(w.Enter("QPB*12"), Cr({"QPB" + std::string(24, ' ')}));
  w.Enter("Q/ABC1/12");
  EXPECT_EQ(w.Enter("QEB/ABC1/3")[1], Cr(std::string(24, ' ')));
  EXPECT_EQ(w.env().sleeps(), std::vector<int64_t>(4, 250));
}

TEST(FaultsTest, DroppedEntryIsNeitherCarriedOutNorCounted) {
  SimWorld w(WithFaults(R"({"drop_connection_after": 2, "busy_every": 2})"));
  EXPECT_EQ(w.Enter("OP/W*"), Cr({"SIGN IN"}));
  const SimHost::Answer dropped = w.host().Enter("SON/1234");
  EXPECT_TRUE(dropped.dropped);
  EXPECT_TRUE(dropped.lines.empty());
  EXPECT_FALSE(w.world().signed_in);
  EXPECT_EQ(w.world().entries, 1);
  EXPECT_EQ(w.world().faults.drop_connection_after, 0);
  // The next entry is number 2 again, which is busy.
  EXPECT_EQ(w.Enter("SON/1234"), Cr({"PREVIOUS ENTRY IN PROGRESS"}));
  EXPECT_EQ(w.Enter("SON/1234"), Cr({"SIGN ON COMPLETE"}));
}

TEST(FaultsTest, EmptyAnswersComeBeforeTheSignInCheck) {
  SimWorld w(WithFaults(R"({"empty_answer_to": ["T.T@AU/{today}", "*CI", "OP/W*"]})"));
  EXPECT_EQ(w.Enter("OP/W*"), Lines{});
  w.SignOn();
  w.Enter("Q/ABC1/12");
  EXPECT_EQ(w.Enter("*CI"), Lines{});
  EXPECT_EQ(w.Enter("*ci"), Cr({"FORMAT"}));
  EXPECT_EQ(w.Enter("T.T@AU/06DEC*X"), Lines{});
  EXPECT_EQ(w.Enter("*TD")[0], Cr("TKTG-TAU/XX04DEC*NOTE"));  // not carried out
  EXPECT_EQ(w.Enter("T.T@AU/07DEC"), Cr({"*"}));
}

TEST(FaultsTest, RefuseMoveCountsOnlyMovesThatWouldHappen) {
  SimWorld w(WithFaults(R"({"refuse_move": {"ABC123": 2}})"));
  w.SignOn();
  w.Enter("Q/ABC1/12");
  w.Enter("NP.X");
  EXPECT_EQ(w.Enter("QEB/ABC1/3"), Cr({"NEED RECEIVED FROM"}));
  w.Enter("R.AGENT");
  EXPECT_EQ(w.Enter("QEB/NOPE/3"), Cr({"INVALID QUEUE - NOPE/3"}));
  EXPECT_EQ(w.Enter("QEB/ABC1/3"), Cr({"UNABLE TO PLACE - ABC123"}));
  EXPECT_EQ(w.Enter("*R")[0], Cr("ABC123/XY ABC1 06DEC"));
  EXPECT_EQ(w.Enter("QEB/ABC1/3"), Cr({"UNABLE TO PLACE - ABC123"}));
  EXPECT_EQ(*w.world().faults.refuse_move.Find("ABC123"), 0);
  // Still pending with its received-from text: the third try moves it.
  EXPECT_EQ(w.Enter("QEB/ABC1/3")[0], Cr("ON QUEUE- ABC123 ABC1/3"));
  EXPECT_EQ(w.world().pnrs.Find("ABC123")->notepad, Lines{"X"});
}

// Busy answers come first, then the script, then empty answers and the sign-in check.
TEST(FaultsTest, ScriptedAnswersInTheirPlaceAmongTheFaults) {
  SimWorld w(WithFaults(R"({"busy_every": 7, "empty_answer_to": ["QCB/"], "script": [
      {"prefix": "QCB/ABC1/12", "skip": 1, "times": 2, "lines": ["QC ABC1 BF/Q012....*"]},
      {"prefix": "QCB/", "lines": ["ONE<CARRIAGE_RETURN/>", ""]},
      {"prefix": "Q/ABC1/12", "times": 2, "lines": ["NO B.F.<CARRIAGE_RETURN/>", "{today}"]}]})"));
  EXPECT_EQ(w.Enter("QCB/ABC1/12"), Lines{});  // skipped: answered as usual, empty here
  EXPECT_EQ(w.Enter("QCB/ABC1/12"), Lines{"QC ABC1 BF/Q012....*"});  // before the sign-in check
  EXPECT_EQ(w.Enter("QCB/ABC1/12"), Lines{"QC ABC1 BF/Q012....*"});
  EXPECT_EQ(w.Enter("QCB/ABC1/12"), (Lines{"ONE<CARRIAGE_RETURN/>", ""}));  // the next item
  EXPECT_EQ(w.Enter("QCB/ABC1/12"), Lines{});                               // all spent
  w.SignOn();
  EXPECT_EQ(w.Enter("Q/ABC1/12"), Cr({"PREVIOUS ENTRY IN PROGRESS"}));  // entry 7
  EXPECT_EQ(w.Enter("Q/ABC1/12"), (Lines{Cr("NO B.F."), "06DEC"}));
  EXPECT_EQ(w.Enter("*R"), Cr({"NO B.F."}));        // not carried out: not in queue mode
  EXPECT_EQ(w.Enter("q/ABC1/12"), Cr({"FORMAT"}));  // prefixes are case-sensitive
  EXPECT_EQ(w.world().entries, 10);
  EXPECT_EQ(w.world().faults.script[0].times, 0);
  EXPECT_EQ(w.world().faults.script[2].times, 1);
}

class StateFileTest : public ::testing::Test {
 protected:
  std::unique_ptr<SimHost> Open() {
    Status status;
    std::unique_ptr<SimHost> host = SimHost::Open(scenario_, state_, env_, &status);
    EXPECT_TRUE(status.ok()) << status.message();
    return host;
  }
  static Lines Enter(SimHost& host, std::string_view entry) { return host.Enter(entry).lines; }

  TempDir dir_;
  FakeEnv env_;
  std::string scenario_ = testing::BasicScenarioPath();
  std::string state_ = dir_.File("state.json");
};

TEST_F(StateFileTest, EntriesAreAppendedAndTheStopWritesTheStateFile) {
  std::unique_ptr<SimHost> host = Open();
  ASSERT_TRUE(host);
  const std::string snapshot = *ReadFile(state_);
  const std::string journal = StateStore::JournalPathOf(state_);
  const auto lines = [&] {
    const std::string text = ReadFile(journal).value_or("");
    return std::count(text.begin(), text.end(), '\n');
  };
  for (const char* entry : {"SON/1234", "SEM/ABC1/AG", "Q/ABC1/12", "QEB/ABC1/40", "*R"}) {
    Enter(*host, entry);
  }
  EXPECT_EQ(*ReadFile(state_), snapshot);
  EXPECT_EQ(lines(), 6);  // the header and a record per entry
  ASSERT_TRUE(host->Stop().ok());
  const std::string stopped = *ReadFile(state_);
  EXPECT_NE(stopped.find("\"signed_in\": true"), std::string::npos);
  EXPECT_NE(stopped.find("\"emulated_pcc\": \"ABC1\""), std::string::npos);
  EXPECT_NE(stopped.find("\"ABC1/40\": [\n      \"ABC123\"\n    ]"), std::string::npos) << stopped;
  EXPECT_NE(stopped.find("\"entries\": 5"), std::string::npos);
  EXPECT_EQ(lines(), 1);
  std::vector<std::string> files = ListFolder(dir_.path());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"state.json", "state.json.journal"}));
}

TEST_F(StateFileTest, ASecondHostFindsTheWorldAsLeft) {
  {
    std::unique_ptr<SimHost> host = Open();
    ASSERT_TRUE(host);
    Enter(*host, "SON/5678");
    Enter(*host, "SEM/ABC1/AG");
    Enter(*host, "Q/ABC1/12");
    Enter(*host, "NP.FIRST RUN");
    Enter(*host, "T.T@AU/09DEC*NEW");
    Enter(*host, "R.AGENT");
    Enter(*host, "QEB/DEF3/7");
    Enter(*host, "OP/W*");
    Enter(*host, "NP.NEVER COMMITTED");
    ASSERT_TRUE(host->Stop().ok());
  }
  std::unique_ptr<SimHost> again = Open();
  ASSERT_TRUE(again);
  const World& w = again->world();
  EXPECT_EQ(w.entries, 9);
  EXPECT_TRUE(w.signed_in);
  EXPECT_EQ(w.emulated_pcc, "ABC1");
  EXPECT_EQ(*w.queues.Find("ABC1/12"), Lines{"DEF456"});
  EXPECT_EQ(*w.queues.Find("DEF3/7"), (Lines{"JKL012", "ABC123"}));
  const Pnr& moved = *w.pnrs.Find("ABC123");
  EXPECT_EQ(moved.notepad, Lines{"FIRST RUN"});
  EXPECT_EQ(moved.received_from, Lines{"AGENT"});
  EXPECT_EQ(moved.tau, "TKTG-TAU/XX09DEC*NEW");
  EXPECT_TRUE(w.pnrs.Find("DEF456")->notepad.empty());
  // Out of queue mode with nothing pending; the agent id falls back to the first one.
  EXPECT_EQ(Enter(*again, "*R"), Cr({"NO B.F."}));
  EXPECT_EQ(Enter(*again, "OP/W*"), Cr({" *VANTORA* AGENT 1234 SIGNED IN"}));
}

TEST_F(StateFileTest, CountsAndSpentFaultsOutliveTheHost) {
  scenario_ = dir_.File("faults.json");
  std::string text = testing::BasicScenario();
  text.replace(text.find("\"faults\": {}"), 12,
               R"("faults": {"busy_every": 3, "refuse_move": {"ABC123": 2}, "sign_out_after": 1,)"
               R"( "script": [{"prefix": "SON/", "skip": 5, "lines": []}]})");
  dir_.Write("faults.json", text);
  {
    std::unique_ptr<SimHost> host = Open();
    ASSERT_TRUE(host);
    Enter(*host, "SON/1234");  // 1: signed out after it
    Enter(*host, "SON/1234");  // 2
    ASSERT_TRUE(host->Stop().ok());
  }
  std::unique_ptr<SimHost> again = Open();
  ASSERT_TRUE(again);
  EXPECT_EQ(again->world().faults.sign_out_after, 0);
  EXPECT_EQ(again->world().faults.script[0].skip, 3);
  EXPECT_EQ(Enter(*again, "OP/W*"), Cr({"PREVIOUS ENTRY IN PROGRESS"}));  // entry 3
  Enter(*again, "Q/ABC1/12");
  EXPECT_EQ(Enter(*again, "QEB/ABC1/3"), Cr({"UNABLE TO PLACE - ABC123"}));
  std::unique_ptr<SimHost> third = Open();
  EXPECT_EQ(*third->world().faults.refuse_move.Find("ABC123"), 1);
}

TEST_F(StateFileTest, LoadedInsteadOfTheScenario) {
  dir_.Write("state.json", R"({"pccs": {"ZZ1": {}}, "signed_in": true, "entries": 5})");
  scenario_ = dir_.File("no-such-scenario.json");
  std::unique_ptr<SimHost> host = Open();
  ASSERT_TRUE(host);
  EXPECT_TRUE(host->world().pccs.Contains("ZZ1"));
  EXPECT_EQ(host->world().entries, 5);
}

TEST_F(StateFileTest, ProblemsAreReportedWithTheFile) {
  Status status;
  dir_.Write("state.json", "{\"entries\": -1}");
  EXPECT_EQ(SimHost::Open(scenario_, state_, env_, &status), nullptr);
  EXPECT_EQ(status.message(), state_ + ": entries: expected a whole number of 0 or more");
  const std::string unwritable = dir_.File("missing-folder/state.json");
  EXPECT_EQ(SimHost::Open(scenario_, unwritable, env_, &status), nullptr);
  EXPECT_EQ(status.message(), "cannot write state file " + unwritable);
}

TEST(SimHostTest, TheDateMayBeFixed) {
  FakeEnv env;
  HostOptions options;
  options.today = std::chrono::sys_days(std::chrono::year(2025) / 3 / 1);
  Status status;
  std::unique_ptr<SimHost> host =
      SimHost::Open(testing::BasicScenarioPath(), "", env, &status, options);
  ASSERT_TRUE(host) << status.message();
  host->Enter("SON/1234");
  EXPECT_EQ(host->Enter("Q/ABC1/12").lines[0], Cr("ABC123/XY ABC1 01MAR"));
  EXPECT_EQ(host->Enter("*TD").lines[0], Cr("TKTG-TAU/XX27FEB*NOTE"));  // {today-2}
}

TEST(SimTerminalTest, EveryTerminalAttachesToTheOneSession) {
  SimWorld w;
  SimTerminalFactory factory(w.host());
  Status status = Status::Error("unset");
  std::unique_ptr<Terminal> first = factory.Create(&status);
  ASSERT_TRUE(status.ok());
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

TEST(SimTerminalTest, DroppedConnectionIsAFailingOperation) {
  SimWorld w(WithFaults(R"({"drop_connection_after": 1})"));
  SimTerminalFactory factory(w.host());
  Status status;
  std::unique_ptr<Terminal> terminal = factory.Create(&status);
  const Status sent = terminal->SendEntry("<FORMAT>OP/W*</FORMAT>");
  EXPECT_FALSE(sent.ok());
  EXPECT_EQ(sent.message(), "the simulated host dropped the connection");
  EXPECT_EQ(terminal->GetLineCount(), std::nullopt);
  EXPECT_EQ(terminal->GetLine(0), std::nullopt);
  ASSERT_TRUE(terminal->SendEntry("<FORMAT>OP/W*</FORMAT>").ok());
  EXPECT_EQ(terminal->GetLineCount(), 1);
}

}  // namespace
}  // namespace ambervale::sim
