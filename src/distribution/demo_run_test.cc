// The demo agency of examples/demo: one run over its five source queues (300 PNRs, three
// offices, every identification kind, notepad texts, TAU refresh, a refused PNR and busy
// answers) puts every PNR where examples/demo/expected.json says, and its summary and agent
// tally count what the logs hold.

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>

#include "distribution/distribution_test_util.h"
#include "platform/files.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

using testing::EveryPnrPlaced;
using testing::ProgramStart;
using testing::StartSettings;

std::string Demo(std::string_view name) {
  return ReadFile(JoinPath(AMBERVALE_DEMO_DIR, name)).value_or("");
}

int Count(const std::string& text, std::string_view part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The lines of a CSV file, each split at its commas (the demo's fields hold none).
std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  size_t start = 0;
  for (size_t end = text.find("\r\n"); end != std::string::npos;
       start = end + 2, end = text.find("\r\n", start)) {
    std::vector<std::string>& row = rows.emplace_back();
    const std::string line = text.substr(start, end - start);
    size_t from = 0;
    for (size_t comma = line.find(','); comma != std::string::npos;
         from = comma + 1, comma = line.find(',', from)) {
      row.push_back(line.substr(from, comma - from));
    }
    row.push_back(line.substr(from));
  }
  return rows;
}

TEST(DemoRunTest, OneRunPutsEveryPnrWhereExpected) {
  TempDir dir;
  for (const char* name : {"TaskMaintenance.csv", "SALES_LON.CSV", "CORPORATE.CSV", "MAN_SALES.CSV",
                           "GROUPS.CSV", "LEISURE.CSV", "settings.ini"}) {
    const std::string text = Demo(name);
    ASSERT_FALSE(text.empty()) << name;
    dir.Write(name, text);
  }
  StartSettings settings = StartSettings().TauCheck();
  settings.fail_queue_no = "90";
  settings.agent_id = "4021";
  settings.user_name = "AMBERVALE DEMO";
  ProgramStart p(dir.path(), Demo("host.json"), false, settings);
  p.LoadConfiguration("TaskMaintenance.csv");
  const int entries_before = Count(p.Log("debug_log_1.txt"), "TE REQUEST");
  p.MoveQueue();

  const nlohmann::json expected = nlohmann::json::parse(Demo("expected.json"));
  ASSERT_EQ(expected.size(), 300u);
  std::vector<std::string> sources;
  for (const auto& [locator, outcome] : expected.items()) {
    std::set<std::string> want;
    for (const auto& d : outcome["destinations"]) want.insert(d.get<std::string>());
    std::set<std::string> got;
    for (const auto& [key, locators] : p.world().queues) {
      if (std::find(locators.begin(), locators.end(), locator) != locators.end()) got.insert(key);
    }
    EXPECT_EQ(got, want) << locator << " from " << outcome["source"].get<std::string>();
    sources.push_back(outcome["source"].get<std::string>());
  }
  for (const char* fail_queue : {"LON1/90", "MAN2/90", "EDI3/90"}) {
    EXPECT_TRUE(EveryPnrPlaced(p.world(), fail_queue, p.Log("Fail_Queue_Log.csv"), sources));
  }
  EXPECT_EQ(p.form.intFailCount + p.form.intSuccessCount, 300);
  // The host was busy once or twice, and the run went on after each wait.
  const std::string debug = p.Log("debug_log_1.txt");
  int busy = 0;
  for (size_t at = debug.find("PREVIOUS ENTRY IN PROGRESS"); at != std::string::npos;
       at = debug.find("PREVIOUS ENTRY IN PROGRESS", at + 1)) {
    ++busy;
  }
  EXPECT_GE(busy, 1);
  EXPECT_LE(busy, 2);

  // The summary row counts what the success, failure and Fail Queue logs hold.
  const auto summary = CsvRows(p.Log("Run_Summary_1.csv"));
  ASSERT_EQ(summary.size(), 2u);
  EXPECT_EQ(summary[0][4], "Moved");
  const std::string success = p.Log("Success_PNR_1.txt");
  const std::string failed = p.Log("Failed_PNR_1.txt");
  const std::string fail_queue_log = p.Log("Fail_Queue_Log.csv");
  const int moved = Count(success, "\r\n");
  const std::vector<std::string> want = {
      "5",
      "300",
      std::to_string(moved),
      std::to_string(Count(failed, "\r\n")),
      std::to_string(Count(fail_queue_log, "\r\nLON1,") + Count(fail_queue_log, "\r\nMAN2,") +
                     Count(fail_queue_log, "\r\nEDI3,")),
      "0",
      std::to_string(Count(debug, "TE REQUEST") - entries_before),
      std::to_string(busy),
      std::to_string(busy * 10)};
  EXPECT_EQ(std::vector<std::string>(summary[1].begin() + 2, summary[1].end()), want);
  EXPECT_EQ(moved, 275);
  // Each moved PNR counts once for every agent it went to ("to PCC P1 Queue 12, P2 Queue 5").
  int tallied = 0;
  for (const auto& row : CsvRows(p.Log("Agent_Tally_1.csv"))) {
    if (row[0] != "Date") tallied += std::stoi(row[3]);
  }
  EXPECT_EQ(tallied, moved + Count(success, ", "));
  EXPECT_EQ(Count(p.Log("action_log_1.txt"),
                  "Run summary: 5 tasks, 300 PNRs taken, 275 moved, "
                  "25 failed, 25 to the Fail Queue, 0 returned"),
            1);
}

}  // namespace
}  // namespace ambervale
