#pragma once

// The simulated reservation host: one world with its one terminal session, answering
// terminal entries. It applies the scenario's faults (busy answers, empty answers, sign-out,
// latency, dropped connections) and counts the entries. With a state file it keeps the world
// there (StateStore: a snapshot and a journal with one record per answered entry, written
// before the answer is returned), so that the world outlives the program as a real host does.
//
// Used from one thread; every terminal object and network connection shares the one SimHost.
// Nothing here throws to the caller: failures are Status values.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/env.h"
#include "platform/status.h"
#include "sim/host_context.h"
#include "sim/journal.h"
#include "sim/state_store.h"
#include "sim/world.h"

namespace ambervale::sim {

struct HostOptions {
  // The simulator's date for "{today±N}", "*R" and "LD"; unset: the date of the env's clock.
  std::optional<std::chrono::sys_days> today;
  // Compaction bound of the journal in bytes (StateStore); 0: the snapshot's size.
  int64_t journal_bound = 0;
};

class SimHost {
 public:
  // The world of the state file at `state_path` with its journal replayed when that file
  // exists, else of the scenario at `scenario_path`. With a state path the world is written
  // there at once as a fresh snapshot (and journal), and the host starts out of queue mode
  // with nothing pending. Paths are used as given (a relative one from the working
  // directory); callers resolve them first. `env` gives today's date and the latency sleeps,
  // and must outlive the host. nullptr with `error` set (naming the file and the key, line or
  // record) when nothing usable was read.
  static std::unique_ptr<SimHost> Open(const std::string& scenario_path,
                                       const std::string& state_path, Env& env, Status* error,
                                       const HostOptions& options = {});
  // The world a host on `state_path` would start with (the snapshot with its journal
  // replayed), read without writing anything: for tests and tools that look at the world of a
  // host that runs or was killed. nullopt with `error` set as Open sets it.
  static std::optional<World> ReadKeptWorld(const std::string& state_path, Env& env, Status* error);
  // A world from scenario text, without a state file (tests and benchmarks).
  static std::unique_ptr<SimHost> FromScenarioText(std::string_view json, Env& env, Status* error);

  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;
  ~SimHost() = default;

  struct Answer {
    std::vector<std::string> lines;  // with their markup
    // drop_connection_after fired: the entry was neither carried out nor counted, and the
    // connection that carried it is to be closed without an answer.
    bool dropped = false;
    // The journal record of this entry (and a compaction it made due); ok without a state
    // file or when written.
    Status saved;
  };

  // Answers one bare entry (trailing blanks, CR and LF are ignored).
  Answer Enter(std::string_view entry);
  // Answers a request as the terminal object sends it: "<FORMAT>" + entry with "&" written
  // "&amp;" + "</FORMAT>", or a bare entry.
  Answer Request(std::string_view request);

  // Writes the state file anew (when there is one and entries came since it was written)
  // and starts an empty journal after it.
  [[nodiscard]] Status Stop();

  const World& world() const { return world_; }
  // What loading the world left out (a journal line cut short), for the operator.
  const std::vector<std::string>& notes() const { return notes_; }

 private:
  SimHost(World world, Env& env, const HostOptions& options);

  // Carries out one entry with its faults; `live` false replays a journal record (no sleep).
  Answer Execute(std::string_view entry, std::chrono::sys_days today, bool live);
  // Re-enters a journal record; false with `why` set when it does not follow the world.
  bool Replay(const JournalRecord& record, std::string* why);
  [[nodiscard]] Status Keep(const JournalRecord& record);
  // Loads the state file and its journal into a host; with `keep` the host goes on keeping
  // its world on `store` (a fresh snapshot or journal is written at once).
  static std::unique_ptr<SimHost> Reopen(std::unique_ptr<StateStore> store, Env& env,
                                         const HostOptions& options, bool keep, Status* error);
  bool AnswersEmpty(std::string_view entry) const;

  World world_;
  Session session_;
  Env& env_;
  const HostOptions options_;
  std::unique_ptr<StateStore> store_;  // nullptr: no state file
  std::vector<std::string> notes_;
};

// `path` as the in-process simulator takes its files: an absolute path as it is, a relative
// one from `folder` (the program's folder); an empty path stays empty (no state file).
std::string PathFromFolder(std::string_view folder, std::string_view path);

// The entry a request carries: unwrapped from "<FORMAT>...</FORMAT>" with "&amp;" turned
// back into "&" (a bare request is taken as it is), trailing blanks, CR and LF removed.
std::string EntryOfRequest(std::string_view request);

}  // namespace ambervale::sim
