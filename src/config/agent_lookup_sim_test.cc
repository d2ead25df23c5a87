// The screen lookups reading the simulated host's displays of a PNR.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "config/agent_lookup.h"
#include "config/run_lookup.h"
#include "logs/logs.h"
#include "platform/classic_text.h"
#include "sim/sim_host.h"
#include "sim/sim_terminal.h"
#include "testing/test_program.h"

namespace ambervale {
namespace {

using ::testing::HasSubstr;

constexpr char kStamp[] = "2026/12/06 10:00:00 - ";

clsAgentQueue Row(std::string_view by, std::string_view value, int16_t queue = 10) {
  clsAgentQueue row;
  row.fldDistributedBy = std::string(by);
  const std::string v(value);
  const std::string kind = UCase(by);
  if (kind == "NAME") row.fldAgentName = v;
  if (kind == "DI.AC") row.fldDI_AC = v;
  if (kind == "CI") row.fldCI = v;
  if (kind == "DI.X") row.fldDI_X_QD = v;
  if (kind == "SINE") row.fldAgentSine = v;
  row.fldDestPCC = "XYZ9";
  row.fldQueueNo = queue;
  return row;
}

AgentTable Table(const std::vector<clsAgentQueue>& rows) {
  AgentTable table;
  for (const clsAgentQueue& row : rows) table.GetOrAdd(row.fldAgentId()).push_back(row);
  return table;
}

std::vector<int16_t> Queues(const AgentCollection& found) {
  std::vector<int16_t> queues;
  for (const clsAgentQueue& row : found) queues.push_back(row.fldQueueNo);
  return queues;
}

// One PNR shown in queue mode on the simulated host.
class LookupOnHostTest : public ::testing::Test {
 protected:
  // `pnr` holds the PNR's fields besides its locator and owner.
  void Show(nlohmann::json pnr, nlohmann::json faults = nlohmann::json::object()) {
    pnr["locator"] = "ABC123";
    pnr["owner_pcc"] = "ABC1";
    const nlohmann::json scenario = {{"agent_ids", {"1234"}},
                                     {"signed_in", true},
                                     {"pccs", {{"ABC1", nlohmann::json::object()}}},
                                     {"pnrs", {pnr}},
                                     {"queues", {{"ABC1/12", {"ABC123"}}}},
                                     {"faults", faults}};
    Status status;
    sim_ = sim::SimHost::FromScenarioText(scenario.dump(), p.env, &status);
    ASSERT_TRUE(sim_) << status.message();
    factory_ = std::make_unique<sim::SimTerminalFactory>(*sim_);
    host_ = std::make_unique<HostLayer>(p.form, p.alerts, *factory_);
    ASSERT_EQ(host_->ConnectHost(), "OK");
    host_->sendTECommand("Q/ABC1/12");
  }
  HostLayer& host() { return *host_; }
  // The host's last response, read afresh.
  HostDisplay& screen() {
    screen_.emplace(*host_);
    return *screen_;
  }
  int MrEntries() const {
    const std::string debug = p.Log("debug_log_1.txt");
    int n = 0;
    for (size_t at = debug.find("<FORMAT>MR</FORMAT>"); at != std::string::npos;
         at = debug.find("<FORMAT>MR</FORMAT>", at + 1)) {
      ++n;
    }
    return n;
  }

  TestProgram p;
  std::unique_ptr<sim::SimHost> sim_;
  std::unique_ptr<sim::SimTerminalFactory> factory_;
  std::unique_ptr<HostLayer> host_;
  std::optional<HostDisplay> screen_;
  RunLookupLog log{p.form};
};

TEST_F(LookupOnHostTest, DiAcValuesArePatterns) {
  Show({{"di", {"AC ACCT-129", "X/QD-ACME"}}});
  host().sendTECommand("*DI");
  const AgentTable table =
      Table({Row("DI.AC", "12", 1), Row("di.ac", "12*", 2), Row("DI.AC", "1[0-3]9", 3),
             Row("DI.AC", "[!1]29", 4), Row("DI.AC", "1#9", 5), Row("DI.AC", "129", 6),
             Row("DI.X", "129", 7), Row("CI", "129", 8)});
  AgentCollection found;
  std::string missing;
  findAgentByDIAC(log, screen(), table, found, missing);
  EXPECT_EQ(Queues(found), (std::vector<int16_t>{2, 3, 5, 6}));
  EXPECT_EQ(missing, "129");
  EXPECT_EQ(MrEntries(), 0);
  EXPECT_THAT(p.RunLog(), HasSubstr(std::string(kStamp) +
                                    "DI.AC field is matched: HOST Resopnse- 1.   AC ACCT-129\r\n"));

  // Without an account line nothing matches and the missing values are left alone.
  Show({{"di", {"X/QD-ACME", "FREE TEXT"}}});
  host().sendTECommand("*DI");
  AgentCollection none;
  std::string before = "before";
  findAgentByDIAC(log, screen(), Table({Row("DI.AC", "*")}), none, before);
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(before, "before");
}

TEST_F(LookupOnHostTest, OnlyTheFirstDiXLineCanMatch) {
  Show({{"di", {"AC ACCT-129", "X/QD-OTHER", "X/QD-ACME", "XAQDACME"}}});
  host().sendTECommand("*DI");
  const AgentTable table = Table({Row("DI.X", "ACME", 1), Row("Di.X", "OTH*", 2)});
  AgentCollection found;
  std::string missing;
  findAgentByDIX(log, screen(), table, found, missing);
  EXPECT_EQ(Queues(found), (std::vector<int16_t>{2}));
  EXPECT_EQ(missing, "OTHER");
  EXPECT_EQ(p.RunLog(),
            std::string(kStamp) + "DI.AC field is matched: HOST Resopnse- 2.   X/QD-OTHER\r\n");

  // The mark without its dash counts as well.
  Show({{"di", {"XAQDACME", "X/QD-OTHER"}}});
  host().sendTECommand("*DI");
  AgentCollection first;
  findAgentByDIX(log, screen(), Table({Row("DI.X", "ACME", 1)}), first, missing);
  EXPECT_EQ(Queues(first), (std::vector<int16_t>{1}));
  EXPECT_EQ(missing, "ACME");
}

TEST_F(LookupOnHostTest, LongDisplaysArePagedWithMr) {
  std::vector<std::string> remarks;
  for (int i = 1; i <= 25; ++i) remarks.push_back("REMARK " + std::to_string(i));
  remarks[22] = "AC ACCT-555";  // remark 23, on the third page
  remarks[2] = "AC ACCT-111";   // remark 3, on the first page
  Show({{"di", remarks}});
  host().sendTECommand("*DI");
  // The first row pages to the third screen and matches there. The second row reads the screen
  // as it stands: the third page, which ends the display, so remark 3 is never seen again.
  const AgentTable table = Table({Row("DI.AC", "555", 1), Row("DI.AC", "111", 2)});
  AgentCollection found;
  std::string missing;
  findAgentByDIAC(log, screen(), table, found, missing);
  EXPECT_EQ(Queues(found), (std::vector<int16_t>{1}));
  EXPECT_EQ(MrEntries(), 2);
  EXPECT_EQ(missing, "555");
}

TEST_F(LookupOnHostTest, DiXPagingCountsDiXLinesAcrossPages) {
  std::vector<std::string> remarks(12, "REMARK");
  remarks[11] = "X/QD-LATE";  // the only DI.X line, on the second page
  // The first "MR" finds the host busy; read as a page, that answer would end the display.
  Show({{"di", remarks}},
       {{"script",
         {{{"prefix", "MR"},
           {"lines", {"PREVIOUS ENTRY IN PROGRESS<CARRIAGE_RETURN/>", "<CARRIAGE_RETURN/>"}}}}}});
  host().sendTECommand("*DI");
  AgentCollection found;
  std::string missing;
  findAgentByDIX(log, screen(), Table({Row("DI.X", "LATE", 1)}), found, missing);
  EXPECT_EQ(Queues(found), (std::vector<int16_t>{1}));
  EXPECT_EQ(MrEntries(), 2);
  EXPECT_EQ(p.env.sleeps(), std::vector<int64_t>{10000});
}

TEST_F(LookupOnHostTest, CiOnlyAtTheStartOfALine) {
  Show({{"ci", "00123"}, {"di", {"CUST-00123", "AC ACCT-1"}}});
  const AgentTable table =
      Table({Row("CI", "00123", 1), Row("ci", "001*", 2), Row("CI", "123", 3)});

  host().sendTECommand("*CI");
  AgentCollection found;
  std::string missing;
  findAgentByCI(log, screen(), table, found, missing);
  EXPECT_EQ(Queues(found), (std::vector<int16_t>{1, 2}));
  EXPECT_EQ(missing, "00123");
  EXPECT_EQ(p.RunLog(), std::string(kStamp) +
                            "CI. field is matched: HOST Resopnse- CUST-00123\r\n" + kStamp +
                            "CI. field is matched: HOST Resopnse- CUST-00123\r\n");

  // On the DI display "CUST-" stands after the remark number: not a CI line.
  host().sendTECommand("*DI");
  AgentCollection none;
  std::string untouched = "kept";
  findAgentByCI(log, screen(), table, none, untouched);
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(untouched, "kept");

  // A PNR without CI data ("NO CI DATA") matches nothing, whatever the pattern.
  Show(nlohmann::json::object());
  host().sendTECommand("*CI");
  findAgentByCI(log, screen(), Table({Row("CI", "*")}), none, untouched);
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(untouched, "kept");
}

TEST_F(LookupOnHostTest, NameFromTheNameDisplay) {
  Show({{"name", "SMITH/JOHN MR"}, {"sine", "XY"}});
  host().sendTECommand("*P");
  std::string match = host().GetResponseLine(0);  // with its markup
  const AgentTable table =
      Table({Row("NAME", "SMITH", 1), Row("NAME", "JOHN", 2), Row("NAME", "MR", 3),
             Row("NAME", "SMITHSON", 4), Row("SINE", "XY", 5)});
  AgentCollection found;
  std::string missing;
  findAgentByName(log, match, table, found, missing);
  EXPECT_EQ(match, "1.1SMITH/JOHN MR");
  EXPECT_EQ(missing, "1.1SMITH/JOHN MR");
  EXPECT_EQ(Queues(found), (std::vector<int16_t>{1, 2, 3}));
}

}  // namespace
}  // namespace ambervale
