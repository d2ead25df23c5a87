#include "testing/scripted_terminal.h"

namespace ambervale::testing {

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

std::unique_ptr<Terminal> ScriptedTerminalFactory::Create(Status* error) {
  if (!create_error_.empty()) {
    *error = Status::Error(create_error_);
    return nullptr;
  }
  return std::make_unique<ScriptedTerminal>(*this);
}

}  // namespace ambervale::testing
