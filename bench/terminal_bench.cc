// Entries per second through the in-process simulator terminal and the network terminal on
// loopback (against an `ambervale-hostsim` child process), each measured on the bare Terminal
// and through sendTECommand, which also writes every entry and answer to the debug log. A
// queue walk's mix of displays and a queue count is sent over and over.
//   goal: bare >= 100,000 entries/s in process, >= 10,000 over the network;
//         through sendTECommand >= 10,000 in process, >= 5,000 over the network (each entry
//         adds two debug-log writes to the network round trip; loopback figures vary a lot
//         from run to run on a shared machine).

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host/host_layer.h"
#include "host/network_terminal.h"
#include "platform/files.h"
#include "sim/hostsim_process.h"
#include "sim/sim_host.h"
#include "sim/sim_terminal.h"
#include "testing/fake_env.h"
#include "testing/test_program.h"

namespace {

using ambervale::Status;
using ambervale::Terminal;

constexpr double kInProcessGoal = 100000;
constexpr double kNetworkGoal = 10000;
constexpr double kHostLayerGoal = 10000;
constexpr double kNetworkHostLayerGoal = 5000;

const std::vector<std::string> kMix = {
    "<FORMAT>*R</FORMAT>",  "<FORMAT>*P</FORMAT>",          "<FORMAT>*DI</FORMAT>",
    "<FORMAT>*CI</FORMAT>", "<FORMAT>*TD</FORMAT>",         "<FORMAT>QPB*12</FORMAT>",
    "<FORMAT>I</FORMAT>",   "<FORMAT>QCB/ABC1/12</FORMAT>",
};

// Sends `count` entries of the mix, reading every line of every answer; entries per second,
// or a negative value when an entry failed.
double Run(Terminal& terminal, int count) {
  for (const char* setup : {"<FORMAT>SON/1234</FORMAT>", "<FORMAT>Q/ABC1/12</FORMAT>"}) {
    if (!terminal.SendEntry(setup).ok()) return -1;
  }
  size_t bytes = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    const Status sent = terminal.SendEntry(kMix[static_cast<size_t>(i) % kMix.size()]);
    if (!sent.ok()) {
      std::fprintf(stderr, "entry %d failed: %s\n", i, sent.message().c_str());
      return -1;
    }
    const int16_t lines = terminal.GetLineCount().value_or(0);
    for (int16_t l = 0; l < lines; ++l) bytes += terminal.GetLine(l).value_or("").size();
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  if (bytes == 0) return -1;
  return count / took.count();
}

// The same mix through sendTECommand on a fresh program folder (debug log written).
double RunThroughHostLayer(ambervale::TerminalFactory& terminals, int count) {
  ambervale::testing::TestProgram program;
  ambervale::HostLayer host(program.form, program.alerts, terminals);
  std::string state;
  if (host.ConnectHost(&state) || state.empty()) return -1;
  if (host.sendTECommand("SON/1234")) return -1;
  if (host.sendTECommand("Q/ABC1/12")) return -1;
  size_t bytes = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    // The mix without its FORMAT wrapper: sendTECommand adds it.
    const std::string& request = kMix[static_cast<size_t>(i) % kMix.size()];
    if (host.sendTECommand(std::string_view(request).substr(8, request.size() - 17))) return -1;
    bytes += host.GetScreenText().size();
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return bytes == 0 ? -1 : count / took.count();
}

bool Report(const char* what, double rate, double goal) {
  std::printf("%-44s %12.0f entries/s (goal >= %.0f)%s\n", what, rate, goal,
              rate >= goal ? "" : "  MISSED");
  return rate >= goal;
}

}  // namespace

int main() {
  const std::string scenario_path = std::string(AMBERVALE_SIM_TESTDATA) + "/basic.json";
  ambervale::testing::FakeEnv env;
  Status status;
  std::unique_ptr<ambervale::sim::SimHost> host =
      ambervale::sim::SimHost::Open(scenario_path, "", env, &status);
  if (!host) {
    std::fprintf(stderr, "%s\n", status.message().c_str());
    return 1;
  }
  ambervale::sim::SimTerminalFactory local_factory(*host);
  std::unique_ptr<Terminal> local = local_factory.Create(&status);
  bool ok = Report("in-process terminal", Run(*local, 1000000), kInProcessGoal);
  ok = Report("in-process, through sendTECommand", RunThroughHostLayer(local_factory, 50000),
              kHostLayerGoal) &&
       ok;

  std::unique_ptr<ambervale::sim::HostsimProcess> hostsim = ambervale::sim::HostsimProcess::Start(
      AMBERVALE_HOSTSIM, {"--scenario", scenario_path}, &status);
  if (!hostsim) {
    std::fprintf(stderr, "%s\n", status.message().c_str());
    return 1;
  }
  ambervale::NetworkTerminalFactory network_factory("127.0.0.1", hostsim->port(), 5);
  std::unique_ptr<Terminal> remote = network_factory.Create(&status);
  if (!remote) {
    std::fprintf(stderr, "%s\n", status.message().c_str());
    return 1;
  }
  ok = Report("network terminal (loopback)", Run(*remote, 100000), kNetworkGoal) && ok;
  ok = Report("network terminal, through sendTECommand",
              RunThroughHostLayer(network_factory, 20000), kNetworkHostLayerGoal) &&
       ok;
  return ok ? 0 : 1;
}
