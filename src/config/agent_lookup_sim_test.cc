// The run's side of the lookups on the simulated host: each display shown with its entry, a
// long one paged with "MR" (a busy answer sent again), and the lines the run logs.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/agent_lookup.h"
#include "config/run_lookup.h"
#include "testing/program_files.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

TEST(LookupOnHostTest, EachDisplayReadAndEachMatchLogged) {
  TestProgram p;
  // Twelve remarks, the account on the second page.
  const std::string more =
      R"("ci": "00123", "di": ["REMARK", "REMARK", "X/QD-ACME", "REMARK", "REMARK", "REMARK", )"
      R"("REMARK", "REMARK", "REMARK", "REMARK", "REMARK", "AC ACCT-129"])";
  // The first "MR" finds the host busy; read as a page, that answer would end the display.
  p.Connect(
      Scenario({Pnr("ABC123", "XY", "SMITH/JOHN MR", more)}, {{"ABC1/12", {"ABC123"}}},
               R"({"script": [{"prefix": "MR", "lines": )"
               R"(["PREVIOUS ENTRY IN PROGRESS<CARRIAGE_RETURN/>", "<CARRIAGE_RETURN/>"]}]})"));
  HostLayer& host = *p.layer;
  ASSERT_FALSE(host.sendTECommand("Q/ABC1/12"));

  const AgentTable table =
      AgentRows({AgentRow("SINE", "XY", "XYZ9", 1), AgentRow("NAME", "SMITH", "XYZ9", 2),
                 AgentRow("CI", "001*", "XYZ9", 3), AgentRow("DI.AC", "129", "XYZ9", 4),
                 AgentRow("DI.X", "ACME", "XYZ9", 5)});
  HostPnrView view(host);
  RunLookupLog log(p.form);
  AgentCollection found;
  std::string missing;
  findAgentBySine(log, "XY", table, found, missing);
  std::string name = view.Show(LookupKind::kName).FirstLine();
  findAgentByName(log, name, table, found, missing);
  findAgentByCI(log, view.Show(LookupKind::kCi), table, found, missing);
  findAgentByDIAC(log, view.Show(LookupKind::kDiAc), table, found, missing);
  findAgentByDIX(log, view.Show(LookupKind::kDiX), table, found, missing);
  log.PagingGaveUp("DI.AC", table.at(3).second.at(0), "SALES.CSV");

  // A line for each of the five rows found.
  const std::string stamp = "2026/12/06 10:00:00 - ";
  const std::string waited = "2026/12/06 10:00:10 - ";  // after the busy host's 10 s
  EXPECT_EQ(p.RunLog(), stamp + "AGENT Sine is matched: HOST Resopnse- XY\r\n" + stamp +
                            "AGENT name is matched: HOST Resopnse- 1.1SMITH/JOHN MR\r\n" + stamp +
                            "CI. field is matched: HOST Resopnse- CUST-00123\r\n" + waited +
                            "DI.AC field is matched: HOST Resopnse- 12.  AC ACCT-129\r\n" + waited +
                            "DI.AC field is matched: HOST Resopnse- 3.   X/QD-ACME\r\n");
  EXPECT_TRUE(
      p.Log("debug_log_1.txt")
          .ends_with(
              "##### 2026/12/06 10:00:10. The DI display was still going on after 50 MR entries "
              "for the "
              "DI.AC row \"129\" of SALES.CSV line 5; the row is taken as not matched #####\r\n"));
}

}  // namespace
}  // namespace ambervale::testing
