// The demo agency of examples/demo: one run over its five source queues (300 PNRs, three
// offices, every identification kind, notepad texts, TAU refresh, a refused PNR and busy
// answers) puts every PNR where examples/demo/expected.json says.

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

TEST(DemoRunTest, OneRunPutsEveryPnrWhereExpected) {
  TestProgram p;
  for (const char* name : {"TaskMaintenance.csv", "SALES_LON.CSV", "CORPORATE.CSV", "MAN_SALES.CSV",
                           "GROUPS.CSV", "LEISURE.CSV", "settings.ini"}) {
    ASSERT_FALSE(Demo(name).empty()) << name;
    p.dir.Write(name, Demo(name));
  }
  p.form.strAgentID = "4021";
  p.form.strUserName = "AMBERVALE DEMO";
  p.form.FailQueueNo = "90";
  p.Connect(Demo("host.json"));
  p.form.blnTAUCheck = true;
  p.LoadConfiguration("TaskMaintenance.csv");
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
  for (size_t at = 0; (at = debug.find("PREVIOUS ENTRY IN PROGRESS", at)) != std::string::npos;
       ++at) {
    ++busy;
  }
  EXPECT_TRUE(busy == 1 || busy == 2) << busy;
}

}  // namespace
}  // namespace ambervale::testing
