#include "logs/ring_log.h"

#include <chrono>
#include <optional>
#include <utility>

namespace ambervale {

RingLog::RingLog(Env& env, FileSystem& files, std::string folder, std::string prefix,
                 std::string extension, int ring_size, const int32_t& size_limit)
    : env_(env),
      files_(files),
      folder_(std::move(folder)),
      prefix_(std::move(prefix)),
      extension_(std::move(extension)),
      ring_size_(ring_size < 1 ? 1 : ring_size),
      size_limit_(size_limit),
      watch_(files.OnDisk() ? std::make_unique<FolderWatch>(folder_) : nullptr),
      known_(static_cast<size_t>(ring_size_)) {}

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
  FolderWatch::Changes changes;
  if (watch_ != nullptr) changes = watch_->Poll();
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
  // What cannot be examined counts as missing for this write and is examined afresh at the
  // next one; a missing folder holds no files.
  bool failed = false;
  for (const int n : numbers) {
    const auto i = static_cast<size_t>(n - 1);
    FileInfo info;
    if (!files_.Stat(PathOf(n), &info).ok()) failed = true;
    known_[i].reset();
    if (info.kind == FileInfo::Kind::kFile) known_[i] = FileState{info.size, info.modified};
  }
  known_valid_ = !failed && watch_ != nullptr;
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
    if (!files_.Delete(target.path).ok()) target.size_before = FileSizeOrZero(files_, target.path);
  }
  return target;
}

Status RingLog::Append(const Target& target, std::string_view bytes) {
  Status written = files_.Append(target.path, bytes);
  if (!written.ok()) return written;
  // The file just written must stay the newest of the ring even when the clock has not moved
  // past the newest time seen, or when the file system keeps coarse times.
  TimePoint stamp = env_.Now();
  if (stamp <= newest_seen_) stamp = newest_seen_ + std::chrono::nanoseconds(1);
  if (files_.SetModified(target.path, stamp).ok()) newest_seen_ = stamp;
  return written;
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
