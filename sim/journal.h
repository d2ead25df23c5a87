#pragma once

// The journal beside the state file: the snapshot holds the world as it was at one moment, the
// journal every entry answered since, so that replaying them on the snapshot gives the world
// again. It is UTF-8 text, one JSON object a line, each line ended by LF:
//   {"journal": 1, "snapshot": "<fingerprint>", "session": {...}}   the header, the first line
//   {"n": 41, "day": "2026-12-06", "entry": "QEB/ABC1/40"}          one record per entry
// The header names the snapshot the records follow (a fingerprint of its bytes) and the terminal
// session at that moment, which the state file does not keep. A record holds the entry as the
// host read it, the entries answered before it and the simulator's date: re-entered on the
// world it followed, with that count and date, an entry does exactly what it did.
//
// Texts only; the files are read and written by StateStore.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/host_context.h"
#include "sim/world.h"

namespace ambervale::sim {

struct JournalRecord {
  int64_t entries_before = 0;  // the world's entry count when the entry came
  std::chrono::sys_days day;   // the simulator's date for it
  std::string entry;           // the bare entry, Windows-1252

  friend bool operator==(const JournalRecord&, const JournalRecord&) = default;
};

// A fingerprint of a snapshot's bytes (16 hex digits).
std::string SnapshotFingerprint(std::string_view snapshot);

// The header line: the journal follows the snapshot with `fingerprint`, starting in `session`.
std::string JournalHeaderLine(std::string_view fingerprint, const Session& session);
// One record's line.
std::string JournalRecordLine(const JournalRecord& record);

struct JournalText {
  // False when the header names another snapshot: the journal was left from before the last
  // compaction (the host ended between writing the snapshot and starting the new journal), or
  // the state file was replaced. Nothing more is read then.
  bool follows_snapshot = true;
  Session session;
  std::vector<JournalRecord> records;
  // Set when the last line was cut short or unreadable (the process ended while writing it):
  // that line was left out.
  std::optional<std::string> dropped_tail;
};

// Reads a journal's text against the snapshot it should follow: `fingerprint` of its bytes and
// its `world` (the session names its queues). nullopt with `error` set ("header: ..." or
// "record 7: ...", records counted from 1 after the header) when the header or a record before
// the last line is unreadable. A header cut short leaves a journal that follows no snapshot.
std::optional<JournalText> ReadJournal(std::string_view text, std::string_view fingerprint,
                                       const World& world, std::string* error);

}  // namespace ambervale::sim
