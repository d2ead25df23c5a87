#include "sim/sim_terminal.h"

#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace ambervale::sim {
namespace {

class SimTerminal : public Terminal {
 public:
  explicit SimTerminal(SimHost& host) : host_(host) {}

  Status SendEntry(std::string_view text) override {
    SimHost::Answer answer = host_.Request(text);
    if (answer.dropped) {
      Fail();
      return Status::Error("the simulated host dropped the connection");
    }
    if (!answer.saved.ok()) {
      Fail();
      return answer.saved;
    }
    lines_ = std::move(answer.lines);
    failed_ = false;
    return Status::Ok();
  }

  std::optional<int16_t> GetLineCount() override {
    if (failed_) return std::nullopt;
    constexpr size_t kMax = std::numeric_limits<int16_t>::max();
    return static_cast<int16_t>(lines_.size() < kMax ? lines_.size() : kMax);
  }

  std::optional<std::string> GetLine(int16_t index) override {
    if (failed_ || index < 0 || static_cast<size_t>(index) >= lines_.size()) return std::nullopt;
    return lines_[static_cast<size_t>(index)];
  }

 private:
  void Fail() {
    lines_.clear();
    failed_ = true;
  }

  SimHost& host_;
  std::vector<std::string> lines_;
  bool failed_ = false;
};

}  // namespace

std::unique_ptr<Terminal> SimTerminalFactory::Create(Status* error) {
  if (error != nullptr) *error = Status::Ok();
  return std::make_unique<SimTerminal>(host_);
}

}  // namespace ambervale::sim
