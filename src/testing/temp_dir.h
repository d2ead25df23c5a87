#pragma once

#include <string>
#include <string_view>

namespace ambervale::testing {

// A fresh folder under the system's temporary folder, removed with its content when the
// object goes away. Tests use it as the program's folder. Given a folder, it stands for that
// folder and leaves it in place.
class TempDir {
 public:
  explicit TempDir(std::string existing = "");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name.
  std::string File(std::string_view name) const;
  // Writes `content` (bytes as given) to path() + "/" + name, creating folders on the way.
  void Write(std::string_view name, std::string_view content) const;
  // The bytes of path() + "/" + name; empty when missing.
  std::string Read(std::string_view name) const;
  bool Exists(std::string_view name) const;

 private:
  std::string path_;
  bool owned_ = true;
};

}  // namespace ambervale::testing

// The short names, for tests written before the helpers had their own namespace.
namespace ambervale {
using testing::TempDir;
}  // namespace ambervale
