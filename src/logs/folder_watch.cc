#include "logs/folder_watch.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace ambervale {
namespace {

constexpr uint32_t kEntryEvents =
    IN_MODIFY | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr uint32_t kLostEvents =
    IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;

// File systems whose every change passes through this machine's kernel, so that the
// notification sees changes made by any process. Network file systems are left out.
bool IsLocalFileSystem(const std::string& folder) {
  struct statfs fs;
  if (::statfs(folder.c_str(), &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53UL:      // ext2/3/4
    case 0x58465342UL:  // xfs
    case 0x9123683EUL:  // btrfs
    case 0x01021994UL:  // tmpfs
    case 0x858458F6UL:  // ramfs
    case 0xF2F52010UL:  // f2fs
    case 0x794C7630UL:  // overlayfs
    case 0x2FC12FC1UL:  // zfs
      return true;
    default:
      return false;
  }
}

}  // namespace

FolderWatch::FolderWatch(std::string folder) : folder_(std::move(folder)) {}

FolderWatch::~FolderWatch() { Drop(); }

void FolderWatch::Drop() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void FolderWatch::Establish() {
  Drop();
  if (!IsLocalFileSystem(folder_)) return;
  const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return;
  // The folder is examined after the watch is in place: if it is replaced in between, the
  // watched one reports its own removal or move, and the next look starts afresh.
  struct stat st;
  if (::inotify_add_watch(fd, folder_.c_str(), kEntryEvents | kLostEvents | IN_ONLYDIR) < 0 ||
      ::stat(folder_.c_str(), &st) != 0) {
    ::close(fd);
    return;
  }
  fd_ = fd;
  dev_ = st.st_dev;
  ino_ = st.st_ino;
}

FolderWatch::Changes FolderWatch::Poll() {
  Changes changes;
  struct stat st;
  // The folder at this path may have been replaced, or reached through a link now pointing
  // elsewhere; then the watch is of the wrong folder.
  if (fd_ < 0 || ::stat(folder_.c_str(), &st) != 0 || st.st_dev != dev_ || st.st_ino != ino_) {
    Establish();
    return changes;
  }
  if (buffer_.empty()) buffer_.resize(64 * 1024);
  bool lost = false;
  while (true) {
    const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) break;
    if (n <= 0) {
      lost = true;
      break;
    }
    for (ssize_t at = 0; at < n;) {
      struct inotify_event event;
      std::memcpy(&event, buffer_.data() + at, sizeof event);
      if (event.mask & kLostEvents) {
        lost = true;
      } else if (event.len > 0) {
        const char* name = buffer_.data() + at + sizeof event;
        changes.names.emplace_back(name, ::strnlen(name, event.len));
      }
      at += static_cast<ssize_t>(sizeof event + event.len);
    }
  }
  if (lost) {
    Establish();
    changes.names.clear();
    return changes;
  }
  changes.everything = false;
  return changes;
}

}  // namespace ambervale
