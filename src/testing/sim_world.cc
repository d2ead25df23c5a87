#include "testing/sim_world.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "testing/golden.h"

namespace ambervale::testing {

std::string BasicScenarioPath() { return SourceFile("sim/testdata/basic.json"); }

std::string BasicScenario() { return ReadFile(BasicScenarioPath()).value_or(""); }

std::string BasicWith(std::string_view from, std::string_view to) {
  std::string scenario = BasicScenario();
  const size_t at = scenario.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? scenario : scenario.replace(at, from.size(), to);
}

std::string BasicWithFaults(std::string_view faults) {
  return BasicWith("\"faults\": {}", "\"faults\": " + std::string(faults));
}

std::string Cr(std::string_view text) { return std::string(text) + "<CARRIAGE_RETURN/>"; }

std::vector<std::string> Cr(std::initializer_list<std::string_view> texts) {
  std::vector<std::string> lines;
  for (const std::string_view t : texts) lines.push_back(Cr(t));
  return lines;
}

}  // namespace ambervale::testing
