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

// The operations a test can make fail.
enum class FileOp { kAppend, kWriteAtomically, kRead, kSetModified };

class FakeFileSystem : public FileSystem {
 public:
  // `env` must outlive the file system.
  explicit FakeFileSystem(Env& env) : env_(env) {}

  Status Append(const std::string& path, std::string_view bytes) override {
    if (Status s = Check(FileOp::kAppend, path); !s.ok()) return s;
    File& file = files_[path];
    file.bytes.append(bytes);
    file.modified = env_.Now();
    return Status::Ok();
  }
  Status WriteAtomically(const std::string& path, std::string_view bytes) override {
    if (Status s = Check(FileOp::kWriteAtomically, path); !s.ok()) return s;
    files_[path] = File{std::string(bytes), env_.Now()};
    return Status::Ok();
  }
  Status Read(const std::string& path, std::string* bytes) override {
    if (Status s = Check(FileOp::kRead, path, true); !s.ok()) return s;
    *bytes = files_.at(path).bytes;
    return Status::Ok();
  }
  Status List(const std::string& folder, std::vector<std::string>* names) override {
    std::set<std::string> found;
    for (const auto& [path, file] : files_) {
      if (!path.starts_with(folder + "/")) continue;
      const std::string rest = path.substr(folder.size() + 1);
      found.insert(rest.substr(0, rest.find('/')));
    }
    names->assign(found.begin(), found.end());
    return Status::Ok();
  }
  Status Stat(const std::string& path, FileInfo* info) override {
    *info = FileInfo{};
    if (const auto file = files_.find(path); file != files_.end()) {
      *info = FileInfo{FileInfo::Kind::kFile, static_cast<int64_t>(file->second.bytes.size()),
                       file->second.modified};
    } else if (const auto below = files_.lower_bound(path + "/");
               below != files_.end() && below->first.starts_with(path + "/")) {
      info->kind = FileInfo::Kind::kFolder;
    }
    return Status::Ok();
  }
  Status Delete(const std::string& path) override {
    files_.erase(path);
    return Status::Ok();
  }
  Status SetModified(const std::string& path, TimePoint time) override {
    if (Status s = Check(FileOp::kSetModified, path, true); !s.ok()) return s;
    files_.at(path).modified = time;
    return Status::Ok();
  }
  bool OnDisk() const override { return false; }

  // Every `op` on `path` fails from now on, until Heal.
  void Fail(FileOp op, std::string path) { failing_.emplace(op, std::move(path)); }
  void Heal() { failing_.clear(); }
  // The file's bytes; nothing when there is no file at `path`.
  std::optional<std::string> Contents(const std::string& path) const {
    const auto file = files_.find(path);
    return file == files_.end() ? std::nullopt : std::optional<std::string>(file->second.bytes);
  }

 private:
  struct File {
    std::string bytes;
    TimePoint modified{};
  };
  // The injected failure of `op` on `path`, or a missing file where one is `needed`.
  Status Check(FileOp op, const std::string& path, bool needed = false) const {
    if (failing_.count({op, path}) != 0) return Status::Error(path + ": No space left on device");
    if (needed && files_.count(path) == 0) return Status::Error(path + ": No such file");
    return Status::Ok();
  }

  Env& env_;
  std::map<std::string, File> files_;
  std::set<std::pair<FileOp, std::string>> failing_;
};

}  // namespace ambervale::testing
