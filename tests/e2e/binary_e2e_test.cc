// --what-if over the demo agency, which must predict the run while sending no entry that
// changes the host.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>
#include <string>

#include "config/csv.h"
#include "tests/e2e/program_folder.h"

namespace ambervale::e2e {
namespace {

using ::testing::HasSubstr;

TEST(BinaryE2eTest, WhatIfPredictsTheDemoRunAndChangesNothing) {
  ProgramFolder home;
  home.CopyDemo();
  // Without the busy answer's real 10-second wait.
  nlohmann::json host = nlohmann::json::parse(home.Read("host.json"));
  host["faults"]["busy_every"] = 0;
  home.Write("host.json", host.dump());

  // In-process simulator, its world kept in host-state.json.
  const RunResult run = home.RunAmbervale({"--what-if"});
  ASSERT_EQ(run.code, 0) << run.out << run.err;
  EXPECT_THAT(run.out, HasSubstr("What-if: 300 PNRs met, 276 would be moved to their agents, 24 "
                                 "to the Fail Queue, 0 left on their queues; 42 ticketing dates "
                                 "would be refreshed.\n"));
  const nlohmann::json expected = nlohmann::json::parse(DemoFile("expected.json"));
  CsvRows rows;
  for (const std::string& name : home.LogNames()) {
    if (name.starts_with("WhatIf_")) rows = ReadCsvFile(home.File("logs/" + name)).value_or(rows);
  }
  ASSERT_EQ(rows.size(), 301u);
  for (size_t i = 1; i < rows.size(); ++i) {
    // A refused move is the run's to find out: the what-if names the agents.
    const nlohmann::json& e = expected.at(rows[i].at(3));
    std::string destinations;
    for (const auto& queue :
         e[e.contains("agent_destinations") ? "agent_destinations" : "destinations"]) {
      destinations += (destinations.empty() ? "QEB/" : "+") + queue.get<std::string>();
    }
    EXPECT_THAT(rows[i].at(10), ::testing::EndsWith(destinations)) << rows[i][3];
  }
  // No entry that changes a PNR or a queue (the host's world stays); no Fail Queue Log, no run
  // summary.
  const std::regex changing("<FORMAT>(NP\\.|R\\.|T\\.T@AU/|QEB/|ER<|IR<)");
  EXPECT_FALSE(std::regex_search(home.Read("logs/debug_log_1.txt"), changing));
  EXPECT_FALSE(home.Exists("logs/Fail_Queue_Log.csv"));
  EXPECT_FALSE(home.Exists("logs/Run_Summary_1.csv"));
}

}  // namespace
}  // namespace ambervale::e2e
