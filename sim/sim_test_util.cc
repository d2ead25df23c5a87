#include "sim/sim_test_util.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/classic_text.h"
#include "platform/files.h"

namespace ambervale::sim::testing {

std::string BasicScenarioPath() { return std::string(AMBERVALE_SIM_TESTDATA) + "/basic.json"; }

std::string BasicScenario() { return ReadFile(BasicScenarioPath()).value_or(""); }

std::string Cr(std::string_view text) { return std::string(text) + "<CARRIAGE_RETURN/>"; }

std::vector<std::string> Cr(std::initializer_list<std::string_view> texts) {
  std::vector<std::string> lines;
  for (const std::string_view t : texts) lines.push_back(Cr(t));
  return lines;
}

std::string ScenarioWithQueueOf(int count) {
  nlohmann::json pnrs = nlohmann::json::array();
  nlohmann::json queue = nlohmann::json::array();
  for (int n = 1; n <= count; ++n) {
    std::string locator = std::to_string(n);
    locator = "P" + std::string(5 - locator.size(), '0') + locator;
    pnrs.push_back({{"locator", locator},
                    {"owner_pcc", "ABC1"},
                    {"name", "NAME" + std::to_string(n) + "/TEST MR"}});
    queue.push_back(locator);
  }
  const nlohmann::json scenario = {{"agent_ids", {"1234"}},
                                   {"signed_in", true},
                                   {"pccs", {{"ABC1", nlohmann::json::object()}}},
                                   {"pnrs", pnrs},
                                   {"queues", {{"ABC1/12", queue}}}};
  return scenario.dump();
}

std::string ScreenText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += Replace(Replace(line, "<CARRIAGE_RETURN/>", "\r\n"), "<TABSTOP/>", "\xB7");
  }
  return text;
}

SimWorld::SimWorld(std::string_view scenario) {
  Status status;
  host_ = SimHost::FromScenarioText(scenario, env_, &status);
  if (!host_) ADD_FAILURE() << status.message();
}

std::vector<std::string> SimWorld::Enter(std::string_view entry) {
  if (!host_) return {};
  SimHost::Answer answer = host_->Enter(entry);
  EXPECT_FALSE(answer.dropped) << entry;
  return answer.lines;
}

void SimWorld::SignOn() { EXPECT_EQ(Enter("SON/1234"), Cr({"SIGN ON COMPLETE"})); }

}  // namespace ambervale::sim::testing
