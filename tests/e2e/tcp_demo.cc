#include "tests/e2e/tcp_demo.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>

#include "sim/sim_host.h"
#include "testing/program_files.h"

namespace ambervale::e2e {
namespace {

// Keeps the first `n` PNRs of each source queue (the queues that hold PNRs) and drops the
// other PNRs.
void KeepFirstPnrs(nlohmann::ordered_json& scenario, int n) {
  std::set<std::string> kept;
  for (auto& [queue, locators] : scenario["queues"].items()) {
    if (locators.size() > static_cast<size_t>(n))
      locators.erase(locators.begin() + n, locators.end());
    for (const auto& locator : locators) kept.insert(locator.get<std::string>());
  }
  auto& pnrs = scenario["pnrs"];
  pnrs.erase(std::remove_if(pnrs.begin(), pnrs.end(),
                            [&](const nlohmann::ordered_json& pnr) {
                              return kept.count(pnr["locator"].get<std::string>()) == 0;
                            }),
             pnrs.end());
}

// One line "LOCATOR: QUEUES" a PNR, the queues sorted and blank separated.
std::string Listed(const std::map<std::string, std::set<std::string>>& places) {
  std::string out;
  for (const auto& [locator, queues] : places) {
    out += locator + ":";
    for (const std::string& q : queues) out += " " + q;
    out += "\n";
  }
  return out;
}

}  // namespace

TcpDemo::TcpDemo(int pnrs_per_queue) {
  folder.CopyDemo();
  nlohmann::ordered_json scenario = nlohmann::ordered_json::parse(DemoFile("host.json"));
  if (pnrs_per_queue > 0) KeepFirstPnrs(scenario, pnrs_per_queue);
  scenario["faults"]["busy_every"] = 0;
  folder.Write("host.json", scenario.dump(1));
  folder.SetSetting("TIMER", "COUNTER", "0");
  folder.SetSetting("MailSetting", "SMTPServerString",
                    "smtp://127.0.0.1:" + std::to_string(closed_port_.port()));
  folder.SetSetting("Terminal", "Connection", "tcp:127.0.0.1:" + std::to_string(proxy_.port()));
  folder.SetSetting("Terminal", "StateFile", "");
  folder.SetSetting("Terminal", "TimeoutSeconds", "10");
}

::testing::AssertionResult TcpDemo::StartHost() {
  Status error;
  host_ = sim::HostsimProcess::Start(
      AMBERVALE_HOSTSIM,
      {"--scenario", folder.File("host.json"), "--state-out", folder.File("host-state.json")},
      &error);
  if (host_ == nullptr) return ::testing::AssertionFailure() << error.message();
  proxy_.set_host_port(host_->port());
  return ::testing::AssertionSuccess();
}

std::unique_ptr<ChildProcess> TcpDemo::StartProgram(const std::vector<std::string>& args,
                                                    const std::string& name,
                                                    const std::map<std::string, std::string>& env) {
  std::vector<std::string> all = {"--headless"};
  all.insert(all.end(), args.begin(), args.end());
  return folder.StartAmbervale(all, name, env);
}

std::optional<int> TcpDemo::Relay(ChildProcess& program, const EntryHook& hook, int timeout_ms) {
  return proxy_.RelayUntilExit(program, hook, timeout_ms);
}

std::string TcpDemo::Expected() const {
  const nlohmann::json expected = nlohmann::json::parse(DemoFile("expected.json"));
  const nlohmann::json scenario = nlohmann::json::parse(folder.Read("host.json"));
  std::map<std::string, std::set<std::string>> on;
  for (const auto& pnr : scenario.at("pnrs")) {
    const std::string locator = pnr.at("locator").get<std::string>();
    const nlohmann::json& e = expected.at(locator);
    on[locator] = e.at(e.contains("agent_destinations") ? "agent_destinations" : "destinations")
                      .get<std::set<std::string>>();
  }
  return Listed(on);
}

std::optional<sim::World> TcpDemo::KeptWorld() const {
  std::unique_ptr<Env> env = NewSystemEnv();
  Status status;
  std::optional<sim::World> world =
      sim::SimHost::ReadKeptWorld(folder.File("host-state.json"), *env, &status);
  EXPECT_TRUE(world) << status.message();
  return world;
}

std::string TcpDemo::PlacesNow() const {
  const std::optional<sim::World> world = KeptWorld();
  if (!world) return {};
  std::map<std::string, std::set<std::string>> on;
  for (const auto& [locator, pnr] : world->pnrs) on[locator];
  for (const auto& [queue, locators] : world->queues) {
    for (const std::string& locator : locators) on[locator].insert(queue);
  }
  return Listed(on);
}

::testing::AssertionResult TcpDemo::NoPnrLost() const {
  const std::optional<sim::World> world = KeptWorld();
  if (!world) return ::testing::AssertionFailure() << "no kept world";
  const std::vector<std::string> sources = {"LON1/40", "LON1/41*C5", "MAN2/40", "MAN2/42",
                                            "EDI3/40"};
  for (const char* fail_queue : {"LON1/90", "MAN2/90", "EDI3/90"}) {
    ::testing::AssertionResult placed =
        testing::EveryPnrPlaced(*world, fail_queue, folder.Log("Fail_Queue_Log.csv"), sources);
    if (!placed) return placed;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace ambervale::e2e
