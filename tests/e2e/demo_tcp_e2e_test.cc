// The demo agency end to end: `ambervale --headless --runs 2` against `ambervale-hostsim`
// over TCP puts every PNR where examples/demo/expected.json says, and its logs say so too; a
// second copy started meanwhile for the same folder ends at once without a word. Started as
// systemd starts a service (NOTIFY_SOCKET), it tells the socket how it is.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <thread>

#include "platform/files.h"
#include "tests/e2e/tcp_demo.h"

namespace ambervale::e2e {
namespace {

// A socket standing in for systemd's notify socket: a Unix datagram socket in a temporary
// folder, read by a thread of its own as systemd reads it (a sender blocks once a few
// datagrams wait unread).
class NotifySocket {
 public:
  NotifySocket() : fd_(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    sockaddr_un a{.sun_family = AF_UNIX, .sun_path = {}};
    std::strncpy(a.sun_path, dir_.File("notify").c_str(), sizeof a.sun_path - 1);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) return;
    path_ = a.sun_path;
    reader_ = std::thread([this] {
      char buffer[4096];
      for (ssize_t n; (n = ::recv(fd_, buffer, sizeof buffer, 0)) != 0;) {
        if (n > 0) messages_.emplace_back(buffer, static_cast<size_t>(n));
        if (n < 0 && errno != EINTR) return;
      }
    });
  }
  ~NotifySocket() {
    (void)Finish();
    ::close(fd_);
  }
  const std::string& path() const { return path_; }  // empty when the socket is not bound
  // Stops reading; the messages received, in order.
  std::vector<std::string> Finish() {
    if (reader_.joinable()) {
      ::shutdown(fd_, SHUT_RDWR);  // the reader's recv returns 0
      reader_.join();
    }
    return messages_;
  }

 private:
  TempDir dir_;
  int fd_;
  std::string path_;
  std::thread reader_;
  std::vector<std::string> messages_;  // the reader's until Finish
};

// Every file of the folder and of its logs folder with its bytes.
std::map<std::string, std::string> Snapshot(const ProgramFolder& folder) {
  std::map<std::string, std::string> out;
  for (const std::string& name : ListFolder(folder.path())) {
    if (FileExists(folder.File(name))) out[name] = folder.Read(name);
  }
  for (const std::string& name : folder.LogNames()) out["logs/" + name] = folder.Log(name);
  return out;
}

// How often `part` occurs in `text`.
int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The notify messages: start-up's counters and watchdog, READY=1 once, before any PNR was
// counted; the watchdog after it (ticks and entries); the last status line is the console's
// last counters line.
void ExpectServiceMessages(const std::vector<std::string>& messages, const std::string& out) {
  const std::string start = "STATUS=moved 0 failed 0";
  const auto ready = std::find(messages.begin(), messages.end(), "READY=1");
  ASSERT_NE(ready, messages.end());
  EXPECT_EQ(std::count(messages.begin(), messages.end(), "READY=1"), 1);
  EXPECT_EQ(messages.front(), start);
  for (auto m = messages.begin(); m != ready; ++m) EXPECT_TRUE(*m == start || *m == "WATCHDOG=1");
  EXPECT_GE(std::count(ready, messages.end(), "WATCHDOG=1"), 2);
  const auto last_status = std::find_if(messages.rbegin(), messages.rend(),
                                        [](const auto& m) { return m.rfind("STATUS=", 0) == 0; });
  const size_t counters = out.rfind("[counters] ") + 11;
  ASSERT_GT(counters, 10u);
  EXPECT_EQ(last_status->substr(7), out.substr(counters, out.find('\n', counters) - counters));
}

TEST(DemoOverTcpTest, TwoRunsPutEveryPnrWhereExpectedAndASecondCopyEndsSilently) {
  TcpDemo demo;
  ASSERT_TRUE(demo.StartHost());
  NotifySocket notify;
  ASSERT_FALSE(notify.path().empty());
  std::unique_ptr<ChildProcess> program =
      demo.StartProgram({"--runs", "2"}, "first", {{"NOTIFY_SOCKET", notify.path()}});
  ASSERT_NE(program, nullptr);

  // At the first entry the first copy holds the folder; it waits for the host's answer while
  // the second copy starts and ends.
  RunResult second;
  std::map<std::string, std::string> before;
  std::map<std::string, std::string> after;
  const std::optional<int> code = demo.Relay(*program, [&](const ProxyEntry& entry) {
    if (entry.number == 1 && !entry.answered) {
      before = Snapshot(demo.folder);
      second = demo.folder.RunAmbervale({"--headless", "--runs", "1"});
      after = Snapshot(demo.folder);
    }
    return Relay::kPass;
  });
  ASSERT_EQ(code, 0) << demo.folder.Output("first", ".err");
  EXPECT_EQ(second.code, 3);
  EXPECT_EQ(second.out, "");
  EXPECT_EQ(second.err, "");
  EXPECT_EQ(before, after) << "the second copy wrote to the program folder";
  ASSERT_EQ(demo.StopHost(), 0);

  EXPECT_EQ(Text(demo.PlacesNow()), Text(demo.Expected(false)));

  // The logs (the run log through ambervale-logcat) show two runs and one return from the
  // Fail Queue; each PNR's lines are the in-process demo run's to check.
  const std::string run_log = demo.folder.RunLog();
  EXPECT_EQ(Count(run_log, "HOST Command: QCB/LON1/40"), 2);
  EXPECT_EQ(Count(run_log, "START to Move PNR(s) from Fail Queue"), 1);
  // The Fail Queue mail of the first run was tried and failed; the program went on.
  EXPECT_NE(demo.folder.Log("action_log_1.txt").find("Sending Email Alert FAILED"),
            std::string::npos);
  EXPECT_NE(demo.folder.Output("first", ".out").find("Ambervale will stop in 2 seconds."),
            std::string::npos);
  ExpectServiceMessages(notify.Finish(), demo.folder.Output("first", ".out"));
}

}  // namespace
}  // namespace ambervale::e2e
