// The demo agency of examples/demo: one run over its five source queues (300 PNRs, three
// offices, every identification kind, notepad texts, TAU refresh, a refused PNR and busy
// answers) puts every PNR where examples/demo/expected.json says, and its summary and agent
// tally count what the logs hold.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "platform/files.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

std::string Demo(std::string_view name) {
  return ReadFile(JoinPath(AMBERVALE_DEMO_DIR, name)).value_or("");
}

int Count(const std::string& text, std::string_view part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(DemoRunTest, OneRunPutsEveryPnrWhereExpected) {
  TestProgram p;
  for (const char* name : {"TaskMaintenance.csv", "SALES_LON.CSV", "CORPORATE.CSV", "MAN_SALES.CSV",
                           "GROUPS.CSV", "LEISURE.CSV", "settings.ini"})
    p.dir.Write(name, Demo(name));
  p.form.strAgentID = "4021";
  p.form.strUserName = "AMBERVALE DEMO";
  p.form.FailQueueNo = "90";
  p.Connect(Demo("host.json"));
  p.form.blnTAUCheck = true;
  p.LoadConfiguration("TaskMaintenance.csv");
  p.MoveQueue();
  const size_t entries = p.tap->TakeEntries().size();

  const nlohmann::json expected = nlohmann::json::parse(Demo("expected.json"));
  std::map<std::string, std::set<std::string>> places;
  for (const auto& [key, locators] : p.world().queues) {
    for (const std::string& locator : locators) places[locator].insert(key);
  }
  for (const auto& [locator, outcome] : expected.items()) {
    EXPECT_EQ(places[locator], outcome["destinations"].get<std::set<std::string>>())
        << locator << " from " << outcome["source"].get<std::string>();
  }
  // The host was busy once or twice, and the run went on after each wait.
  const int busy = Count(p.Log("debug_log_1.txt"), "PREVIOUS ENTRY IN PROGRESS");
  EXPECT_TRUE(busy == 1 || busy == 2) << busy;

  // The summary row counts what the success, failure and Fail Queue logs hold, the entries sent
  // and the busy answers (ten seconds' wait each).
  const std::string success = p.Log("Success_PNR_1.txt");
  const int moved = Count(success, "\r\n");
  EXPECT_EQ(moved, 275);
  const std::string summary = p.Log("Run_Summary_1.csv");
  EXPECT_TRUE(
      summary.starts_with("Start,End,Tasks,PNRs taken,Moved,Failed,To Fail Queue,Returned "
                          "from Fail Queue,Host entries,Busy answers,Seconds waiting for "
                          "host\r\n"))
      << summary;
  const std::string row = std::to_string(moved) + "," +
                          std::to_string(Count(p.Log("Failed_PNR_1.txt"), "\r\n")) + "," +
                          std::to_string(Count(p.Log("Fail_Queue_Log.csv"), "\r\n") - 3) + ",0," +
                          std::to_string(entries) + "," + std::to_string(busy) + "," +
                          std::to_string(busy * 10) + "\r\n";
  EXPECT_TRUE(summary.ends_with(",5,300," + row)) << summary << row;
  EXPECT_EQ(Count(summary, "\r\n"), 2);
  // Each moved PNR counts once for every agent it went to ("to PCC P1 Queue 12, P2 Queue 5").
  const std::string tally = p.Log("Agent_Tally_1.csv");
  int tallied = 0;
  for (size_t end = tally.find("\r\n", tally.find("\r\n") + 2); end != std::string::npos;
       end = tally.find("\r\n", end + 2)) {
    tallied += std::stoi(tally.substr(tally.rfind(',', end) + 1));
  }
  EXPECT_EQ(tallied, moved + Count(success, ", "));
}

}  // namespace
}  // namespace ambervale::testing
