// The program's host layer reading the simulator's screens: the fixed character positions
// the program parses (sign-on line, offered list entries, listed locators) and its handling
// of busy answers and dropped connections agree with what the simulator does.

#include <gtest/gtest.h>

#include "host/host_layer.h"
#include "platform/classic_text.h"
#include "sim/sim_host.h"
#include "sim/sim_terminal.h"
#include "testing/sim_world.h"
#include "testing/test_program.h"

namespace ambervale::sim {
namespace {

class HostLayerOnSimulatorTest : public ::testing::Test {
 protected:
  // Starts the host on `scenario`; the layer is then ready to connect.
  void Start(std::string_view scenario) {
    Status status;
    host_ = SimHost::FromScenarioText(scenario, program_.env, &status);
    ASSERT_TRUE(host_) << status.message();
    factory_ = std::make_unique<SimTerminalFactory>(*host_);
    layer_ = std::make_unique<HostLayer>(program_.form, program_.alerts, *factory_);
  }

  static std::string WithBasic(std::string_view replace, std::string_view by) {
    return ambervale::testing::BasicWith(replace, by);
  }

  TestProgram program_;
  std::unique_ptr<SimHost> host_;
  std::unique_ptr<SimTerminalFactory> factory_;
  std::unique_ptr<HostLayer> layer_;
};

TEST_F(HostLayerOnSimulatorTest, SignOnStatesAreRecognised) {
  Start(ambervale::testing::BasicScenario());
  EXPECT_EQ(layer_->ConnectHost(), "SIGN IN");
  layer_->sendTECommand("SON/1234");
  EXPECT_EQ(layer_->ConnectHost(), "OK");

  const struct {
    const char* answer;
    const char* result;
  } kCases[] = {{"sister", "FAIL"}, {"duty_code", "OK"}, {"normal", "OK"}};
  for (const auto& c : kCases) {
    Start(Replace(WithBasic("\"signed_in\": false", "\"signed_in\": true"),
                  "\"sign_on_answer\": \"normal\"",
                  std::string("\"sign_on_answer\": \"") + c.answer + "\""));
    EXPECT_EQ(layer_->ConnectHost(), c.result) << c.answer;
  }
}

TEST_F(HostLayerOnSimulatorTest, OfferedListEntriesAreFound) {
  Start(ambervale::testing::ScenarioWithQueueOf(150));
  ASSERT_EQ(layer_->ConnectHost(), "OK");
  layer_->sendTECommand("QLD/ABC1/12/TS");
  const std::string first = layer_->GetSuggestedEntry("TO SEE THE FIRST 100 BFS");
  EXPECT_EQ(first, "QLD/ABC1/12/TS/1");
  layer_->sendTECommand(first);
  for (int page = 0; page < 6; ++page) layer_->sendTECommand("MR");
  EXPECT_EQ(layer_->GetSuggestedEntry("TO SEE THE NEXT 100 BFS"), "QLD/ABC1/12/TS/101");
}

TEST_F(HostLayerOnSimulatorTest, ListedLocatorsReachTheStatusLines) {
  Start(WithBasic("\"signed_in\": false", "\"signed_in\": true"));
  ASSERT_EQ(layer_->ConnectHost(), "OK");
  layer_->sendTECommand("LD/ABC1/UTK/01DEC*09DEC-D");
  EXPECT_EQ(layer_->LogQueueListStatus("ABC1", "50"), "OK");
  EXPECT_EQ(program_.Log("tempHeaderStatus.txt"), "ABC1,ABC123,50,\r\nABC1,DEF456,50,\r\n");
}

TEST_F(HostLayerOnSimulatorTest, BusyAnswerWaitsTenSeconds) {
  Start(WithBasic("\"faults\": {}", "\"faults\": {\"busy_every\": 2}"));
  (void)layer_->ConnectHost();
  layer_->sendTECommand("SON/1234");
  EXPECT_EQ(program_.env.sleeps(), std::vector<int64_t>{10000});
}

TEST_F(HostLayerOnSimulatorTest, DroppedConnectionEndsTheProgram) {
  Start(WithBasic("\"faults\": {}", "\"faults\": {\"drop_connection_after\": 2}"));
  (void)layer_->ConnectHost();
  EXPECT_THROW(layer_->sendTECommand("SON/1234"), ProgramEnded);
}

}  // namespace
}  // namespace ambervale::sim
