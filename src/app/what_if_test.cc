// --what-if on the demo agency, through the real executable: it must predict every PNR the
// run places (examples/demo/expected.json) while sending no entry that changes the host.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>

#include "config/csv.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Pass {
  int code = -1;
  std::string output;
};

// Runs `command` (stdout and stderr together).
Pass RunCommand(const std::string& command) {
  Pass pass;
  FILE* pipe = ::popen((command + " 2>&1 </dev/null").c_str(), "r");
  if (pipe == nullptr) return pass;
  char buffer[4096];
  for (size_t n = 0; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    pass.output.append(buffer, n);
  }
  const int status = ::pclose(pipe);
  pass.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return pass;
}

// The rows of the WhatIf_ file.
CsvRows WhatIfRows(const TempDir& home) {
  for (const auto& file : std::filesystem::directory_iterator(home.File("logs"))) {
    const std::string name = file.path().filename().string();
    if (name.starts_with("WhatIf_")) {
      return ReadCsvFile(file.path()).value_or(CsvRows{});
    }
  }
  return {};
}

// The simulated world as its state file keeps it: queues in order, and every PNR with its
// notepad, ticketing line and received-from.
nlohmann::json World(const TempDir& home) {
  const nlohmann::json state = nlohmann::json::parse(home.Read("host-state.json"));
  return {state["queues"], state["pnrs"]};
}

TEST(WhatIfTest, PredictsTheDemoRunAndChangesNothing) {
  TempDir home;
  for (const auto& file : std::filesystem::directory_iterator(AMBERVALE_DEMO_DIR)) {
    home.Write(file.path().filename().string(), ReadAll(file.path()));
  }
  // Without the busy answer's real 10-second wait; a refused move is the run's to find out.
  nlohmann::json host = nlohmann::json::parse(home.Read("host.json"));
  const nlohmann::json refused = host["faults"]["refuse_move"];
  const nlohmann::json queues = host["queues"];
  host.erase("faults");
  home.Write("host.json", host.dump());
  const std::string ambervale = "AMBERVALE_HOME='" + home.path() + "' '" AMBERVALE_BINARY "'";

  // In-process simulator, its world kept in host-state.json.
  const Pass first = RunCommand(ambervale + " --what-if");
  ASSERT_EQ(first.code, 0) << first.output;
  EXPECT_THAT(first.output, ::testing::HasSubstr(
                                "What-if: 300 PNRs met, 276 would be moved to their agents, 24 to "
                                "the Fail Queue, 0 left on their queues; 42 ticketing dates would "
                                "be refreshed.\n"));
  const nlohmann::json world = World(home);
  EXPECT_EQ(world[0], queues);
  const CsvRows rows = WhatIfRows(home);
  ASSERT_EQ(rows.size(), 301u);
  const nlohmann::json expected = nlohmann::json::parse(home.Read("expected.json"));
  for (size_t i = 1; i < rows.size(); ++i) {
    const CsvRow& row = rows[i];
    ASSERT_EQ(row.size(), 11u) << i;
    if (refused.contains(row[3])) continue;
    std::string destinations;
    for (const auto& queue : expected.at(row[3])["destinations"]) {
      destinations += (destinations.empty() ? "QEB/" : "+") + queue.get<std::string>();
    }
    EXPECT_THAT(row[10], ::testing::EndsWith(destinations)) << row[3];
  }

  const std::string debug = home.Read("logs/debug_log_1.txt");
  const std::regex changing("<FORMAT>(NP\\.|R\\.|T\\.T@AU/|QEB/|ER<|IR<)");
  EXPECT_FALSE(std::regex_search(debug, changing));
  EXPECT_FALSE(home.Exists("logs/Fail_Queue_Log.csv"));
  EXPECT_FALSE(home.Exists("logs/Run_Summary_1.csv"));
}

}  // namespace
}  // namespace ambervale
