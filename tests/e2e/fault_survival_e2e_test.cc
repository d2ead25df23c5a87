// Faults survived for real, on the demo agency over TCP (its first 25 PNRs of each source
// queue, so that a test can run it several times): the host server killed in the middle of a
// run, and the program itself killed (SIGKILL) at chosen entries of several starts. After every
// fault no PNR is lost or doubled (each one is on its source queue, on its agents' queues, or on
// its office's Fail Queue with its row in the Fail Queue Log), and the next start finishes the
// work: every PNR ends where expected.json says.
//
// The kill points are entries seen by the relay, so they are the same on every machine:
// "before" an entry reaches the host, or "after" the host has carried it out but before the
// program has its answer.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/e2e/tcp_demo.h"

namespace ambervale::e2e {
namespace {

bool Contains(const std::string& text, const std::string& needle) {
  return text.find(needle) != std::string::npos;
}

const std::vector<std::string>& Sources() {
  static const std::vector<std::string> kSources = {"LON1/40", "LON1/41*C5", "MAN2/40", "MAN2/42",
                                                    "EDI3/40"};
  return kSources;
}

// The kinds of move entry: to an office's Fail Queue (QEB/LON1/90), back to a source queue
// (the return from the Fail Queue), or to agents' queues.
enum class Move { kNone, kFailQueue, kReturn, kAgent };

Move MoveOf(const std::string& entry) {
  if (!entry.starts_with("QEB/")) return Move::kNone;
  const std::string to = entry.substr(4);
  if (to.size() == 7 && to.ends_with("/90")) return Move::kFailQueue;
  if (std::find(Sources().begin(), Sources().end(), to) != Sources().end()) return Move::kReturn;
  return Move::kAgent;
}

int OnQueues(const Places& places, const std::vector<std::string>& queues) {
  int n = 0;
  for (const auto& [locator, on] : places) {
    for (const std::string& q : on) n += std::count(queues.begin(), queues.end(), q);
  }
  return n;
}

int OnFailQueues(const Places& places) {
  return OnQueues(places, {"LON1/90", "MAN2/90", "EDI3/90"});
}

// The PNRs of the Fail Queue Log's rows (the fifth field of every line after the header
// block), sorted.
std::vector<std::string> FailQueueRows(const std::string& log) {
  std::vector<std::string> out;
  size_t start = 0;
  int line = 0;
  while (start < log.size()) {
    size_t end = log.find('\n', start);
    if (end == std::string::npos) end = log.size();
    std::vector<std::string> fields;
    size_t from = start;
    for (size_t comma = log.find(',', from); comma < end; comma = log.find(',', from)) {
      fields.push_back(log.substr(from, comma - from));
      from = comma + 1;
    }
    if (++line > 3 && fields.size() >= 5) out.push_back(fields[4]);
    start = end + 1;
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::string> OnFailQueueLocators(const Places& places) {
  std::vector<std::string> out;
  for (const auto& [locator, on] : places) {
    for (const std::string& q : on) {
      if (q.ends_with("/90")) out.push_back(locator);
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

// Counts the move entries of one kind and acts at the `nth`.
class KillPoint {
 public:
  KillPoint(Move kind, int nth, bool after) : kind_(kind), nth_(nth), after_(after) {}

  bool Reached(const ProxyEntry& entry) {
    if (entry.answered != after_ || MoveOf(entry.text) != kind_) return false;
    return ++seen_ == nth_;
  }

 private:
  Move kind_;
  int nth_;
  bool after_;
  int seen_ = 0;
};

// The first 25 PNRs of each source queue: 125 PNRs, the refused one and six without agent
// among them, for the Fail Queues of all three offices.
constexpr int kPnrsPerQueue = 25;

TEST(FaultSurvivalE2eTest, HostKilledMidRunLosesNoPnrAndTheNextStartFinishesTheWork) {
  TcpDemo demo(kPnrsPerQueue);
  const ExpectedPnrs expected = demo.Expected();
  ASSERT_TRUE(demo.StartHost());
  std::unique_ptr<ChildProcess> first = demo.StartProgram({"--runs", "1"}, "first");
  ASSERT_NE(first, nullptr);
  // The 30th agent move: the sales desk (LON1/40) is done, the corporate desk has begun.
  KillPoint point(Move::kAgent, 30, false);
  const std::optional<int> code = demo.Relay(*first, [&](const ProxyEntry& entry) {
    if (point.Reached(entry)) demo.KillHost();
    return Relay::kPass;
  });
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, 1) << demo.folder.Output("first", ".err");
  // The alert about the lost host could not be mailed either; the logs keep both, and the
  // reason is on the console too.
  const std::string reason = "Unable to obtain response from Vantora HOST !!! ";
  EXPECT_TRUE(Contains(demo.folder.Log("debug_log_1.txt"), "</FORMAT>: " + reason));
  const std::string action_log = demo.folder.Log("action_log_1.txt");
  EXPECT_TRUE(Contains(action_log, reason));
  EXPECT_TRUE(Contains(action_log, "Sending Email Alert FAILED"));
  EXPECT_TRUE(Contains(demo.folder.Output("first", ".out"), reason));

  Places places = demo.PlacesNow();
  EXPECT_TRUE(NoPnrLost(places, expected, demo.FailQueueLog()));
  EXPECT_GT(OnQueues(places, Sources()), 80) << "the host was not killed mid-run";
  EXPECT_EQ(places.at("DJGW9N"), std::vector<std::string>{"LON1/90"});

  ASSERT_TRUE(demo.StartHost());
  std::unique_ptr<ChildProcess> second = demo.StartProgram({"--runs", "1"}, "second");
  ASSERT_NE(second, nullptr);
  ASSERT_EQ(demo.Relay(*second, nullptr), 0) << demo.folder.Output("second", ".err");
  ASSERT_EQ(demo.StopHost(), 0);
  places = demo.PlacesNow();
  // The refused PNR came back from the Fail Queue and went to its agent this time.
  EXPECT_TRUE(EveryPnrWhereExpected(places, expected, true));
  EXPECT_TRUE(NoPnrLost(places, expected, demo.FailQueueLog()));
}

TEST(FaultSurvivalE2eTest, ProgramKilledAtChosenEntriesLosesNoPnr) {
  const struct {
    const char* name;
    KillPoint point;
  } kStarts[] = {
      // The Fail Queue Log row is written, the PNR is still on its source queue.
      {"before the 5th Fail Queue move", KillPoint(Move::kFailQueue, 5, false)},
      // The return from the Fail Queue has put a PNR back; the log still lists it.
      {"after the 2nd return", KillPoint(Move::kReturn, 2, true)},
      // The host has moved a PNR to its agent; the program has not logged it.
      {"after the 25th agent move", KillPoint(Move::kAgent, 25, true)},
      // The host has put a PNR on the Fail Queue; the program has not counted it.
      {"after the 2nd Fail Queue move", KillPoint(Move::kFailQueue, 2, true)},
  };
  TcpDemo demo(kPnrsPerQueue);
  const ExpectedPnrs expected = demo.Expected();
  ASSERT_TRUE(demo.StartHost());
  int start = 0;
  for (auto c : kStarts) {
    const std::string name = "start" + std::to_string(++start);
    std::unique_ptr<ChildProcess> program = demo.StartProgram({"--runs", "1"}, name);
    ASSERT_NE(program, nullptr);
    bool killed = false;
    const std::optional<int> code = demo.Relay(*program, [&](const ProxyEntry& entry) {
      if (!killed && c.point.Reached(entry)) {
        program->Kill();
        killed = true;
        return Relay::kCut;
      }
      return Relay::kPass;
    });
    ASSERT_TRUE(killed) << c.name << ": the program ended first\n"
                        << demo.folder.Output(name, ".out");
    EXPECT_EQ(code, 128 + 9) << c.name;
    EXPECT_TRUE(NoPnrLost(demo.PlacesNow(), expected, demo.FailQueueLog())) << c.name;
  }

  std::unique_ptr<ChildProcess> last = demo.StartProgram({"--runs", "1"}, "last");
  ASSERT_NE(last, nullptr);
  ASSERT_EQ(demo.Relay(*last, nullptr), 0) << demo.folder.Output("last", ".err");
  ASSERT_EQ(demo.StopHost(), 0);
  const Places places = demo.PlacesNow();
  EXPECT_TRUE(EveryPnrWhereExpected(places, expected, true));
  EXPECT_TRUE(NoPnrLost(places, expected, demo.FailQueueLog()));
  const auto without_agent = std::count_if(expected.begin(), expected.end(), [](const auto& e) {
    return !e.second.refused && e.second.destinations == std::set{FailQueueOf(e.second.source)};
  });
  EXPECT_EQ(OnFailQueues(places), without_agent);
  // The Fail Queue Log names every PNR on the Fail Queues. The row of a PNR that went back
  // before a kill may stay: a row goes only when its PNR is placed back or its Fail Queue counts
  // 0, and a walk that does not meet a PNR proves nothing.
  const std::vector<std::string> rows = FailQueueRows(demo.FailQueueLog());
  const std::vector<std::string> waiting = OnFailQueueLocators(places);
  EXPECT_TRUE(std::includes(rows.begin(), rows.end(), waiting.begin(), waiting.end()));
}

}  // namespace
}  // namespace ambervale::e2e
