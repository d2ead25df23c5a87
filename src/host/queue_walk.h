#pragma once

// The walk of one queue, as both the distribution run and the return from the Fail Queue make
// it: "QX+I", "SEM/SU", the count ("QCB/" or "QCT/"), "SEM/" + PCC + "/AG" when the PCC is not
// the one emulated last, "Q/" + PCC + "/" + queue, then the PNRs one by one ("*R") until the
// queue ends.
//
// The queue ends when more PNRs were taken than the count showed (so at most count + 1, counted
// over restarts), on "QUEUE EMPTY", when no locator is on screen, when the first PNR left on the
// queue comes round again, or with "NO B.F." once the count is passed. "FINISH OR IGNORE" on
// entering and "NO B.F." before the count is reached restart the walk (from "QX+I") without
// forgetting what was taken; a host that keeps answering "FINISH OR IGNORE" ends it after
// kMaxFinishOrIgnore restarts. A stop request ends it with "QX+I" before the next PNR.
//
// The walk decides nothing else: each caller works the PNRs and writes its own log texts
// through QueueWalker. A lost host, in the walk's entries or in a hook, ends the walk at once
// with the end of the program.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/host_layer.h"

namespace ambervale {

// "FINISH OR IGNORE" answered again and again: the walk gives up after this many restarts.
inline constexpr int kMaxFinishOrIgnore = 5;

// A queue as the entries name it.
struct WalkedQueue {
  std::string pcc;
  int16_t number = 0;
  std::string category;  // blank for none

  // number, or number + "*" + category.
  [[nodiscard]] std::string Address() const;
};

// What one walk remembers, kept over its restarts.
struct WalkState {
  // The number the count display showed at the last (re)start.
  int32_t count = 0;
  // PNRs taken off the queue so far.
  int32_t taken = 0;
  // The first PNR left on the queue (the caller sets it): met again, the queue has gone round.
  std::string first_unmoved;
  // The sine on the current PNR's locator line.
  std::string agent_sine;
};

// How a walk ended.
enum class WalkEnd {
  kQueueEnd,    // one of the queue's ends, or the restart cap
  kNotCounted,  // the caller refused the count (Counted gave nothing); the queue was not entered
  kStopped,     // a stop was requested
};

// The caller's part of a walk: its decisions and log texts. Each hook is called at the moment
// its name says; the default does nothing.
class QueueWalker {
 public:
  virtual ~QueueWalker() = default;
  // The count display (`screen`) just shown: the count to walk by, or nothing to end the walk.
  virtual std::optional<int32_t> Counted(std::string_view screen) = 0;
  // "SEM/" + PCC + "/AG" was refused (after the failed PNR log's line); the walk goes on.
  virtual void EmulationRefused() {}
  // Just before the "Q/" entry.
  virtual ProgramEnd Entering() { return ProgramEnd::GoOn(); }
  // Just after the "Q/" entry.
  virtual void Entered() {}
  // The queue is open: its PNRs follow.
  virtual void Retrieving() {}
  // The walk ends at the restart cap (after "QX+I").
  virtual void GaveUp() {}
  // The walk ends at a stop request (after "QX+I").
  virtual void Stopped() {}
  // A PNR is on screen: the caller works it and leaves the host ready for the next "*R".
  virtual ProgramEnd Pnr(const std::string& rloc) = 0;
};

struct QueueWalkOptions {
  // The PCC emulated last: no "SEM/" entry into it; updated when an emulation succeeds.
  std::string* emulated_pcc = nullptr;
  // Every entry of the walk goes to the run log as "HOST Command: " + entry; otherwise only the
  // count and the "Q/" entry do.
  bool log_every_entry = false;
};

// Walks `queue` as described above, with `state` kept by the caller; `how` receives how the
// walk ended. Returns the end of the program when the host was lost.
[[nodiscard]] ProgramEnd WalkQueue(frmMain& form, HostLayer& host, const WalkedQueue& queue,
                                   WalkState* state, QueueWalker& walker,
                                   const QueueWalkOptions& options, WalkEnd* how);

}  // namespace ambervale
