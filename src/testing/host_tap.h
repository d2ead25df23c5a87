#pragma once

// Terminals that record every entry (bare, as the host reads it) on their way to the terminals
// of another factory, and can stand in for the host on chosen entries, to give answers a real
// host may give and the simulator does not.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/terminal.h"

namespace ambervale::testing {

class HostTap : public TerminalFactory {
 public:
  explicit HostTap(TerminalFactory& inner) : inner_(inner) {}
  std::unique_ptr<Terminal> Create(Status* error) override;

  // The next `times` entries starting with `prefix`, after `skip` of them have gone to the host
  // as usual, are answered with `lines` instead of the host (the host never sees them).
  void Intercept(std::string prefix, std::vector<std::string> lines, int times = 1, int skip = 0);
  // The next `times` entries starting with `prefix` go to the host, but the program reads
  // `lines` as the answer.
  void Rewrite(std::string prefix, std::vector<std::string> lines, int times = 1);
  // Runs `action` when an entry starting with `prefix` is about to reach the host (an action
  // that throws keeps the entry from the host: a crash at that moment).
  void OnEntry(std::string prefix, std::function<void()> action);

  // Every entry sent so far.
  const std::vector<std::string>& entries() const { return entries_; }
  // The entries sent since the last call.
  std::vector<std::string> TakeEntries();
  // How many entries sent so far are `entry`.
  long Count(std::string_view entry) const;

 private:
  friend class TapTerminal;
  struct Stand {
    std::string prefix;
    std::vector<std::string> lines;
    int times = 0;
    bool pass_to_host = false;
    int skip = 0;
  };

  TerminalFactory& inner_;
  std::vector<Stand> stands_;
  std::vector<std::pair<std::string, std::function<void()>>> hooks_;
  std::vector<std::string> entries_;
  size_t taken_ = 0;
};

}  // namespace ambervale::testing
