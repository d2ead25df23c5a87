#pragma once

// A Terminal that answers from a script, for screens the simulated host never shows (odd
// header lines, a "/" in the wrong column). Tests of real host behaviour use the simulator.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "host/terminal.h"

namespace ambervale::testing {

class ScriptedTerminalFactory : public TerminalFactory {
 public:
  // The next answers, one list of lines (with their markup) per entry; an entry past the
  // script is answered with no lines.
  void Answer(std::vector<std::string> lines) { answers_.push_back(std::move(lines)); }
  // Create fails with `error` from now on.
  void FailCreate(std::string error) { create_error_ = std::move(error); }
  const std::vector<std::string>& requests() const { return requests_; }

  std::unique_ptr<Terminal> Create(Status* error) override {
    if (create_error_.empty()) return std::make_unique<ScriptedTerminal>(*this);
    *error = Status::Error(create_error_);
    return nullptr;
  }

 private:
  // Each terminal reads the script's next answer at each entry.
  class ScriptedTerminal : public Terminal {
   public:
    explicit ScriptedTerminal(ScriptedTerminalFactory& script) : script_(script) {}
    Status SendEntry(std::string_view text) override {
      script_.requests_.emplace_back(text);
      script_.last_.clear();
      if (!script_.answers_.empty()) {
        script_.last_ = std::move(script_.answers_.front());
        script_.answers_.pop_front();
      }
      return Status::Ok();
    }
    std::optional<int16_t> GetLineCount() override {
      return static_cast<int16_t>(script_.last_.size());
    }
    std::optional<std::string> GetLine(int16_t index) override {
      if (index < 0 || static_cast<size_t>(index) >= script_.last_.size()) return std::nullopt;
      return script_.last_[static_cast<size_t>(index)];
    }

   private:
    ScriptedTerminalFactory& script_;
  };

  std::deque<std::vector<std::string>> answers_;
  std::vector<std::string> requests_;
  std::vector<std::string> last_;
  std::string create_error_;
};

}  // namespace ambervale::testing
