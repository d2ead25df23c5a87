#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/scoped_fd.h"

namespace ambervale {
namespace {

bool WriteWithFlags(const std::string& path, std::string_view bytes, int flags) {
  ScopedFd fd(::open(path.c_str(), flags | O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
  if (fd.get() < 0) return false;
  const bool written = WriteAll(fd.get(), bytes);
  return fd.Close() && written;
}

}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string out(folder);
  if (out.back() != '/') out.push_back('/');
  out.append(name);
  return out;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0) return true;
  return FolderExists(path);
}

std::optional<int64_t> FileSize(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<int64_t>(st.st_size);
}

std::optional<TimePoint> FileModified(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return TimePoint(std::chrono::seconds(st.st_mtim.tv_sec) +
                   std::chrono::nanoseconds(st.st_mtim.tv_nsec));
}

bool SetFileModified(const std::string& path, TimePoint t) {
  const struct timespec times[2] = {{0, UTIME_OMIT}, ToTimespec(t)};
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool DeleteFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return true;
  return errno == ENOENT;
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
  return WriteWithFlags(path, bytes, O_APPEND);
}

bool WriteFile(const std::string& path, std::string_view bytes) {
  return WriteWithFlags(path, bytes, O_TRUNC);
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string temp = path + ".tmp" + std::to_string(::getpid());
  ScopedFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.get() < 0) return false;
  const bool ok = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
  if (!fd.Close() || !ok || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

std::optional<std::string> ReadFile(const std::string& path) {
  ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return std::nullopt;
  std::string out;
  char buf[65536];
  while (true) {
    const ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  return out;
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
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (::getcwd(cwd, sizeof cwd) == nullptr) return path;
  return JoinPath(cwd, path);
}

}  // namespace ambervale
