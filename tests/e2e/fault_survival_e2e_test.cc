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

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <regex>
#include <set>
#include <thread>

#include "tests/e2e/tcp_demo.h"

namespace ambervale::e2e {
namespace {

const std::set<std::string> kSources = {"LON1/40", "LON1/41*C5", "MAN2/40", "MAN2/42", "EDI3/40"};

// The move entries of one kind (QEB/ to an office's Fail Queue, back to a source queue from
// the Fail Queue, or to agents' queues); the point is reached at the `nth`.
struct KillPoint {
  enum Move { kFailQueue, kReturn, kAgent } kind;
  int nth;
  bool after;
  int seen = 0;

  bool Reached(const ProxyEntry& entry) {
    if (entry.answered != after || !entry.text.starts_with("QEB/")) return false;
    const std::string to = entry.text.substr(4);
    const Move move = to.size() == 7 && to.ends_with("/90") ? kFailQueue
                      : kSources.count(to) != 0             ? kReturn
                                                            : kAgent;
    return move == kind && ++seen == nth;
  }
};

// systemd's notify socket: a Unix datagram socket read by a thread of its own, as systemd
// reads it (a sender blocks once a few datagrams wait unread).
class NotifySocket {
 public:
  NotifySocket() : fd_(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    sockaddr_un a{.sun_family = AF_UNIX, .sun_path = {}};
    std::strncpy(a.sun_path, dir_.File("notify").c_str(), sizeof a.sun_path - 1);
    EXPECT_EQ(::bind(fd_, reinterpret_cast<const sockaddr*>(&a), sizeof a), 0);
    reader_ = std::thread([this] {
      char buffer[4096];
      for (ssize_t n; (n = ::recv(fd_, buffer, sizeof buffer, 0)) != 0;) {
        if (n > 0) messages_ += std::string(buffer, static_cast<size_t>(n)) + "\n";
        if (n < 0 && errno != EINTR) return;
      }
    });
  }
  ~NotifySocket() {
    (void)Finish();
    ::close(fd_);
  }
  std::string path() const { return dir_.File("notify"); }
  // Stops reading; the messages received, a line each.
  std::string Finish() {
    if (reader_.joinable()) ::shutdown(fd_, SHUT_RDWR), reader_.join();
    return messages_;
  }

 private:
  TempDir dir_;
  int fd_;
  std::thread reader_;
  std::string messages_;  // the reader's until Finish
};

// The first 25 PNRs of each source queue: 125 PNRs, the refused one and six without agent
// among them, for the Fail Queues of all three offices.
constexpr int kPnrsPerQueue = 25;

// Each start is killed at its point (SIGKILL), the last of them by the host's end (the program
// ends itself); a start after those finishes the work.
TEST(FaultSurvivalE2eTest, KilledHostOrProgramLosesNoPnrAndTheNextStartFinishesTheWork) {
  const struct {
    const char* name;
    KillPoint point;
    bool host = false;
  } kStarts[] = {
      // The Fail Queue Log row is written, the PNR is still on its source queue.
      {"before the 5th Fail Queue move", {KillPoint::kFailQueue, 5, false}},
      // The return from the Fail Queue has put a PNR back; the log still lists it.
      {"after the 2nd return", {KillPoint::kReturn, 2, true}},
      // The host has moved a PNR to its agent; the program has not logged it.
      {"after the 25th agent move", {KillPoint::kAgent, 25, true}},
      // The host has put a PNR on the Fail Queue; the program has not counted it.
      {"after the 2nd Fail Queue move", {KillPoint::kFailQueue, 2, true}},
      // The host ends in the middle of a run; the program ends itself.
      {"host killed before the 3rd agent move", {KillPoint::kAgent, 3, false}, true},
  };
  TcpDemo demo(kPnrsPerQueue);
  ASSERT_TRUE(demo.StartHost());
  int start = 0;
  for (auto c : kStarts) {
    const std::string name = "start" + std::to_string(++start);
    std::unique_ptr<ChildProcess> program = demo.StartProgram({"--runs", "1"}, name);
    ASSERT_NE(program, nullptr);
    bool killed = false;
    const std::optional<int> code = demo.Relay(*program, [&](const ProxyEntry& entry) {
      if (killed || !c.point.Reached(entry)) return Relay::kPass;
      killed = true;
      if (c.host) return demo.KillHost(), Relay::kPass;
      program->Kill();
      return Relay::kCut;
    });
    ASSERT_TRUE(killed) << c.name << ": the program ended first\n"
                        << demo.folder.Output(name, ".out");
    EXPECT_EQ(code, c.host ? 1 : 128 + 9) << c.name;
    EXPECT_TRUE(demo.NoPnrLost()) << c.name;
  }
  // The alert about the lost host could not be mailed either; the logs keep both, and the
  // reason is on the console too.
  const std::string reason = "Unable to obtain response from Vantora HOST !!! ";
  EXPECT_NE(demo.folder.Log("debug_log_1.txt").find("</FORMAT>: " + reason), std::string::npos);
  const std::string action_log = demo.folder.Log("action_log_1.txt");
  EXPECT_NE(action_log.find(reason), std::string::npos);
  EXPECT_NE(action_log.find("Sending Email Alert FAILED"), std::string::npos);
  EXPECT_NE(demo.folder.Output("start5", ".out").find(reason), std::string::npos);

  ASSERT_TRUE(demo.StartHost());
  NotifySocket notify;
  std::unique_ptr<ChildProcess> last =
      demo.StartProgram({"--runs", "1"}, "last", {{"NOTIFY_SOCKET", notify.path()}});
  ASSERT_NE(last, nullptr);
  ASSERT_EQ(demo.Relay(*last, nullptr), 0) << demo.folder.Output("last", ".err");
  ASSERT_EQ(demo.StopHost(), 0);
  // The refused PNR came back from the Fail Queue and went to its agent this time.
  EXPECT_EQ(demo.PlacesNow(), demo.Expected());
  EXPECT_TRUE(demo.NoPnrLost());
  // Start-up's counters and watchdog, READY=1 once, then the watchdog; the last status is the
  // console's last counters line.
  const std::string messages = notify.Finish();
  const std::string out = demo.folder.Output("last", ".out");
  const size_t counters = out.rfind("[counters] ") + 11;
  ASSERT_GT(counters, 10u) << out;
  const size_t ready = messages.find("READY=1\n");
  ASSERT_NE(ready, std::string::npos) << messages;
  EXPECT_TRUE(messages.starts_with("STATUS=moved 0 failed 0\n")) << messages;
  EXPECT_EQ(std::regex_replace(messages.substr(0, ready),
                               std::regex("STATUS=moved 0 failed 0\n|WATCHDOG=1\n"), ""),
            "");
  EXPECT_EQ(messages.find("READY", ready + 1), std::string::npos) << messages;
  EXPECT_NE(messages.find("WATCHDOG=1\n", ready), std::string::npos) << messages;
  const size_t last_status = messages.rfind("STATUS=") + 7;
  EXPECT_EQ(messages.substr(last_status, messages.find('\n', last_status) - last_status),
            out.substr(counters, out.find('\n', counters) - counters));
}

}  // namespace
}  // namespace ambervale::e2e
