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

TEST(WhatIfTest, PredictsTheDemoRunAndChangesNothing) {
  TempDir home;
  for (const auto& file : std::filesystem::directory_iterator(AMBERVALE_DEMO_DIR)) {
    home.Write(file.path().filename().string(), ReadAll(file.path()));
  }
  // Without the busy answer's real 10-second wait; a refused move is the run's to find out.
  nlohmann::json host = nlohmann::json::parse(home.Read("host.json"));
  const nlohmann::json refused = host["faults"]["refuse_move"];
  host.erase("faults");
  home.Write("host.json", host.dump());

  const std::string command =
      "AMBERVALE_HOME='" + home.path() + "' '" AMBERVALE_BINARY "' --what-if 2>&1 </dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[4096];
  for (size_t n = 0; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, n);
  const int status = ::pclose(pipe);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  EXPECT_THAT(output, ::testing::HasSubstr(
                          "What-if: 300 PNRs met, 276 would be moved to their agents, 24 to the "
                          "Fail Queue, 0 left on their queues; 42 ticketing dates would be "
                          "refreshed.\n"));

  std::optional<CsvRows> rows;
  for (const auto& file : std::filesystem::directory_iterator(home.File("logs"))) {
    if (file.path().filename().string().starts_with("WhatIf_")) rows = ReadCsvFile(file.path());
  }
  ASSERT_TRUE(rows.has_value());
  ASSERT_EQ(rows->size(), 301u);
  const nlohmann::json expected = nlohmann::json::parse(home.Read("expected.json"));
  for (size_t i = 1; i < rows->size(); ++i) {
    const CsvRow& row = rows->at(i);
    ASSERT_EQ(row.size(), 11u) << i;
    const std::string& rloc = row[3];
    if (refused.contains(rloc)) continue;
    std::string destinations;
    for (const auto& queue : expected.at(rloc)["destinations"]) {
      destinations += (destinations.empty() ? "QEB/" : "+") + queue.get<std::string>();
    }
    EXPECT_THAT(row[10], ::testing::EndsWith(destinations)) << rloc;
  }

  const std::string debug = home.Read("logs/debug_log_1.txt");
  const std::regex changing("<FORMAT>(NP\\.|R\\.|T\\.T@AU/|QEB/|ER<|IR<)");
  EXPECT_FALSE(std::regex_search(debug, changing));
  EXPECT_FALSE(home.Exists("logs/Fail_Queue_Log.csv"));
  EXPECT_FALSE(home.Exists("logs/Run_Summary_1.csv"));
}

}  // namespace
}  // namespace ambervale
