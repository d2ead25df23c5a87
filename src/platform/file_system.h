#pragma once

// The file system seam: every file operation of the program's files goes through one
// FileSystem, so that tests can run on files in memory and make chosen operations fail (a full
// disk, a folder in a file's place, a file that cannot be read) whoever runs them.
//
// Paths are "/"-separated and used as given (callers build them from the program folder).
// Every operation opens, works and closes: nothing is held open between calls, so other
// processes may read, copy or delete the files meanwhile. Failures come back as Status values
// whose message names the path and the reason; nothing throws.
//
// One object serves the whole process from its single thread; it holds no file open.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/env.h"
#include "platform/status.h"

namespace ambervale {

// What is at a path.
struct FileInfo {
  enum class Kind { kMissing, kFile, kFolder, kOther };
  Kind kind = Kind::kMissing;
  int64_t size = 0;  // bytes, for a file
  TimePoint modified{};
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Appends `bytes` to the file, which is created when missing. A failed append may have
  // written part of the bytes.
  virtual Status Append(const std::string& path, std::string_view bytes) = 0;
  // Replaces the file's content with `bytes` in one step (a temporary file beside it, then
  // renamed over it): readers see the old content or the new, never a part. A failure leaves
  // the old content whole.
  virtual Status WriteAtomically(const std::string& path, std::string_view bytes) = 0;
  // The file's whole content. A missing file is a failure.
  virtual Status Read(const std::string& path, std::string* bytes) = 0;
  // The names (not paths) of the entries of a folder, in no particular order.
  virtual Status List(const std::string& folder, std::vector<std::string>* names) = 0;
  // What is at `path` (links followed). Nothing there is kMissing and not a failure; a
  // failure means the path could not be examined.
  virtual Status Stat(const std::string& path, FileInfo* info) = 0;
  // Removes the file. Succeeds when no file is left at the path (also when there was none).
  virtual Status Delete(const std::string& path) = 0;
  // Sets the file's modification time.
  virtual Status SetModified(const std::string& path, TimePoint time) = 0;

  // True when the files are the machine's own, so that the kernel's change notification of a
  // folder (FolderWatch) sees every change made through this object. A user that keeps what
  // it learnt about a folder between calls may then rely on the notification; otherwise it
  // must look again every time.
  virtual bool OnDisk() const = 0;
};

// The machine's file system through POSIX calls. Holds no state; lives for the whole process.
FileSystem& PosixFileSystem();

// Convenience over Stat: the size of a file, 0 when it is missing or cannot be examined.
int64_t FileSizeOrZero(FileSystem& files, const std::string& path);
// Convenience over Stat: the size of a file; nullopt when no file is there or it cannot be
// examined.
std::optional<int64_t> RegularFileSize(FileSystem& files, const std::string& path);
// Convenience over Stat: what is at the path (kMissing when it cannot be examined).
FileInfo::Kind KindAt(FileSystem& files, const std::string& path);
// The whole content of a file; nullopt when no file is there (a folder, nothing) or it cannot
// be read.
std::optional<std::string> ReadRegularFile(FileSystem& files, const std::string& path);

}  // namespace ambervale
