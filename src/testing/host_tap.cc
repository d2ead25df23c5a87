#include "testing/host_tap.h"

#include <algorithm>
#include <optional>

#include "sim/sim_terminal.h"

namespace ambervale::testing {

class TapTerminal : public Terminal {
 public:
  TapTerminal(HostTap& tap, std::unique_ptr<Terminal> inner)
      : tap_(tap), inner_(std::move(inner)) {}

  Status SendEntry(std::string_view text) override {
    const std::string entry = sim::EntryOfRequest(text);
    tap_.entries_.push_back(entry);
    for (const auto& [prefix, action] : tap_.hooks_) {
      if (entry.starts_with(prefix)) action();
    }
    standing_in_ = false;
    for (HostTap::Stand& stand : tap_.stands_) {
      if (stand.times <= 0 || !entry.starts_with(stand.prefix)) continue;
      if (stand.skip > 0) {
        --stand.skip;
        continue;
      }
      --stand.times;
      lines_ = stand.lines;
      standing_in_ = true;
      return stand.pass_to_host ? inner_->SendEntry(text) : Status::Ok();
    }
    return inner_->SendEntry(text);
  }
  std::optional<int16_t> GetLineCount() override {
    if (standing_in_) return static_cast<int16_t>(lines_.size());
    return inner_->GetLineCount();
  }
  std::optional<std::string> GetLine(int16_t index) override {
    if (!standing_in_) return inner_->GetLine(index);
    if (index < 0 || static_cast<size_t>(index) >= lines_.size()) return std::nullopt;
    return lines_[static_cast<size_t>(index)];
  }

 private:
  HostTap& tap_;
  std::unique_ptr<Terminal> inner_;
  bool standing_in_ = false;
  std::vector<std::string> lines_;
};

std::unique_ptr<Terminal> HostTap::Create(Status* error) {
  std::unique_ptr<Terminal> inner = inner_.Create(error);
  if (inner == nullptr) return nullptr;
  return std::make_unique<TapTerminal>(*this, std::move(inner));
}

void HostTap::Intercept(std::string prefix, std::vector<std::string> lines, int times, int skip) {
  stands_.push_back({std::move(prefix), std::move(lines), times, false, skip});
}

void HostTap::Rewrite(std::string prefix, std::vector<std::string> lines, int times) {
  stands_.push_back({std::move(prefix), std::move(lines), times, true});
}

void HostTap::OnEntry(std::string prefix, std::function<void()> action) {
  hooks_.emplace_back(std::move(prefix), std::move(action));
}

std::vector<std::string> HostTap::TakeEntries() {
  std::vector<std::string> out(entries_.begin() + static_cast<std::ptrdiff_t>(taken_),
                               entries_.end());
  taken_ = entries_.size();
  return out;
}

long HostTap::Count(std::string_view entry) const {
  return std::count(entries_.begin(), entries_.end(), entry);
}

}  // namespace ambervale::testing
