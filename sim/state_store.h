#pragma once

// Where the simulated world outlives the host: the state file, a snapshot of the whole world in
// the scenario's format, and the journal beside it ("<state file>.journal", see journal.h) with
// every entry answered since that snapshot. An answered entry costs one append to the journal;
// the snapshot is written again (compaction) when the journal has grown past a bound, when the
// host loads its world and when it stops.
//
// Compaction writes the new snapshot (a temporary file, then rename), then a new journal with
// only its header (the same way). The host ending between the two leaves the new snapshot with
// the old journal, whose header names the old snapshot: it is left out, its records being in
// the new snapshot already. Ending at any other moment leaves a snapshot and the journal that
// follows it, with every entry whose record was written.
//
// Used from the host's one thread; keeps the journal open for appending while it lives.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/status.h"
#include "sim/host_context.h"
#include "sim/journal.h"
#include "sim/world.h"

namespace ambervale::sim {

class StateStore {
 public:
  // `bound`: compaction is due once the journal's records pass this many bytes; 0 means the
  // size of the snapshot, at least 1 MiB.
  StateStore(std::string state_path, int64_t bound);

  StateStore(const StateStore&) = delete;
  StateStore& operator=(const StateStore&) = delete;

  static std::string JournalPathOf(const std::string& state_path) {
    return state_path + ".journal";
  }

  struct Kept {
    World world;                         // the snapshot
    Session session;                     // the session the journal starts in
    std::vector<JournalRecord> records;  // to replay, in order
    std::vector<std::string> notes;      // what was left out, for the operator
  };
  // Reads the snapshot and the journal that follows it. nullopt with `error` naming the file
  // and the key, line or record when they cannot be used. `today` is the date of the load.
  std::optional<Kept> Load(std::chrono::sys_days today, std::string* error);

  // Appends one record to the journal.
  [[nodiscard]] Status Append(const JournalRecord& record);
  // Whether the journal's records have grown past the bound.
  bool CompactionDue() const;
  // Records appended since the journal was started.
  int64_t records() const { return records_; }

  // Writes `world` as the snapshot, then starts the journal after it in `session`.
  [[nodiscard]] Status Compact(const World& world, const Session& session);
  // Starts the journal after the snapshot as loaded (the world is still that snapshot).
  [[nodiscard]] Status StartJournal(const Session& session);

  const std::string& state_path() const { return state_path_; }
  const std::string& journal_path() const { return journal_path_; }

 private:
  void SetBound(size_t snapshot_size);

  const std::string state_path_;
  const std::string journal_path_;
  const int64_t bound_option_;
  int64_t bound_ = 0;
  std::string fingerprint_;  // of the snapshot on disk
  std::unique_ptr<AppendingFile> journal_;
  int64_t header_size_ = 0;
  int64_t records_ = 0;
};

}  // namespace ambervale::sim
