// The program's host layer reading the simulator's sign-on screens: each sign-on answer the
// simulator can give is classified as the program must. (The offered list entries, listed
// locators, busy answers and dropped connections are read in every run on the simulator: the
// demo run, the unticketed run and the host fault tests.)

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

  TestProgram program_;
  std::unique_ptr<SimHost> host_;
  std::unique_ptr<SimTerminalFactory> factory_;
  std::unique_ptr<HostLayer> layer_;
};

TEST_F(HostLayerOnSimulatorTest, SignOnStatesAreRecognised) {
  Start(ambervale::testing::BasicScenario());
  EXPECT_EQ(ambervale::testing::ConnectState(*layer_), "SIGN IN");
  EXPECT_FALSE(layer_->sendTECommand("SON/1234"));
  EXPECT_EQ(ambervale::testing::ConnectState(*layer_), "OK");

  const struct {
    const char* answer;
    const char* result;
  } kCases[] = {{"sister", "FAIL"}, {"duty_code", "OK"}, {"normal", "OK"}};
  for (const auto& c : kCases) {
    Start(Replace(ambervale::testing::BasicWith("\"signed_in\": false", "\"signed_in\": true"),
                  "\"sign_on_answer\": \"normal\"",
                  std::string("\"sign_on_answer\": \"") + c.answer + "\""));
    EXPECT_EQ(ambervale::testing::ConnectState(*layer_), c.result) << c.answer;
  }
}

}  // namespace
}  // namespace ambervale::sim
