#include "logs/ring_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <utility>

#include "platform/scoped_fd.h"

namespace ambervale {
namespace {

TimePoint ModifiedOf(const struct stat& st) {
  return TimePoint(std::chrono::seconds(st.st_mtim.tv_sec) +
                   std::chrono::nanoseconds(st.st_mtim.tv_nsec));
}

// A regular file's size and modification time; nothing when it is missing, is no regular
// file, or cannot be examined (then `failed` is set: the answer may change without notice).
template <typename State>
std::optional<State> StatAt(int dir_fd, const char* name, bool& failed) {
  struct stat st;
  if (::fstatat(dir_fd, name, &st, 0) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) failed = true;
    return std::nullopt;
  }
  if (!S_ISREG(st.st_mode)) return std::nullopt;
  return State{static_cast<int64_t>(st.st_size), ModifiedOf(st)};
}

int64_t FileSizeOrZero(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<int64_t>(st.st_size);
}

}  // namespace

RingLog::RingLog(Env& env, std::string folder, std::string prefix, std::string extension,
                 int ring_size, const int32_t& size_limit)
    : env_(env),
      folder_(std::move(folder)),
      prefix_(std::move(prefix)),
      extension_(std::move(extension)),
      ring_size_(ring_size < 1 ? 1 : ring_size),
      size_limit_(size_limit),
      watch_(std::make_unique<FolderWatch>(folder_)),
      known_(static_cast<size_t>(ring_size_)) {
  names_.reserve(static_cast<size_t>(ring_size_));
  for (int n = 1; n <= ring_size_; ++n) names_.push_back(prefix_ + std::to_string(n) + extension_);
}

int RingLog::NumberOf(std::string_view name) const {
  if (!name.starts_with(prefix_) || !name.ends_with(extension_) ||
      name.size() <= prefix_.size() + extension_.size()) {
    return 0;
  }
  const std::string_view digits =
      name.substr(prefix_.size(), name.size() - prefix_.size() - extension_.size());
  if (digits.size() > 5 || digits[0] == '0') return 0;
  int n = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n <= ring_size_ ? n : 0;
}

void RingLog::Refresh() {
  const FolderWatch::Changes changes = watch_->Poll();
  const bool everything = changes.everything || !known_valid_;
  std::vector<int> numbers;
  if (everything) {
    for (int n = 1; n <= ring_size_; ++n) numbers.push_back(n);
  } else {
    for (const std::string& name : changes.names) {
      if (const int n = NumberOf(name); n != 0) numbers.push_back(n);
    }
    if (numbers.empty()) return;
  }
  // One descriptor of the folder for this look: every name is examined relative to it,
  // which spares the path walk for each file. It is closed before the write.
  ScopedFd dir(::open(folder_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() < 0) {
    // A missing folder holds no files; any other failure is looked at again next time.
    known_valid_ = errno == ENOENT || errno == ENOTDIR;
    for (auto& k : known_) k.reset();
    return;
  }
  // What cannot be examined counts as missing for this write and is examined afresh at the
  // next one.
  bool failed = false;
  for (const int n : numbers) {
    const auto i = static_cast<size_t>(n - 1);
    known_[i] = StatAt<FileState>(dir.get(), names_[i].c_str(), failed);
  }
  known_valid_ = !failed;
}

std::string RingLog::PathOf(int number) const {
  std::string path = folder_;
  if (path.empty() || path.back() != '/') path.push_back('/');
  path += prefix_;
  path += std::to_string(number);
  path += extension_;
  return path;
}

RingLog::Scan RingLog::ScanFolder() {
  Refresh();
  Scan scan;
  for (int n = 1; n <= ring_size_; ++n) {
    const std::optional<FileState>& st = known_[static_cast<size_t>(n - 1)];
    if (!st) continue;
    // On equal times the higher number wins, hence ">=".
    if (!scan.any || st->modified >= scan.newest) {
      scan.any = true;
      scan.newest = st->modified;
      scan.number = n;
      scan.size = st->size;
    }
  }
  return scan;
}

RingLog::Target RingLog::Locate() {
  const Scan scan = ScanFolder();
  newest_seen_ = scan.newest;
  Target target;
  target.number = scan.number;
  target.size_before = scan.any ? scan.size : 0;
  target.path = PathOf(target.number);
  if (scan.any && scan.size > static_cast<int64_t>(size_limit_)) {
    target.number = target.number >= ring_size_ ? 1 : target.number + 1;
    target.path = PathOf(target.number);
    target.size_before = 0;
    // The next file of the ring starts over; its old content goes.
    if (::unlink(target.path.c_str()) != 0 && errno != ENOENT) {
      target.size_before = FileSizeOrZero(target.path);
    }
  }
  return target;
}

bool RingLog::Append(const Target& target, std::string_view bytes) {
  ScopedFd fd(::open(target.path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
  if (fd.get() < 0) return false;
  const bool written = WriteAll(fd.get(), bytes);
  // The file just written must stay the newest of the ring even when the clock has not moved
  // past the newest time seen, or when the file system keeps coarse times.
  TimePoint stamp = env_.Now();
  if (stamp <= newest_seen_) stamp = newest_seen_ + std::chrono::nanoseconds(1);
  const struct timespec times[2] = {{0, UTIME_OMIT}, ToTimespec(stamp)};
  if (::futimens(fd.get(), times) == 0) newest_seen_ = stamp;
  return fd.Close() && written;
}

void RingLog::WriteLines(const std::vector<std::string>& lines) {
  std::string block;
  for (const std::string& line : lines) {
    block.append(line);
    block.append("\r\n");
  }
  const Target target = Locate();
  (void)Append(target, block);
}

void RingLog::WriteLine(std::string_view text) {
  std::string line;
  line.reserve(text.size() + 2);
  line.append(text);
  line.append("\r\n");
  const Target target = Locate();
  (void)Append(target, line);
}

std::string RingLog::CurrentPath() { return PathOf(ScanFolder().number); }

}  // namespace ambervale
