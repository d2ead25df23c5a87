// The world kept in a state file and its journal: a host that ends at any moment (no Stop, as
// when the process is killed) is found again by the next one, with every answered entry.

#include "sim/state_store.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "sim/day_month.h"
#include "sim/entries.h"
#include "sim/scenario_json.h"
#include "sim/sim_host.h"
#include "testing/fake_env.h"
#include "testing/golden.h"
#include "testing/temp_dir.h"

namespace ambervale::sim {
namespace {

// A session that crosses every kind of change: sign-on, emulation, paging, queue mode with
// pending changes, moves, ignoring, an unticketed list that queues (its outcome depends on the
// date), a remark with a quote, a backslash and a high byte, and a last entry that moves a PNR.
const std::vector<std::string_view> kEntries = SplitAt(
    "OP/W*|SON/5678|SEM/ABC1/AG|QLD/ABC1/12/TS|Q/ABC1/12|*DI|NP.FIRST|T.T@AU/09DEC*NEW|R.AGENT|"
    "QEB/DEF3/7+ABC1/0|I|NP.SE\"C\\\xE9|R.AGENT|ER|MR|QEB/ABC1/12|QX+I|"
    "LD/ABC1/UTK/01JUN*10DEC-Q/ABC1/40|Q/ABC1/12*C1|NP.STILL PENDING|R.LAST|QEB/ABC1/41",
    '|');

// Faults whose counts and one-time firings the journal must bring back (its replay carries out
// each entry again, and waits for none).
const char* const kFaults[] = {
    R"({"refuse_move": {"ABC123": 1}, "sign_out_after": 12})",
    R"({"drop_connection_after": 6, "latency_ms": 250})",
};

class KeptWorldTest : public ::testing::Test {
 protected:
  // A host on the basic scenario with `faults` (or on the state file left before).
  std::unique_ptr<SimHost> Open(std::string_view faults = "{}", int64_t journal_bound = 0) {
    dir_.Write("scenario.json", ambervale::testing::BasicWithFaults(faults));
    Status status;
    std::unique_ptr<SimHost> host =
        SimHost::Open(dir_.File("scenario.json"), state_, env_, &status,
                      {.today = std::nullopt, .journal_bound = journal_bound});
    EXPECT_TRUE(host) << status.message();
    return host;
  }

  // Every entry of kEntries on a fresh host that then ends without Stop (or with it); the
  // world it left.
  std::string RunAndEnd(std::string_view faults, std::string* before_last = nullptr,
                        bool stop = false) {
    (void)DeleteFile(state_);
    std::unique_ptr<SimHost> host = Open(faults);
    for (const std::string_view entry : kEntries) {
      if (before_last != nullptr) *before_last = WriteWorld(host->world());
      (void)host->Enter(entry);
    }
    EXPECT_TRUE(!stop || host->Stop().ok());
    return WriteWorld(host->world());
  }

  // The world a restarted host finds, as state file text, or the reason it finds none.
  std::string Kept(const std::string& state) {
    Status status;
    const std::optional<World> world = SimHost::ReadKeptWorld(state, env_, &status);
    return world ? WriteWorld(*world) : status.message();
  }

  testing::TempDir dir_;
  testing::FakeEnv env_;
  std::string state_ = dir_.File("state.json");
  std::string journal_ = StateStore::JournalPathOf(state_);
};

// Killed, the host is found again by replaying its journal; stopped, it leaves the world in
// the state file and only the journal's header.
TEST_F(KeptWorldTest, ReplayOrStateFileGivesTheWorldAsTheHostLeftIt) {
  for (const bool stop : {false, true}) {
    for (const char* faults : kFaults) {
      env_.SetNow(2026, 12, 6);
      const std::string left = RunAndEnd(faults, nullptr, stop);
      const size_t sleeps = env_.sleeps().size();
      env_.SetNow(2027, 6, 20);  // the replay keeps each entry's own date
      EXPECT_EQ(*ReadFile(state_) == left, stop) << faults;  // else the entries are journalled
      std::unique_ptr<SimHost> again = Open();
      EXPECT_EQ(WriteWorld(again->world()), left) << faults;
      EXPECT_EQ(env_.sleeps().size(), sleeps) << faults << ": the replay waited";
      // Out of queue mode, whatever the last session was doing.
      EXPECT_EQ(again->Enter("*R").lines[0],
                ambervale::testing::Cr(again->world().signed_in ? "NO B.F." : "SIGN IN"))
          << faults;
    }
  }
}

// Compaction after every entry, also in the middle of queue mode with changes pending; the
// host may end at any step of it: with the record written, before the new snapshot took the
// state file's place, and after that, before the new journal took the journal's place. The
// record is then replayed on the session of the journal's header (the queue worked, the
// remarks pending), which must give the world of the host.
TEST_F(KeptWorldTest, CompactionDuringARunLosesNothing) {
  std::unique_ptr<SimHost> host = Open(kFaults[1], 1);
  int compactions = 0;
  for (const std::string_view entry : kEntries) {
    const std::string snapshot = *ReadFile(state_);
    const std::string journal = *ReadFile(journal_);
    const int64_t entries = host->world().entries;
    (void)host->Enter(entry);
    const std::string now = WriteWorld(host->world());
    EXPECT_EQ(Kept(state_), now) << entry;
    if (*ReadFile(state_) == snapshot) continue;
    ++compactions;
    const std::string appended =
        journal + JournalRecordLine({entries, DayOf(CivilTime{2026, 12, 6}), std::string(entry)});
    for (const std::string& state : {snapshot, *ReadFile(state_)}) {
      dir_.Write("crash/state.json", state);
      dir_.Write("crash/state.json.journal", appended);
      EXPECT_EQ(Kept(dir_.File("crash/state.json")), now) << entry;
    }
  }
  EXPECT_EQ(compactions, std::ssize(kEntries));
}

// A bad last line of the journal, cut short or unreadable, is left out: the host ended while
// writing it. sim/testdata/bad_journals.txt: a line before it (0: the header) replaced ("-":
// left out), and what a restarted host says of it.
TEST_F(KeptWorldTest, ABadLastRecordIsLeftOutOneBeforeItRefusesTheLoad) {
  std::string before_last;
  const std::string left = RunAndEnd(kFaults[0], &before_last);
  const std::string journal = *ReadFile(journal_);
  ambervale::testing::ExpectGoldenTable(
      "sim/testdata/bad_journals.txt", [&](const std::string& item) {
        size_t at = 0;
        for (int line = std::stoi(item.substr(5)); line > 0; --line)
          at = journal.find('\n', at) + 1;
        const std::string by = item.substr(item.find(": ") + 2);
        std::string changed = journal;
        changed.replace(at, journal.find('\n', at) + 1 - at, by == "-" ? "" : by + "\n");
        EXPECT_TRUE(WriteFile(journal_, changed));
        const std::string kept = Kept(state_);
        return (kept.starts_with(journal_) ? "JOURNAL" + kept.substr(journal_.size()) : kept) +
               "\n";
      });
  ASSERT_TRUE(WriteFile(journal_, journal + "{\"n\": 22, \"day\": \"2026-1\n"));
  EXPECT_EQ(Kept(state_), left) << "an unreadable last line";
  // A record whose line end is missing is cut short, however much of it was written.
  ASSERT_TRUE(WriteFile(journal_, journal.substr(0, journal.size() - 1)));
  EXPECT_EQ(Kept(state_), before_last);
  ASSERT_TRUE(WriteFile(journal_, journal.substr(0, journal.size() - 7)));
  EXPECT_EQ(Open()->notes(),
            std::vector<std::string>{journal_ + ": the last line, record 22 (cut short), was "
                                                "left out: the host ended while writing it"});
}

}  // namespace
}  // namespace ambervale::sim
