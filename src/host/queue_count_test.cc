#include "host/queue_count.h"

#include <gtest/gtest.h>

#include <memory>

#include "host/host_layer.h"
#include "sim/sim_host.h"
#include "sim/sim_terminal.h"
#include "testing/test_program.h"

namespace ambervale {
namespace {

TEST(ReadQueueCountTest, ReadsTheCountField) {
  const struct {
    const char* screen;
    int16_t queue;
    const char* category;
    int32_t count;
  } kCases[] = {
      {"QC AB12 BF/Q012....3", 12, "", 3},
      {"QC AB12 BF/Q012.1234", 12, "", 1234},
      {"QC AB12 BF/Q01212345", 12, "", 12345},
      {"QC AB12 BF/GEN ....7", 1, "", 7},
      {"QC AB12 BF/URG ....0", 0, "", 0},
      {"qc ab12 bf/q012....3", 12, "", 3},                // the marker is found ignoring case
      {"QC AB12 BF/GEN ....7", 12, "", 0},                // queue 12 looks for BF/Q
      {"QC AB12 BF/Q012..A.3", 12, "", 0},                // not a number
      {"QC AB12 BF/Q012", 12, "", 0},                     // short display
      {"SIGN IN\r\n", 12, "", 0},                         // no marker
      {"Q010/C1.......3", 10, "C1", 3},                   // category
      {"Q010/CAB......42", 10, "CAB", 42},                // three-letter category
      {"Q010/c1.......3", 10, "C1", 3},                   // category found ignoring case
      {"Q010/C1.......3\r\nMORE TEXT\r\n", 10, "C1", 3},  // the field ends with the line
      {"Q010/C2.......3", 10, "C1", 0},                   // other category
      {"", 12, "", 0},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ReadQueueCount(c.screen, c.queue, c.category), c.count)
        << c.screen << " / " << c.queue << " / " << c.category;
  }
}

TEST(ReadQueueCountTest, ReadsTheSimulatedHostsDisplays) {
  TestProgram program;
  Status status;
  auto host = sim::SimHost::FromScenarioText(R"({
    "signed_in": true,
    "pccs": {"ABC1": {}},
    "pnrs": [{"locator": "AAAAA1", "owner_pcc": "ABC1"}, {"locator": "AAAAA2", "owner_pcc": "ABC1"},
             {"locator": "AAAAA3", "owner_pcc": "ABC1"}],
    "queues": {"ABC1/0": ["AAAAA1"], "ABC1/1": ["AAAAA1", "AAAAA2"],
               "ABC1/12": ["AAAAA1", "AAAAA2", "AAAAA3"], "ABC1/12*C1": ["AAAAA2"]}})",
                                             program.env, &status);
  ASSERT_TRUE(host) << status.message();
  sim::SimTerminalFactory terminals(*host);
  HostLayer layer(program.form, program.alerts, terminals);
  ASSERT_EQ(layer.ConnectHost(), "OK");
  const struct {
    const char* entry;
    int16_t queue;
    const char* category;
    int32_t count;
  } kCases[] = {{"QCB/ABC1/0", 0, "", 1},
                {"QCB/ABC1/1", 1, "", 2},
                {"QCB/ABC1/12", 12, "", 3},
                {"QCT/ABC1/12*C1", 12, "C1", 1},
                {"QCB/ABC1/40", 40, "", 0}};
  for (const auto& c : kCases) {
    layer.sendTECommand(c.entry);
    EXPECT_EQ(ReadQueueCount(layer.GetScreenText(), c.queue, c.category), c.count) << c.entry;
  }
}

}  // namespace
}  // namespace ambervale
