#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace ambervale {

// Tells which entries of one folder changed since the last look, so that a caller can keep
// what it learnt about the folder's files and examine again only the names that changed.
//
// Built on the kernel's change notification for a local folder. No file of the folder is held
// open: files and the folder itself can be read, copied, moved or deleted meanwhile. When
// changes may have been missed (the first look, the folder missing, moved or replaced, the
// event queue overflowing, a network file system whose changes from other machines would go
// unseen, no notification available) the answer is "everything", and the caller examines the
// folder afresh. Changes made through a hard link in another folder or through a memory
// mapping are not reported.
class FolderWatch {
 public:
  explicit FolderWatch(std::string folder);
  ~FolderWatch();
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

  struct Changes {
    bool everything = true;          // anything may have changed: look at the whole folder
    std::vector<std::string> names;  // otherwise: the entries changed (may repeat)
  };
  // What changed since the previous call (the first call answers "everything").
  Changes Poll();

 private:
  void Establish();
  void Drop();

  std::string folder_;
  int fd_ = -1;
  dev_t dev_ = 0;
  ino_t ino_ = 0;
  std::vector<char> buffer_;
};

}  // namespace ambervale
