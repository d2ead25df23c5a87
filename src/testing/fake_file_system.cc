#include "testing/fake_file_system.h"

namespace ambervale::testing {

Status FakeFileSystem::Check(FileOp op, const std::string& path, bool needed) const {
  if (failing_.count({op, path}) != 0) return Status::Error(path + ": No space left on device");
  if (needed && files_.count(path) == 0) return Status::Error(path + ": No such file");
  return Status::Ok();
}

Status FakeFileSystem::Append(const std::string& path, std::string_view bytes) {
  if (Status s = Check(FileOp::kAppend, path); !s.ok()) return s;
  File& file = files_[path];
  file.bytes.append(bytes);
  file.modified = env_.Now();
  return Status::Ok();
}

Status FakeFileSystem::WriteAtomically(const std::string& path, std::string_view bytes) {
  if (Status s = Check(FileOp::kWriteAtomically, path); !s.ok()) return s;
  files_[path] = File{std::string(bytes), env_.Now()};
  return Status::Ok();
}

Status FakeFileSystem::Read(const std::string& path, std::string* bytes) {
  if (Status s = Check(FileOp::kRead, path, true); !s.ok()) return s;
  *bytes = files_.at(path).bytes;
  return Status::Ok();
}

Status FakeFileSystem::List(const std::string& folder, std::vector<std::string>* names) {
  names->clear();
  if (Status s = Check(FileOp::kList, folder); !s.ok()) return s;
  std::set<std::string> found;
  for (const auto& [path, file] : files_) {
    if (!path.starts_with(folder + "/")) continue;
    const std::string rest = path.substr(folder.size() + 1);
    found.insert(rest.substr(0, rest.find('/')));
  }
  names->assign(found.begin(), found.end());
  return Status::Ok();
}

Status FakeFileSystem::Stat(const std::string& path, FileInfo* info) {
  *info = FileInfo{};
  if (Status s = Check(FileOp::kStat, path); !s.ok()) return s;
  if (const auto file = files_.find(path); file != files_.end()) {
    *info = FileInfo{FileInfo::Kind::kFile, static_cast<int64_t>(file->second.bytes.size()),
                     file->second.modified};
  } else if (const auto below = files_.lower_bound(path + "/");
             below != files_.end() && below->first.starts_with(path + "/")) {
    info->kind = FileInfo::Kind::kFolder;
  }
  return Status::Ok();
}

Status FakeFileSystem::Delete(const std::string& path) {
  if (Status s = Check(FileOp::kDelete, path); !s.ok()) return s;
  files_.erase(path);
  return Status::Ok();
}

Status FakeFileSystem::SetModified(const std::string& path, TimePoint time) {
  if (Status s = Check(FileOp::kSetModified, path, true); !s.ok()) return s;
  files_.at(path).modified = time;
  return Status::Ok();
}

std::optional<std::string> FakeFileSystem::Contents(const std::string& path) const {
  const auto file = files_.find(path);
  if (file == files_.end()) return std::nullopt;
  return file->second.bytes;
}

}  // namespace ambervale::testing
