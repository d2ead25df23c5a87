#pragma once

// What every entry handler works on: the world, the terminal session (not kept in the state
// file) and today's date, plus the helpers several entry families share.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/screen.h"
#include "sim/world.h"

namespace ambervale::sim {

// The one terminal session of the world. Outside queue mode no PNR is ever shown.
struct Session {
  std::string agent_id;                      // of the last successful sign-on
  std::optional<QueueAddress> worked_queue;  // set in queue mode
  std::optional<std::string> shown;          // locator of the PNR in the work area
  std::vector<std::string> pending_notepad;  // remarks added since the PNR was shown
  std::optional<std::string> pending_tau;    // changed ticketing line
  std::optional<std::string> received_from;
  std::vector<Screen> pages;  // the pages of the last paged display
  size_t next_page = 0;       // the page MR shows next
};

struct HostContext {
  World& world;
  Session& session;
  std::chrono::sys_days today;

  // The PNR in the work area, or nullptr.
  Pnr* ShownPnr();
  bool InQueueMode() const { return session.worked_queue.has_value(); }
  bool HasPendingChanges() const {
    return !session.pending_notepad.empty() || session.pending_tau.has_value();
  }
  // The ticketing line as the work area shows it: the pending one, else the committed one.
  std::optional<std::string> CurrentTau();

  // Drops pending changes and the received-from text; the shown PNR stays.
  void DropPendingChanges();
  // Writes the pending changes (and the received-from text, when there were any) into the
  // shown PNR; clears them and the received-from text.
  void CommitPendingChanges();
  // Leaves queue mode; nothing is shown and nothing is pending afterwards.
  void ClearWorkArea();
  // Signs out: no emulation, queue mode, work area or pages.
  void EndSession();

  // The "*R" screen of `pnr`.
  Screen PnrScreen(const Pnr& pnr) const;
  // The 24-character banner of queue `number` of `pcc` (blanks under the blank-banner fault).
  std::string Banner(int number, std::string_view pcc) const;
  // Keeps `pages` for MR and answers the first of them.
  Screen StartPages(std::vector<Screen> pages);
  // Shows the front of the worked queue: its "*R" screen, or "QUEUE EMPTY" with nothing shown.
  Screen ShowFront();
};

}  // namespace ambervale::sim
