#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logs/folder_watch.h"
#include "platform/env.h"
#include "platform/file_system.h"
#include "platform/status.h"

namespace ambervale {

// One ring of numbered files folder/prefix + N + extension, N = 1..ring_size.
//
// The current file is chosen from the folder at every write: among the files that exist the
// most recently modified one (ties to the higher number), or number 1 when none exists. When
// the current file is larger than the size limit (strictly), writing moves on to the next
// number (ring_size wraps to 1), whose old content is deleted first.
//
// After each write the file's modification time is set from the Env clock, and to just after
// the newest time seen in the ring when the clock has not moved past it, so the file just
// written stays the current one even on file systems with coarse timestamps.
//
// Every file operation goes through `files`. On the machine's own files what is known about
// the ring's files is kept between writes and examined again only for the names a FolderWatch
// reports changed (or all of them when it cannot tell), so that a write to a ring of 99 files
// does not look at 99 files each time; on other file systems every write looks at them all.
class RingLog {
 public:
  // `size_limit` is read at every write (the owner changes it once at start-up). `env` and
  // `files` must outlive the ring.
  RingLog(Env& env, FileSystem& files, std::string folder, std::string prefix,
          std::string extension, int ring_size, const int32_t& size_limit);

  // Where the next write goes: the located file after the size check (which may have moved
  // on and emptied the next number).
  struct Target {
    std::string path;
    int number = 1;
    int64_t size_before = 0;  // size of the target file before the write (0 when new)
  };
  Target Locate();
  // Appends `bytes` to `target` and stamps its modification time (a failed stamp is no failure
  // of the write).
  Status Append(const Target& target, std::string_view bytes);

  // Locate + Append(text + CR LF).
  void WriteLine(std::string_view text);
  // Several lines in one write: one Locate, one append of every line + CR LF. The size check
  // applies to the block as a whole.
  void WriteLines(const std::vector<std::string>& lines);

  // The located file without the size check.
  std::string CurrentPath();
  std::string PathOf(int number) const;

 private:
  // One file of the ring as last examined.
  struct FileState {
    int64_t size = 0;
    TimePoint modified{};
  };
  // The newest file of the ring as found in the folder.
  struct Scan {
    bool any = false;  // some file of the ring exists
    int number = 1;
    int64_t size = 0;
    TimePoint newest{};
  };
  Scan ScanFolder();
  void Refresh();                             // brings known_ up to date with the folder
  int NumberOf(std::string_view name) const;  // 0 when not a name of this ring

  Env& env_;
  FileSystem& files_;
  std::string folder_;
  std::string prefix_;
  std::string extension_;
  int ring_size_;
  const int32_t& size_limit_;
  TimePoint newest_seen_{};             // newest time of the last Locate, then of the last stamp
  std::unique_ptr<FolderWatch> watch_;  // null: no notification, look at every file
  std::vector<std::optional<FileState>> known_;  // by number - 1; nothing: missing
  bool known_valid_ = false;                     // false: examine every file at the next write
};

}  // namespace ambervale
