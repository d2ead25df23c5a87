// The simulated host's screens and faults, entry by entry: transcripts of what each entry
// answers and what it changes in the world (see SimWorld::Replay for the notation), and the
// terminal over the host.

#include <gtest/gtest.h>

#include <memory>

#include "platform/files.h"
#include "sim/sim_host.h"
#include "sim/sim_terminal.h"
#include "testing/fake_env.h"
#include "testing/golden.h"
#include "testing/program_files.h"

namespace ambervale::sim {
namespace {

constexpr std::string_view kCr = "<CARRIAGE_RETURN/>";

std::string Joined(const std::vector<std::string>& items, std::string_view separator) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : std::string(separator)) + item;
  return out;
}

// The scenario a transcript's world line names (see PlayTranscriptFile). "! queue N": a
// signed-in scenario whose PCC ABC1 has queue 12 holding N PNRs P00001, P00002, ... named
// NAME{n}/TEST MR.
std::string ScenarioOf(const std::string& head) {
  if (head.starts_with("! queue ")) {
    std::vector<std::string> pnrs, locators;
    for (int n = 1; n <= std::stoi(head.substr(8)); ++n) {
      const std::string digits = std::to_string(n);
      locators.push_back("P" + std::string(5 - digits.size(), '0') + digits);
      pnrs.push_back(ambervale::testing::Pnr(locators.back(), "  ", "NAME" + digits + "/TEST MR"));
    }
    return ambervale::testing::Scenario(pnrs, {{"ABC1/12", locators}});
  }
  if (head.starts_with("! faults ")) return testing::BasicWithFaults(head.substr(9));
  if (head.starts_with("! scenario ")) return head.substr(11);
  const size_t arrow = head.find(" => ");
  if (head.starts_with("! with "))
    return testing::BasicWith(head.substr(7, arrow - 7), head.substr(arrow + 4));
  EXPECT_EQ(head, "! basic");
  return testing::BasicScenario();
}

// The simulated host in process on a fake clock (today is 2026-12-06), replaying transcripts
// of entries with the answers and world state each gives, so a screen rule reads as the
// operator would see it.
struct SimWorld {
  explicit SimWorld(std::string_view scenario) {
    Status status;
    host = sim::SimHost::FromScenarioText(scenario, env, &status);
    if (!host) ADD_FAILURE() << status.message();
  }

  // One line of a transcript replayed: the text it stands for with the host's answer and the
  // world's state in place of the written ones. The items:
  //   > ENTRY       sends ENTRY; its answer follows, a line each, without "<CARRIAGE_RETURN/>"
  //                 (a line that has none ends in "%", one ending in a blank gets a "|"; a
  //                 dropped connection answers "(dropped)")
  //   ~ ENTRY       sends ENTRY; the lines after it stay as written
  //   = WHAT: V     the world's WHAT (see State)
  //   @ YYYY-MM-DD  the fake clock's date from now on
  //   # ...         a comment
  std::string Replay(const std::string& line) {
    const std::string rest = line.size() > 2 ? line.substr(2) : "";
    if (!host || line.starts_with("#") ||
        (keep && !line.starts_with("> ") && !line.starts_with("~ ") && !line.starts_with("= ") &&
         !line.starts_with("@ "))) {
      return line + "\n";
    }
    keep = line.starts_with("~ ");
    if (line.starts_with("> ") || keep) {
      const sim::SimHost::Answer answer = host->Enter(rest);
      std::string out = line + "\n";
      if (answer.dropped && !keep) out += "(dropped)\n";
      for (const std::string& l : keep ? std::vector<std::string>{} : answer.lines) {
        const std::string text = l.ends_with(kCr) ? l.substr(0, l.size() - kCr.size()) : l + "%";
        out += text + (text.ends_with(' ') ? "|\n" : "\n");
      }
      return out;
    }
    if (line.starts_with("@ ")) {
      env.SetNow(std::stoi(rest.substr(0, 4)), std::stoi(rest.substr(5, 2)),
                 std::stoi(rest.substr(8, 2)));
      return line + "\n";
    }
    if (!line.starts_with("= ")) return "";  // an answer written before: replaced
    const std::string what = rest.substr(0, rest.find(':'));
    const std::string value = State(what);
    return "= " + what + ":" + (value.empty() ? "" : " " + value) + "\n";
  }

  // The world as a transcript's "=" line reads it: "queue ABC1/12" (locators, blank
  // separated), "notepad L" / "received L" ("|" separated), "tau L", "emulated", "signed_in",
  // "entries", "sleeps" (the fake clock's waits).
  std::string State(std::string_view what) const {
    const sim::World& w = host->world();
    const size_t blank = what.find(' ');
    const std::string key(what.substr(0, blank));
    const std::string arg(blank == std::string_view::npos ? "" : what.substr(blank + 1));
    const sim::Pnr* pnr = w.pnrs.Find(arg);
    const auto* queue = w.queues.Find(arg);
    if (key == "queue") return queue == nullptr ? "(none)" : Joined(*queue, " ");
    if (key == "notepad" && pnr) return Joined(pnr->notepad, "|");
    if (key == "received" && pnr) return Joined(pnr->received_from, "|");
    if (key == "tau" && pnr) return pnr->tau.value_or("(none)");
    if (key == "emulated") return w.emulated_pcc.value_or("(none)");
    if (key == "signed_in") return w.signed_in ? "yes" : "no";
    if (key == "entries") return std::to_string(w.entries);
    std::vector<std::string> sleeps;
    for (const int64_t ms : env.sleeps()) sleeps.push_back(std::to_string(ms));
    if (key == "sleeps") return Joined(sleeps, " ");
    return "(unknown: " + std::string(what) + ")";
  }

  testing::FakeEnv env;
  std::unique_ptr<sim::SimHost> host;
  bool keep = false;  // the lines after "~ ENTRY" stay
};

// Replays the transcript file sim/testdata/transcripts/`name` and compares it whole (see
// golden.h for rewriting it). It holds worlds, each begun by a line
//   ! basic | ! queue N | ! faults {...} | ! with FROM => TO | ! scenario {...}
// (the basic scenario, changed, or a scenario of its own) and followed by its transcript.
void PlayTranscriptFile(const std::string& name) {
  const std::string file = "sim/testdata/transcripts/" + name;
  std::unique_ptr<SimWorld> world;
  std::string out;
  // (The empty item after the last line is an answer line: it gives nothing.)
  for (const std::string& line :
       testing::ItemParts(ReadFile(testing::SourceFile(file)).value_or(""), "\n")) {
    if (line.starts_with("! ")) world = std::make_unique<SimWorld>(ScenarioOf(line));
    out += line.starts_with("! ") || !world ? line + "\n" : world->Replay(line);
  }
  testing::ExpectGolden(file, out);
}

// sim/testdata/transcripts: each entry's answer and what it changes, world by world.
TEST(ScreensTest, Transcripts) {
  for (const char* file : {"sessions.txt", "queue_mode.txt", "pnr.txt", "queue_displays.txt",
                           "lists.txt", "faults.txt"}) {
    PlayTranscriptFile(file);
  }
}

// A dropped connection fails the entry and leaves no answer. (Every terminal of a factory
// works on the one session: the program's terminal choice test.)
TEST(SimTerminalTest, ADroppedConnectionFailsTheEntry) {
  SimWorld w(testing::BasicWithFaults(R"({"drop_connection_after": 2})"));
  std::unique_ptr<Terminal> t = SimTerminalFactory(*w.host).Create(nullptr);
  ASSERT_TRUE(t->SendEntry("<FORMAT>OP/W*</FORMAT>").ok());  // one line
  EXPECT_EQ(t->GetLine(1), std::nullopt);
  EXPECT_EQ(t->SendEntry("<FORMAT>OP/W*</FORMAT>").message(),
            "the simulated host dropped the connection");
  EXPECT_EQ(t->GetLineCount(), std::nullopt);
}

TEST(SimHostTest, ReadsRequestsAndPaths) {
  const std::pair<const char*, const char*> kCases[] = {
      // a request, its entry
      {"<FORMAT>NP.A&amp;amp;B</FORMAT>", "NP.A&amp;B"},  // unescaped once
      {"<FORMAT>*R  \r\n</FORMAT>", "*R"},
      {"<FORMAT>*R</FORMAT>\r\n", "*R"},
      {"NP.A&amp;B", "NP.A&amp;B"},  // a bare entry is taken as it is
      {"<FORMAT>*R", "<FORMAT>*R"},
  };
  for (const auto& [request, entry] : kCases) EXPECT_EQ(EntryOfRequest(request), entry) << request;
  // (A relative path is the folder's: the program's terminal choice test.)
  EXPECT_EQ(PathFromFolder("/opt/ambervale", "/var/state.json"), "/var/state.json");
}

}  // namespace
}  // namespace ambervale::sim
