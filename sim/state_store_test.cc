// The world kept in a state file and its journal: a host that ends at any moment (no Stop, as
// when the process is killed) is found again by the next one, with every answered entry.

#include "sim/state_store.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/files.h"
#include "sim/scenario_json.h"
#include "sim/sim_host.h"
#include "testing/fake_env.h"
#include "testing/sim_world.h"
#include "testing/temp_dir.h"

namespace ambervale::sim {
namespace {

// A session that crosses every kind of change: sign-on, emulation, paging, queue mode with
// pending changes, moves, ignoring, an unticketed list that queues (its outcome depends on the
// date), and a last entry that moves a PNR.
const std::vector<std::string> kEntries = [] {
  const std::string all =
      "OP/W*|SON/5678|SEM/ABC1/AG|QLD/ABC1/12/TS|Q/ABC1/12|*DI|NP.FIRST|T.T@AU/09DEC*NEW|R.AGENT|"
      "QEB/DEF3/7+ABC1/0|I|NP.SECOND|R.AGENT|ER|MR|QEB/ABC1/12|QX+I|"
      "LD/ABC1/UTK/01JUN*10DEC-Q/ABC1/40|Q/ABC1/12*C1|NP.STILL PENDING|R.LAST|QEB/ABC1/41";
  std::vector<std::string> entries;
  for (size_t at = 0, end; at <= all.size(); at = end + 1) {
    end = std::min(all.find('|', at), all.size());
    entries.push_back(all.substr(at, end - at));
  }
  return entries;
}();

// Faults whose counts and one-time firings the journal must bring back.
const char* const kFaults[] = {
    "{}",
    R"({"busy_every": 4})",
    R"({"refuse_move": {"ABC123": 1}, "sign_out_after": 12})",
    R"({"drop_connection_after": 6, "latency_ms": 250})",
    R"({"script": [{"prefix": "QEB/", "skip": 1, "times": 2, "lines": ["UNABLE"]}]})",
};

class KeptWorldTest : public ::testing::Test {
 protected:
  void WriteScenario(std::string_view faults) {
    dir_.Write("scenario.json", ambervale::testing::BasicWithFaults(faults));
  }

  std::unique_ptr<SimHost> Open(int64_t bound = 0) {
    Status status;
    HostOptions options;
    options.journal_bound = bound;
    std::unique_ptr<SimHost> host =
        SimHost::Open(dir_.File("scenario.json"), state_, env_, &status, options);
    EXPECT_TRUE(status.ok()) << status.message();
    return host;
  }

  // The world a restarted host finds, as state file text, or the reason it finds none.
  std::string Kept(const std::string& state) {
    Status status;
    const std::optional<World> world = SimHost::ReadKeptWorld(state, env_, &status);
    return world ? WriteWorld(*world) : status.message();
  }

  TempDir dir_;
  FakeEnv env_;
  std::string state_ = dir_.File("state.json");
  std::string journal_ = StateStore::JournalPathOf(state_);
};

TEST_F(KeptWorldTest, ReplayGivesTheWorldAsTheHostLeftIt) {
  for (const char* faults : kFaults) {
    WriteScenario(faults);
    (void)DeleteFile(state_);
    env_.SetNow(2026, 12, 6);
    std::string left;
    {
      std::unique_ptr<SimHost> host = Open();
      ASSERT_TRUE(host);
      for (const std::string& entry : kEntries) (void)host->Enter(entry);
      left = WriteWorld(host->world());
    }  // killed: no Stop
    const size_t sleeps = env_.sleeps().size();
    env_.SetNow(2027, 6, 20);  // the replay keeps each entry's own date
    EXPECT_EQ(Kept(state_), left) << faults;
    std::unique_ptr<SimHost> again = Open();
    ASSERT_TRUE(again);
    EXPECT_EQ(WriteWorld(again->world()), left) << faults;
    EXPECT_EQ(env_.sleeps().size(), sleeps) << faults << ": the replay waited";
    // Out of queue mode, whatever the last session was doing.
    EXPECT_EQ(again->Enter("*R").lines[0],
              ambervale::testing::Cr(again->world().signed_in ? "NO B.F." : "SIGN IN"))
        << faults;
  }
}

TEST_F(KeptWorldTest, AJournalCutInItsLastRecordLoadsWithoutIt) {
  WriteScenario(kFaults[2]);
  std::string before_last;
  std::string left;
  {
    std::unique_ptr<SimHost> host = Open();
    ASSERT_TRUE(host);
    for (const std::string& entry : kEntries) {
      before_last = WriteWorld(host->world());
      (void)host->Enter(entry);
    }
    left = WriteWorld(host->world());
  }
  ASSERT_NE(before_last, left);
  const std::string journal = *ReadFile(journal_);
  const size_t last = journal.rfind('\n', journal.size() - 2) + 1;
  for (size_t cut = last; cut < journal.size(); ++cut) {
    ASSERT_TRUE(WriteFile(journal_, journal.substr(0, cut)));
    EXPECT_EQ(Kept(state_), before_last) << "cut at " << cut;
  }
  ASSERT_TRUE(WriteFile(journal_, journal + "{\"n\": 22, \"day\": \"2026-1\n"));
  EXPECT_EQ(Kept(state_), left) << "an unreadable last line";
  ASSERT_TRUE(WriteFile(journal_, journal.substr(0, journal.size() - 7)));
  std::unique_ptr<SimHost> host = Open();
  ASSERT_TRUE(host);
  EXPECT_EQ(WriteWorld(host->world()), before_last);
  EXPECT_EQ(host->notes(),
            std::vector<std::string>{journal_ + ": the last line, record 22 (cut short), was "
                                                "left out: the host ended while writing it"});
}

// Compaction after every few entries, in the middle of queue mode with changes pending; the
// host may end at any step of it.
TEST_F(KeptWorldTest, CompactionDuringARunLosesNothing) {
  WriteScenario(kFaults[2]);
  const std::string crash_state = dir_.File("crash/state.json");
  std::unique_ptr<SimHost> host = Open(200);
  ASSERT_TRUE(host);
  int compactions = 0;
  for (const std::string& entry : kEntries) {
    const std::string snapshot = *ReadFile(state_);
    const std::string journal = *ReadFile(journal_);
    const int64_t entries = host->world().entries;
    (void)host->Enter(entry);
    const std::string now = WriteWorld(host->world());
    EXPECT_EQ(Kept(state_), now) << entry;
    if (*ReadFile(state_) == snapshot) continue;
    ++compactions;
    // Ended with the record written, before the new snapshot took the state file's place; and
    // after that, before the new journal took the journal's place.
    const std::string appended =
        journal + JournalRecordLine(
                      {entries, std::chrono::sys_days(std::chrono::year(2026) / 12 / 6), entry});
    for (const std::string& state : {snapshot, *ReadFile(state_)}) {
      dir_.Write("crash/state.json", state);
      dir_.Write("crash/state.json.journal", appended);
      EXPECT_EQ(Kept(crash_state), now) << entry;
    }
  }
  EXPECT_GE(compactions, 3);
}

TEST_F(KeptWorldTest, ABadRecordBeforeTheLastRefusesTheLoad) {
  WriteScenario("{}");
  {
    std::unique_ptr<SimHost> host = Open();
    ASSERT_TRUE(host);
    for (const std::string& entry : kEntries) (void)host->Enter(entry);
  }
  const std::string journal = *ReadFile(journal_);
  std::vector<std::string> lines;
  for (size_t at = 0; at < journal.size();) {
    const size_t end = journal.find('\n', at) + 1;
    lines.push_back(journal.substr(at, end - at));
    at = end;
  }
  const struct {
    size_t line;
    const char* replaced_by;
    const char* message;
  } kCases[] = {
      {2, "garbage\n", "record 2: not a JSON object"},
      {2, "", "record 2: it came after entry 2, the world is at entry 1"},
      {3, "{\"n\": 2, \"day\": \"2026-02-30\", \"entry\": \"*R\"}\n", "record 3: \"day\" is not"},
      {3, "{\"n\": 2, \"entry\": \"*R\"}\n", "record 3: \"day\" is missing"},
      {0, "{\"journal\": 2}\n", "header: not a journal of this version"},
  };
  for (const auto& c : kCases) {
    std::vector<std::string> changed = lines;
    changed[c.line] = c.replaced_by;
    std::string text;
    for (const std::string& line : changed) text += line;
    ASSERT_TRUE(WriteFile(journal_, text));
    EXPECT_EQ(Kept(state_).rfind(journal_ + ": " + c.message, 0), 0u) << Kept(state_);
  }
}

TEST_F(KeptWorldTest, EntriesAreJournalledAndTheStopWritesTheStateFile) {
  WriteScenario(kFaults[2]);
  std::unique_ptr<SimHost> host = Open();
  ASSERT_TRUE(host);
  const std::string snapshot = *ReadFile(state_);
  const auto lines = [&] {
    const std::string text = ReadFile(journal_).value_or("");
    return std::count(text.begin(), text.end(), '\n');
  };
  for (const std::string& entry : kEntries) (void)host->Enter(entry);
  EXPECT_EQ(*ReadFile(state_), snapshot);
  EXPECT_EQ(lines(), 1 + static_cast<int64_t>(kEntries.size()));  // the header, a record each
  const std::string left = WriteWorld(host->world());
  ASSERT_TRUE(host->Stop().ok());
  EXPECT_EQ(lines(), 1);
  EXPECT_NE(ReadFile(state_)->find("\"entries\": 22"), std::string::npos) << *ReadFile(state_);
  EXPECT_EQ(Kept(state_), left);
}

TEST_F(KeptWorldTest, AStateFileIsLoadedInsteadOfTheScenarioOrNamedInItsProblem) {
  WriteScenario("{}");
  const struct {
    const char* state;  // nullptr: none
    std::string state_path;
    std::string message;  // empty: loaded
  } kCases[] = {
      {R"({"pccs": {"ZZ1": {}}, "signed_in": true, "entries": 5})", state_, ""},
      {"{\"entries\": -1}", state_, state_ + ": entries: expected a whole number of 0 or more"},
      {nullptr, dir_.File("missing/state.json"),
       "cannot write state file " + dir_.File("missing/state.json")},
  };
  for (const auto& c : kCases) {
    if (c.state != nullptr) dir_.Write("state.json", c.state);
    Status status;
    std::unique_ptr<SimHost> host =
        SimHost::Open(dir_.File("scenario.json"), c.state_path, env_, &status);
    EXPECT_EQ(status.message(), c.message);
    if (c.message.empty() && host) {
      EXPECT_EQ(host->world().entries, 5);
      EXPECT_TRUE(host->world().pccs.Contains("ZZ1"));
    }
  }
}

TEST(JournalTest, RecordsAndTheSessionKeepEveryByte) {
  std::string bytes;
  for (int c = 0; c < 256; ++c) bytes.push_back(static_cast<char>(c));
  const World world = [] {
    Status status;
    FakeEnv env;
    return SimHost::FromScenarioText(ambervale::testing::BasicScenario(), env, &status)->world();
  }();
  Session session;
  session.agent_id = "5678";
  session.worked_queue = QueueAddress{"ABC1", 12, "C1"};
  session.shown = "GHI789";
  session.pending_notepad = {bytes, ""};
  session.pending_tau = "TKTG-TAU/XX09DEC";
  session.pages = {Screen::OfLines({"a<CARRIAGE_RETURN/>", bytes}), Screen()};
  session.next_page = 1;
  const JournalRecord record{41, std::chrono::sys_days(std::chrono::year(2027) / 2 / 28),
                             "NP." + bytes};
  const std::string fingerprint = SnapshotFingerprint("{}");
  std::string error;
  const std::optional<JournalText> read =
      ReadJournal(JournalHeaderLine(fingerprint, session) + JournalRecordLine(record), fingerprint,
                  world, &error);
  ASSERT_TRUE(read) << error;
  EXPECT_TRUE(read->follows_snapshot);
  EXPECT_EQ(read->records, std::vector<JournalRecord>{record});
  EXPECT_EQ(read->session.worked_queue->Key(), "ABC1/12*C1");
  EXPECT_EQ(read->session.pending_notepad, session.pending_notepad);
  EXPECT_EQ(read->session.pages[0].lines(), session.pages[0].lines());
  EXPECT_EQ(read->session.received_from, std::nullopt);
  EXPECT_EQ(read->session.next_page, 1u);
}

}  // namespace
}  // namespace ambervale::sim
