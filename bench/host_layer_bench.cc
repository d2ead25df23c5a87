// Entries per second through sendTECommand, which writes every entry and its answer to the
// debug log: in process against the simulator and over the network terminal on loopback.
// Every entry also writes two debug-log blocks (request and answer).
//   goal: >= 10,000 entries/s in process and over the network (the bare terminals' own
//   figures are in terminal_bench). A machine busy with other work measures less.

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host/host_layer.h"
#include "host/network_terminal.h"
#include "sim/hostsim_process.h"
#include "sim/sim_host.h"
#include "sim/sim_terminal.h"
#include "testing/test_program.h"

namespace {

using ambervale::HostLayer;
using ambervale::Status;
using ambervale::TerminalFactory;
using ambervale::TestProgram;

constexpr double kInProcessGoal = 10000;
constexpr double kNetworkGoal = 10000;

const std::vector<std::string> kMix = {"*R",  "*P",     "*DI", "*CI",
                                       "*TD", "QPB*12", "I",   "QCB/ABC1/12"};

double Run(TerminalFactory& terminals, int count) {
  TestProgram program;
  HostLayer host(program.form, program.alerts, terminals);
  if (host.ConnectHost().empty()) return -1;
  host.sendTECommand("SON/1234");
  host.sendTECommand("Q/ABC1/12");
  size_t bytes = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    host.sendTECommand(std::string_view(kMix[static_cast<size_t>(i) % kMix.size()]));
    bytes += host.GetScreenText().size();
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return bytes == 0 ? -1 : count / took.count();
}

bool Report(const char* what, double rate, double goal) {
  std::printf("%-40s %10.0f entries/s (goal >= %.0f)%s\n", what, rate, goal,
              rate >= goal ? "" : "  MISSED");
  return rate >= goal;
}

}  // namespace

int main() {
  const std::string scenario_path = std::string(AMBERVALE_SIM_TESTDATA) + "/basic.json";
  ambervale::FakeEnv env;
  Status status;
  auto world = ambervale::sim::SimHost::Open(scenario_path, "", env, &status);
  if (!world) {
    std::fprintf(stderr, "%s\n", status.message().c_str());
    return 1;
  }
  ambervale::sim::SimTerminalFactory local(*world);
  bool ok = Report("sendTECommand, in-process simulator", Run(local, 50000), kInProcessGoal);

  auto hostsim = ambervale::sim::HostsimProcess::Start(AMBERVALE_HOSTSIM,
                                                       {"--scenario", scenario_path}, &status);
  if (!hostsim) {
    std::fprintf(stderr, "%s\n", status.message().c_str());
    return 1;
  }
  ambervale::NetworkTerminalFactory network("127.0.0.1", hostsim->port(), 5);
  ok =
      Report("sendTECommand, network terminal (loopback)", Run(network, 20000), kNetworkGoal) && ok;
  return ok ? 0 : 1;
}
