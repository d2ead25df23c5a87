#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/file_system.h"
#include "platform/scoped_fd.h"

namespace ambervale {

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string out(folder);
  if (out.back() != '/') out.push_back('/');
  out.append(name);
  return out;
}

namespace {

FileInfo StatOf(const std::string& path) {
  FileInfo info;
  (void)PosixFileSystem().Stat(path, &info);
  return info;
}

}  // namespace

bool FileExists(const std::string& path) { return StatOf(path).kind == FileInfo::Kind::kFile; }

bool FolderExists(const std::string& path) { return StatOf(path).kind == FileInfo::Kind::kFolder; }

bool CreateFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0) return true;
  return FolderExists(path);
}

std::optional<int64_t> FileSize(const std::string& path) {
  return RegularFileSize(PosixFileSystem(), path);
}

std::optional<TimePoint> FileModified(const std::string& path) {
  const FileInfo info = StatOf(path);
  if (info.kind == FileInfo::Kind::kMissing) return std::nullopt;
  return info.modified;
}

bool SetFileModified(const std::string& path, TimePoint t) {
  return PosixFileSystem().SetModified(path, t).ok();
}

bool DeleteFile(const std::string& path) { return PosixFileSystem().Delete(path).ok(); }

bool AppendToFile(const std::string& path, std::string_view bytes) {
  return PosixFileSystem().Append(path, bytes).ok();
}

bool WriteFile(const std::string& path, std::string_view bytes) {
  ScopedFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.get() < 0) return false;
  const bool written = WriteAll(fd.get(), bytes);
  return fd.Close() && written;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  return PosixFileSystem().WriteAtomically(path, bytes).ok();
}

std::optional<std::string> ReadFile(const std::string& path) {
  std::string bytes;
  if (!PosixFileSystem().Read(path, &bytes).ok()) return std::nullopt;
  return bytes;
}

std::unique_ptr<AppendingFile> AppendingFile::Open(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<AppendingFile>(new AppendingFile(fd, static_cast<int64_t>(st.st_size)));
}

bool AppendingFile::Append(std::string_view bytes) {
  if (!WriteAll(fd_.get(), bytes)) {
    // A file that cannot be cut back takes no more bytes: they would follow the partial ones.
    if (::ftruncate(fd_.get(), static_cast<off_t>(size_)) != 0) (void)fd_.Close();
    return false;
  }
  size_ += static_cast<int64_t>(bytes.size());
  return true;
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  (void)PosixFileSystem().List(folder, &names);
  return names;
}

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (::getcwd(cwd, sizeof cwd) == nullptr) return path;
  return JoinPath(cwd, path);
}

}  // namespace ambervale
