#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/scoped_fd.h"

namespace ambervale {
namespace {

Status Failed(std::string_view what, const std::string& path, int error) {
  return Status::Error("cannot " + std::string(what) + " " + path + ": " + std::strerror(error));
}

class Posix : public FileSystem {
 public:
  Status Append(const std::string& path, std::string_view bytes) override {
    ScopedFd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    if (fd.get() < 0) return Failed("open", path, errno);
    if (!WriteAll(fd.get(), bytes)) return Failed("write", path, errno);
    if (!fd.Close()) return Failed("write", path, errno);
    return Status::Ok();
  }

  Status WriteAtomically(const std::string& path, std::string_view bytes) override {
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    ScopedFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd.get() < 0) return Failed("create", temp, errno);
    int error = 0;
    if (!WriteAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) error = errno;
    if (!fd.Close() && error == 0) error = errno;
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
    if (error == 0) return Status::Ok();
    ::unlink(temp.c_str());
    return Failed("write", path, error);
  }

  Status Read(const std::string& path, std::string* bytes) override {
    ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return Failed("open", path, errno);
    bytes->clear();
    char buf[65536];
    for (;;) {
      const ssize_t n = ::read(fd.get(), buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return Failed("read", path, errno);
      if (n == 0) return Status::Ok();
      bytes->append(buf, static_cast<size_t>(n));
    }
  }

  Status List(const std::string& folder, std::vector<std::string>* names) override {
    names->clear();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return Failed("list", folder, errno);
    while (const dirent* e = ::readdir(dir)) {
      const std::string_view name = e->d_name;
      if (name != "." && name != "..") names->emplace_back(name);
    }
    ::closedir(dir);
    return Status::Ok();
  }

  Status Stat(const std::string& path, FileInfo* info) override {
    *info = FileInfo{};
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
      if (errno == ENOENT || errno == ENOTDIR) return Status::Ok();
      return Failed("examine", path, errno);
    }
    info->kind = S_ISREG(st.st_mode)   ? FileInfo::Kind::kFile
                 : S_ISDIR(st.st_mode) ? FileInfo::Kind::kFolder
                                       : FileInfo::Kind::kOther;
    info->size = static_cast<int64_t>(st.st_size);
    info->modified = TimePoint(std::chrono::seconds(st.st_mtim.tv_sec) +
                               std::chrono::nanoseconds(st.st_mtim.tv_nsec));
    return Status::Ok();
  }

  Status Delete(const std::string& path) override {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return Status::Ok();
    return Failed("delete", path, errno);
  }

  Status SetModified(const std::string& path, TimePoint time) override {
    const struct timespec times[2] = {{0, UTIME_OMIT}, ToTimespec(time)};
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0) return Status::Ok();
    return Failed("set the time of", path, errno);
  }

  bool OnDisk() const override { return true; }
};

}  // namespace

FileSystem& PosixFileSystem() {
  static Posix files;
  return files;
}

FileInfo::Kind KindAt(FileSystem& files, const std::string& path) {
  FileInfo info;
  if (!files.Stat(path, &info).ok()) return FileInfo::Kind::kMissing;
  return info.kind;
}

std::optional<int64_t> RegularFileSize(FileSystem& files, const std::string& path) {
  FileInfo info;
  if (!files.Stat(path, &info).ok() || info.kind != FileInfo::Kind::kFile) return std::nullopt;
  return info.size;
}

std::optional<std::string> ReadRegularFile(FileSystem& files, const std::string& path) {
  if (KindAt(files, path) != FileInfo::Kind::kFile) return std::nullopt;
  std::string bytes;
  if (!files.Read(path, &bytes).ok()) return std::nullopt;
  return bytes;
}

int64_t FileSizeOrZero(FileSystem& files, const std::string& path) {
  FileInfo info;
  if (!files.Stat(path, &info).ok() || info.kind != FileInfo::Kind::kFile) return 0;
  return info.size;
}

}  // namespace ambervale
