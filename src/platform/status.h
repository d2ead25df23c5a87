#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace ambervale {

// The outcome of an operation at a seam: success, or a failure with a readable message.
// Cheap to copy; no exceptions cross a module boundary, failures travel as these values.
class [[nodiscard]] Status {
 public:
  Status() = default;  // success
  static Status Ok() { return Status(); }
  static Status Error(std::string message) { return Status(std::move(message), false); }

  bool ok() const { return ok_; }
  const std::string& message() const { return message_; }

 private:
  Status(std::string message, bool ok) : ok_(ok), message_(std::move(message)) {}
  bool ok_ = true;
  std::string message_;
};

}  // namespace ambervale
