#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace ambervale::testing {

// A fresh folder under the system's temporary folder, removed with its content when the
// object goes away. Tests use it as the program's folder. Given a folder, it stands for that
// folder and leaves it in place.
class TempDir {
 public:
  explicit TempDir(std::string existing = "") : path_(std::move(existing)), owned_(path_.empty()) {
    if (!owned_) return;
    path_ = (std::filesystem::temp_directory_path() / "ambervale-test-XXXXXX").string();
    if (mkdtemp(path_.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  }
  ~TempDir() {
    std::error_code ec;
    if (owned_) std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name.
  std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }
  // Writes `content` (bytes as given) to path() + "/" + name, creating folders on the way.
  void Write(std::string_view name, std::string_view content) const {
    std::filesystem::create_directories(std::filesystem::path(File(name)).parent_path());
    (void)WriteFile(File(name), content);
  }
  // The bytes of path() + "/" + name; empty when missing.
  std::string Read(std::string_view name) const { return ReadFile(File(name)).value_or(""); }
  bool Exists(std::string_view name) const { return std::filesystem::exists(File(name)); }

 private:
  std::string path_;
  bool owned_ = true;
};

}  // namespace ambervale::testing
