#pragma once

// Terminals that record every entry (bare, as the host reads it) on their way to the terminals
// of another factory, and can stand in for the host on chosen entries, to give answers a real
// host may give and the simulator does not.

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/terminal.h"
#include "sim/sim_terminal.h"

namespace ambervale::testing {

class HostTap : public TerminalFactory {
 public:
  explicit HostTap(TerminalFactory& inner) : inner_(inner) {}
  std::unique_ptr<Terminal> Create(Status* error) override {
    std::unique_ptr<Terminal> inner = inner_.Create(error);
    return inner == nullptr ? nullptr : std::make_unique<TapTerminal>(*this, std::move(inner));
  }

  // The next `times` entries starting with `prefix`, after `skip` of them have gone to the host
  // as usual, are answered with `lines` instead of the host (the host never sees them).
  void Intercept(std::string prefix, std::vector<std::string> lines, int times = 1, int skip = 0) {
    stands_.push_back({std::move(prefix), std::move(lines), times, false, skip});
  }
  // The next entry starting with `prefix` goes to the host, but the program reads `lines` as the
  // answer.
  void Rewrite(std::string prefix, std::vector<std::string> lines) {
    stands_.push_back({std::move(prefix), std::move(lines), 1, true});
  }
  // Runs `action` when an entry starting with `prefix` is about to reach the host (an action
  // that throws keeps the entry from the host: a crash at that moment).
  void OnEntry(std::string prefix, std::function<void()> action) {
    hooks_.emplace_back(std::move(prefix), std::move(action));
  }

  // Every entry sent so far.
  const std::vector<std::string>& entries() const { return entries_; }
  // The entries sent since the last call.
  std::vector<std::string> TakeEntries() {
    const auto from = entries_.begin() + static_cast<std::ptrdiff_t>(taken_);
    taken_ = entries_.size();
    return {from, entries_.end()};
  }
  // How many entries sent so far are `entry`.
  long Count(std::string_view entry) const { return std::ranges::count(entries_, entry); }

 private:
  struct Stand {
    std::string prefix;
    std::vector<std::string> lines;
    int times = 0;
    bool pass_to_host = false;
    int skip = 0;
  };

  // A terminal of the inner factory, each entry recorded and perhaps answered by a stand-in.
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
      for (Stand& stand : tap_.stands_) {
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

  TerminalFactory& inner_;
  std::vector<Stand> stands_;
  std::vector<std::pair<std::string, std::function<void()>>> hooks_;
  std::vector<std::string> entries_;
  size_t taken_ = 0;
};

}  // namespace ambervale::testing
