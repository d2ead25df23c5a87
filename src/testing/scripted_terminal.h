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

  std::unique_ptr<Terminal> Create(Status* error) override;

 private:
  friend class ScriptedTerminal;
  std::deque<std::vector<std::string>> answers_;
  std::vector<std::string> requests_;
  std::vector<std::string> last_;
  std::string create_error_;
};

}  // namespace ambervale::testing
