#pragma once

// A FileSystem in memory for tests: files are bytes with a modification time (the Env's clock
// at each write); a folder is any path with files below it. A test makes chosen operations
// fail on chosen paths ("No space left on device"), whoever runs the test.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "platform/file_system.h"

namespace ambervale::testing {

enum class FileOp { kAppend, kWriteAtomically, kRead, kList, kStat, kDelete, kSetModified };

class FakeFileSystem : public FileSystem {
 public:
  // `env` must outlive the file system.
  explicit FakeFileSystem(Env& env) : env_(env) {}

  Status Append(const std::string& path, std::string_view bytes) override;
  Status WriteAtomically(const std::string& path, std::string_view bytes) override;
  Status Read(const std::string& path, std::string* bytes) override;
  Status List(const std::string& folder, std::vector<std::string>* names) override;
  Status Stat(const std::string& path, FileInfo* info) override;
  Status Delete(const std::string& path) override;
  Status SetModified(const std::string& path, TimePoint time) override;
  bool OnDisk() const override { return false; }

  // Every `op` on `path` fails from now on, until Heal.
  void Fail(FileOp op, std::string path) { failing_.emplace(op, std::move(path)); }
  void Heal() { failing_.clear(); }
  // The file's bytes; nothing when there is no file at `path`.
  std::optional<std::string> Contents(const std::string& path) const;

 private:
  struct File {
    std::string bytes;
    TimePoint modified{};
  };
  // The injected failure of `op` on `path`, or a missing file where one is `needed`.
  Status Check(FileOp op, const std::string& path, bool needed = false) const;

  Env& env_;
  std::map<std::string, File> files_;
  std::set<std::pair<FileOp, std::string>> failing_;
};

}  // namespace ambervale::testing

// The short names, for tests written before the helpers had their own namespace.
namespace ambervale {
using testing::FakeFileSystem;
using testing::FileOp;
}  // namespace ambervale
