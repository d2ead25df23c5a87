#pragma once

// The end of the program as a value. A step that decides the program must end (a start-up
// stop, a failed sign-on, a lost host, the end of the unticketed run) writes its own lines,
// shows its box and sends its mail, then returns the end; every caller returns it at once and
// untouched, so that nothing more is sent, written or shown, and the application ends the
// process once, after its clean-up. Nothing below app/ ends the process.

#include <optional>
#include <string>
#include <utility>

#include "platform/status.h"

namespace ambervale {

class [[nodiscard]] ProgramEnd {
 public:
  ProgramEnd() = default;  // the program goes on
  static ProgramEnd GoOn() { return ProgramEnd(); }
  static ProgramEnd Exit(int exit_code) {
    ProgramEnd end;
    end.exit_code_ = exit_code;
    return end;
  }

  // True when the program ends.
  explicit operator bool() const { return exit_code_.has_value(); }
  // The process's exit code; 0 while the program goes on.
  int exit_code() const { return exit_code_.value_or(0); }

  friend bool operator==(const ProgramEnd&, const ProgramEnd&) = default;

 private:
  std::optional<int> exit_code_;
};

// A loader's outcome: the status of the load, or the end the loader decided on after its own
// lines and box (then ok() is false and the message empty).
class [[nodiscard]] LoadOutcome {
 public:
  // Implicit, so that a loader returns its Status or its end as it stands.
  LoadOutcome(Status status) : status_(std::move(status)) {}              // NOLINT
  LoadOutcome(ProgramEnd end) : status_(Status::Error("")), end_(end) {}  // NOLINT

  bool ok() const { return status_.ok() && !end_; }
  const std::string& message() const { return status_.message(); }
  const ProgramEnd& end() const { return end_; }

 private:
  Status status_;
  ProgramEnd end_;
};

}  // namespace ambervale
