// Faults survived for real, on the demo agency over TCP (its first 25 PNRs of each source
// queue, so that it can run several times): the host server killed in the middle of a run,
// then the program itself killed (SIGKILL) at chosen entries of several starts. After every
// fault no PNR is lost or doubled, and the next start finishes the work: every PNR ends where
// expected.json says. The last start runs as systemd starts a service (NOTIFY_SOCKET) and
// tells the socket how it is.
//
// The kill points are entries seen by the relay, so they are the same on every machine:
// "before" an entry reaches the host, or "after" the host has carried it out but before the
// program has its answer.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "sim/hostsim_process.h"
#include "sim/sim_host.h"
#include "testing/loopback_port.h"
#include "testing/program_files.h"
#include "tests/e2e/entry_proxy.h"
#include "tests/e2e/program_folder.h"

namespace ambervale::e2e {
namespace {

using ::testing::HasSubstr;

const std::vector<std::string> kSources = {"LON1/40", "LON1/41*C5", "MAN2/40", "MAN2/42",
                                           "EDI3/40"};

// The first 25 PNRs of each source queue: 125 PNRs, the refused one and six without agent
// among them, for the Fail Queues of all three offices.
constexpr size_t kPnrsPerQueue = 25;

// The demo agency served by `ambervale-hostsim` over TCP, with an EntryProxy between the
// program and the host, in a program folder of its own. The copy differs from the demo in
// what the test needs to be quick: the host is never busy (each busy answer costs the program
// a real ten-second wait; the in-process tests cover it), only the first kPnrsPerQueue PNRs
// of each source queue are kept, the first run comes at the first tick (COUNTER 0), and the
// mail server is a loopback port of the test's own where nothing listens (not the demo's, which
// a demo running beside the tests may hold), so every mail fails at once and is logged.
struct TcpDemo {
  TcpDemo() {
    folder.CopyDemo();
    nlohmann::ordered_json scenario = nlohmann::ordered_json::parse(DemoFile("host.json"));
    for (auto& [queue, locators] : scenario["queues"].items()) {
      if (locators.size() > kPnrsPerQueue)
        locators.erase(locators.begin() + kPnrsPerQueue, locators.end());
      for (const auto& locator : locators) kept.insert(locator.get<std::string>());
    }
    auto& pnrs = scenario["pnrs"];
    pnrs.erase(std::remove_if(pnrs.begin(), pnrs.end(),
                              [&](const auto& p) { return !kept.contains(p["locator"]); }),
               pnrs.end());
    scenario["faults"]["busy_every"] = 0;
    folder.Write("host.json", scenario.dump(1));
    folder.SetSetting("TIMER", "COUNTER", "0");
    folder.SetSetting("MailSetting", "SMTPServerString",
                      "smtp://127.0.0.1:" + std::to_string(closed_port.port()));
    folder.SetSetting("Terminal", "Connection", "tcp:127.0.0.1:" + std::to_string(proxy.port()));
  }

  // Starts the host (again: a new server on the same state file) and points the relay at it.
  void StartHost() {
    Status error;
    host = sim::HostsimProcess::Start(
        AMBERVALE_HOSTSIM,
        {"--scenario", folder.File("host.json"), "--state-out", folder.File("host-state.json")},
        &error);
    ASSERT_NE(host, nullptr) << error.message();
    proxy.set_host_port(host->port());
  }

  // The world as a restarted host reads the state file and its journal (every entry the host
  // answered).
  sim::World KeptWorld() const {
    std::unique_ptr<Env> env = NewSystemEnv();
    Status status;
    std::optional<sim::World> world =
        sim::SimHost::ReadKeptWorld(folder.File("host-state.json"), *env, &status);
    EXPECT_TRUE(world) << status.message();
    return world.value_or(sim::World{});
  }

  ProgramFolder folder;
  testing::LoopbackPort closed_port{false};  // the mail server: connections are refused
  std::set<std::string> kept;  // the first PNRs of each source queue (the queues with PNRs)
  std::unique_ptr<sim::HostsimProcess> host;
  EntryProxy proxy;
};

// systemd's notify socket, a Unix datagram socket read at each entry and at the end: a sender
// blocks once ten datagrams wait unread, and the program sends fewer between two entries.
struct NotifySocket {
  NotifySocket() {
    sockaddr_un a{.sun_family = AF_UNIX, .sun_path = {}};
    std::strncpy(a.sun_path, path.c_str(), sizeof a.sun_path - 1);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a), 0);
  }
  ~NotifySocket() { ::close(fd); }
  // The messages received so far, a line each.
  const std::string& Read() {
    char buffer[4096];
    for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT)) > 0;)
      messages += std::string(buffer, static_cast<size_t>(n)) + "\n";
    return messages;
  }

  testing::TempDir dir;
  std::string path = dir.File("notify");
  int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  std::string messages;
};

// How long the relay waits for a program to end: below the test's own limit (60 s), so a hung
// program fails with a message.
constexpr int kRelayMs = 50000;

const std::vector<std::string> kArgs = {"--headless", "--runs", "1"};

// Each start is killed at its point (SIGKILL), the last of them by the host's end (the program
// ends itself); a start after those finishes the work.
TEST(FaultSurvivalE2eTest, KilledHostOrProgramLosesNoPnrAndTheNextStartFinishesTheWork) {
  // The point: the `nth` move (QEB/) to a queue matching `to` ("..../90" an office's Fail
  // Queue, "..../4.*" back to a source queue from the Fail Queue, "..../[56].*" agents' queues),
  // before it reaches the host or `after` the host has answered it.
  const struct {
    const char* name;
    const char* to;
    int nth;
    bool after;
    bool host = false;
  } kStarts[] = {
      // The Fail Queue Log row is written, the PNR is still on its source queue.
      {"before the 5th Fail Queue move", "..../90", 5, false},
      // The return from the Fail Queue has put a PNR back; the log still lists it.
      {"after the 2nd return", "..../4.*", 2, true},
      // The host has moved a PNR to its agent; the program has not logged it.
      {"after the 25th agent move", "..../[56].*", 25, true},
      // The host has put a PNR on the Fail Queue; the program has not counted it.
      {"after the 2nd Fail Queue move", "..../90", 2, true},
      // The host ends in the middle of a run; the program ends itself.
      {"host killed before the 3rd agent move", "..../[56].*", 3, false, true},
  };
  TcpDemo demo;
  ASSERT_NO_FATAL_FAILURE(demo.StartHost());
  for (const auto& c : kStarts) {
    std::unique_ptr<ChildProcess> program = demo.folder.StartAmbervale(kArgs, c.name);
    ASSERT_NE(program, nullptr);
    const std::regex move(std::string("QEB/") + c.to);
    int seen = 0;
    const std::optional<int> code = demo.proxy.RelayUntilExit(
        *program,
        [&](const std::string& entry, bool answered) {
          if (seen == c.nth || answered != c.after || !std::regex_match(entry, move) ||
              ++seen < c.nth) {
            return false;
          }
          (void)(c.host ? demo.host->Kill() : program->Kill());
          return !c.host;
        },
        kRelayMs);
    ASSERT_EQ(seen, c.nth) << c.name << ": the program ended first\n"
                           << demo.folder.Read(std::string(c.name) + ".out");
    EXPECT_EQ(code, c.host ? 1 : 128 + 9) << c.name;
    // No PNR is lost or doubled: each one is on its source queue, on its agents' queues or on
    // its office's Fail Queue with its row in the Fail Queue Log - and nowhere else.
    const sim::World world = demo.KeptWorld();
    for (const char* fail_queue : {"LON1/90", "MAN2/90", "EDI3/90"}) {
      EXPECT_TRUE(testing::EveryPnrPlaced(world, fail_queue,
                                          demo.folder.Read("logs/Fail_Queue_Log.csv"), kSources))
          << c.name;
    }
  }
  // The lost host's reason is on the console (its logs and alert: the host layer test): the
  // dropped connection failed the entry.
  EXPECT_THAT(demo.folder.Read(std::string(kStarts[4].name) + ".out"),
              HasSubstr("Unable to obtain response from Vantora HOST !!! the host at 127.0.0.1:" +
                        std::to_string(demo.proxy.port()) + " closed the connection"));

  ASSERT_NO_FATAL_FAILURE(demo.StartHost());
  NotifySocket notify;
  std::unique_ptr<ChildProcess> last =
      demo.folder.StartAmbervale(kArgs, "last", {{"NOTIFY_SOCKET", notify.path}});
  ASSERT_NE(last, nullptr);
  ASSERT_EQ(demo.proxy.RelayUntilExit(
                *last, [&](const std::string&, bool) { return notify.Read(), false; }, kRelayMs),
            0)
      << demo.folder.Read("last.err");
  ASSERT_EQ(demo.host->Stop(), 0);
  // Every PNR is where examples/demo/expected.json puts it: the refused one came back from the
  // Fail Queue and went to its agent this time.
  const nlohmann::json expected = nlohmann::json::parse(DemoFile("expected.json"));
  std::map<std::string, std::set<std::string>> places;
  for (const auto& [queue, locators] : demo.KeptWorld().queues) {
    for (const std::string& locator : locators) places[locator].insert(queue);
  }
  for (const std::string& locator : demo.kept) {
    const nlohmann::json& e = expected.at(locator);
    const char* key = e.contains("agent_destinations") ? "agent_destinations" : "destinations";
    EXPECT_EQ(places[locator], e.at(key).get<std::set<std::string>>()) << locator;
  }
  // READY=1 once, the watchdog after it; the last status is the console's last counters line.
  const std::string messages = notify.Read();
  const std::string out = demo.folder.Read("last.out");
  const size_t counters = out.rfind("[counters] ") + 11,
               last_status = messages.rfind("STATUS=") + 7;
  EXPECT_TRUE(std::regex_match(std::regex_replace(messages, std::regex("STATUS=.*\n"), ""),
                               std::regex("(WATCHDOG=1\n)*READY=1\n(WATCHDOG=1\n)+")))
      << messages;
  EXPECT_EQ(messages.substr(last_status, messages.find('\n', last_status) - last_status),
            out.substr(counters, out.find('\n', counters) - counters));
}

}  // namespace
}  // namespace ambervale::e2e
