// The ambervale executable: its version and a refused option; and --what-if over the demo agency
// (examples/demo), which must predict the run while sending no entry that changes the host. The
// program's runs are tested through Program.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <regex>
#include <string>

#include "config/csv.h"
#include "platform/files.h"
#include "testing/temp_dir.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

using ::testing::HasSubstr;

struct Output {
  int code = -1;
  std::string text;
};

// Runs the program with `args` (stdout and stderr together) in `home`.
Output RunAmbervale(const std::string& args, const std::string& home) {
  const std::string command =
      "AMBERVALE_HOME='" + home + "' '" AMBERVALE_BINARY "' " + args + " 2>&1 </dev/null";
  Output result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.text.append(buffer, n);
  const int status = ::pclose(pipe);
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// The configuration check through the executable is the end-to-end start-up test's.
TEST(AmbervaleBinaryTest, VersionAndUsage) {
  TempDir home;
  const struct {
    const char* args;
    int code;
    const char* part;
  } kCases[] = {{"--version", 0, "Ambervale 12.0.0415.0\n"},
                {"--fast", 2, "unknown option \"--fast\""}};
  for (const auto& c : kCases) {
    const Output out = RunAmbervale(c.args, home.path());
    EXPECT_EQ(out.code, c.code) << c.args << ": " << out.text;
    EXPECT_THAT(out.text, HasSubstr(c.part)) << c.args;
  }
}

TEST(AmbervaleBinaryTest, WhatIfPredictsTheDemoRunAndChangesNothing) {
  TempDir home;
  for (const std::string& name : ListFolder(AMBERVALE_DEMO_DIR)) {
    home.Write(name, ReadFile(JoinPath(AMBERVALE_DEMO_DIR, name)).value_or(""));
  }
  // Without the busy answer's real 10-second wait; a refused move is the run's to find out.
  nlohmann::json host = nlohmann::json::parse(home.Read("host.json"));
  const nlohmann::json refused = host["faults"]["refuse_move"];
  host.erase("faults");
  home.Write("host.json", host.dump());

  // In-process simulator, its world kept in host-state.json.
  const Output out = RunAmbervale("--what-if", home.path());
  ASSERT_EQ(out.code, 0) << out.text;
  EXPECT_THAT(out.text, HasSubstr("What-if: 300 PNRs met, 276 would be moved to their agents, 24 "
                                  "to the Fail Queue, 0 left on their queues; 42 ticketing dates "
                                  "would be refreshed.\n"));
  EXPECT_EQ(nlohmann::json::parse(home.Read("host-state.json"))["queues"], host["queues"]);
  const nlohmann::json expected = nlohmann::json::parse(home.Read("expected.json"));
  CsvRows rows;
  for (const std::string& name : ListFolder(home.File("logs"))) {
    if (name.starts_with("WhatIf_")) rows = ReadCsvFile(home.File("logs/" + name)).value_or(rows);
  }
  ASSERT_EQ(rows.size(), 301u);
  for (size_t i = 1; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 11u) << i;
    if (refused.contains(rows[i][3])) continue;
    std::string destinations;
    for (const auto& queue : expected.at(rows[i][3])["destinations"]) {
      destinations += (destinations.empty() ? "QEB/" : "+") + queue.get<std::string>();
    }
    EXPECT_THAT(rows[i][10], ::testing::EndsWith(destinations)) << rows[i][3];
  }
  // No entry that changes a PNR or a queue; no Fail Queue Log, no run summary.
  const std::regex changing("<FORMAT>(NP\\.|R\\.|T\\.T@AU/|QEB/|ER<|IR<)");
  EXPECT_FALSE(std::regex_search(home.Read("logs/debug_log_1.txt"), changing));
  EXPECT_FALSE(home.Exists("logs/Fail_Queue_Log.csv"));
  EXPECT_FALSE(home.Exists("logs/Run_Summary_1.csv"));
}

}  // namespace
}  // namespace ambervale::testing
