#pragma once

// Thin helpers over the real file system. Every one reports failure as a value and keeps
// nothing open when it returns. Paths are "/"-separated.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/env.h"
#include "platform/scoped_fd.h"

namespace ambervale {

std::string JoinPath(std::string_view folder, std::string_view name);

bool FileExists(const std::string& path);  // a regular file (or a link to one)
bool FolderExists(const std::string& path);
bool CreateFolder(const std::string& path);  // true when it exists afterwards
std::optional<int64_t> FileSize(const std::string& path);
std::optional<TimePoint> FileModified(const std::string& path);
bool SetFileModified(const std::string& path, TimePoint t);
bool DeleteFile(const std::string& path);  // true when no file is left at path

// Opens for appending (creating when missing), writes `bytes`, closes. Other processes may
// read or write the file meanwhile.
bool AppendToFile(const std::string& path, std::string_view bytes);
// Replaces the file's content with `bytes`.
bool WriteFile(const std::string& path, std::string_view bytes);
// Writes to a temporary file beside `path`, then renames it over `path`.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);
std::optional<std::string> ReadFile(const std::string& path);

// A file kept open for appending. Each Append hands all its bytes to the operating system
// before it returns (nothing waits in the process); one that fails cuts the file back to its
// size before the call, so no part of those bytes stays. Closed when destroyed.
class AppendingFile {
 public:
  // Opens `path` (created when missing); nullptr when it cannot be opened.
  static std::unique_ptr<AppendingFile> Open(const std::string& path);

  [[nodiscard]] bool Append(std::string_view bytes);
  int64_t size() const { return size_; }

 private:
  AppendingFile(int fd, int64_t size) : fd_(fd), size_(size) {}

  ScopedFd fd_;
  int64_t size_;
};

// Names (not paths) of the entries of a folder; empty when it cannot be read.
std::vector<std::string> ListFolder(const std::string& folder);

// The absolute form of `path` (relative paths against the current working directory).
std::string AbsolutePath(const std::string& path);

}  // namespace ambervale
