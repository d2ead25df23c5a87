#pragma once

// Helpers of the simulator's tests: a host over a scenario text on the fake clock (today is
// 2026-12-06), the example scenario, and host lines written the way the host marks them up.

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_host.h"
#include "testing/fake_env.h"

namespace ambervale::sim::testing {

// testdata/basic.json: its path and its text.
std::string BasicScenarioPath();
std::string BasicScenario();

// `text` + "<CARRIAGE_RETURN/>".
std::string Cr(std::string_view text);
// Every text with its "<CARRIAGE_RETURN/>".
std::vector<std::string> Cr(std::initializer_list<std::string_view> texts);

// A scenario whose PCC ABC1 has queue 12 holding `count` PNRs P00001, P00002, ... named
// NAME{n}/TEST MR.
std::string ScenarioWithQueueOf(int count);

// The screen as the program reads it: "<TABSTOP/>" as 0xB7, "<CARRIAGE_RETURN/>" as CR LF.
std::string ScreenText(const std::vector<std::string>& lines);

// A SimHost over a scenario text (no state file), on a fake clock.
class SimWorld {
 public:
  explicit SimWorld(std::string_view scenario = BasicScenario());

  // The answer's lines to `entry` (bare).
  std::vector<std::string> Enter(std::string_view entry);
  // Signs on with agent 1234 (and checks it worked).
  void SignOn();

  SimHost& host() { return *host_; }
  const World& world() const { return host_->world(); }
  FakeEnv& env() { return env_; }

 private:
  FakeEnv env_;
  std::unique_ptr<SimHost> host_;
};

}  // namespace ambervale::sim::testing
