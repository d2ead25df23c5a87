#pragma once

// The Fail Queue Log: every PNR the run puts on the Fail Queue gets one CSV row (source PCC,
// source queue, fail queue, fail category, PNR, time, reason, the five values read) in two
// files of the logs folder: the current file Fail_Queue_Log.csv (the rows written since the
// first run after this start, attached to the Fail Queue mail) and an archive ring of five,
// Fail_Queue_Log_Archive_N.csv, that keeps the rows of many starts. Lines end in CR LF;
// fields are separated by "," without quoting.
//
// At the first run after a start the current file is loaded (LoadFailQueueLog), its PNRs are
// returned to their queues (MoveFailQueue) and the file is started afresh
// (StartFailQueueLog): a row is dropped only on proof that its PNR is off the Fail Queue (it was
// placed back, or its Fail Queue's count display read 0); every other row is kept, so that a
// PNR still waiting on the Fail Queue never loses its record.
//
// One FailQueueLog lives for the whole process (it remembers which PNRs were returned between
// the load and the start); it does not own the frmMain or the FileSystem it is given. Every
// file operation goes through that FileSystem. A row write reports its outcome, so that no PNR
// goes to the Fail Queue without its row; the other writes lose nothing that was there before.

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "form/frm_main.h"
#include "logs/ring_log.h"
#include "platform/file_system.h"
#include "platform/status.h"

namespace ambervale {

inline constexpr std::string_view kFailQueueLogName = "Fail_Queue_Log.csv";
inline constexpr std::string_view kFailQueueArchivePrefix = "Fail_Queue_Log_Archive_";
inline constexpr int kFailQueueArchiveRing = 5;
inline constexpr std::string_view kFailQueueLogHeader =
    "From PCC, From Queue,To Queue,To Category,PNR,Failed PNRs Time,Reason for Failure,SINE,"
    "NAME,DI.AC,CI,DI.X";

class FailQueueLog {
 public:
  FailQueueLog(frmMain& form, FileSystem& files);
  FailQueueLog(const FailQueueLog&) = delete;
  FailQueueLog& operator=(const FailQueueLog&) = delete;

  // Appends `row` as one line to the current archive file (ring rule and LOGFILESIZE of the
  // other logs), then to the current file, each preceded by the header block when it is empty.
  // A failure names the file; the current file is not written when the archive failed.
  [[nodiscard]] Status WriteFailQueueLog(std::string_view row);

  // Writes the restart block into the current archive file when that is not empty, then
  // starts the current file afresh: empty (0 bytes, created when missing) when every row's PNR
  // was returned (or there were none), else a new header block followed by the rows not marked
  // (below), as they were. A current file that cannot be read or replaced is left as it is
  // (with a debug-log line).
  void StartFailQueueLog();

  // Reads the current file into form.dictFailQueueMapping (PCC + "#" + PNR -> rows in file
  // order), empties form.dictFailPCCMapping and sets form.LogFailedQueue from the third header
  // line. A missing or empty file loads as empty tables. A line with fewer than five fields
  // (an empty line too) or a "To Queue" that is no number is skipped with a debug-log line
  // naming the file, the line and its text; the other rows load. False only when the file
  // exists but cannot be read.
  [[nodiscard]] bool LoadFailQueueLog();

  // The PNR of `key` (PCC + "#" + PNR) is back on its original queue: StartFailQueueLog drops
  // its rows.
  void MarkReturned(std::string_view key);
  // The PNR of `key` is no longer on its Fail Queue (the count display of every Fail Queue its
  // rows name read 0): StartFailQueueLog drops its rows as well.
  void MarkGone(std::string_view key) { MarkReturned(key); }
  [[nodiscard]] bool WasReturned(std::string_view key) const;

  std::string CurrentPath() const;
  std::string ArchivePath(int number) const;

 private:
  std::string HeaderBlock();
  std::string RestartBlock();
  void UpdateSizeLimit();

  void WriteDebugLine(std::string_view text);

  frmMain& form_;
  FileSystem& files_;
  int32_t size_limit_ = 0;  // the logs' LOGFILESIZE, brought up to date before every write
  RingLog archive_;
  std::set<std::string, std::less<>> returned_;
};

// The key of a Fail Queue Log row: PCC + "#" + PNR.
[[nodiscard]] std::string FailQueueKey(std::string_view pcc, std::string_view pnr);

}  // namespace ambervale
