#include "host/queue_walk.h"

#include "host/busy_retry.h"
#include "host/record_locator.h"
#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {

std::string WalkedQueue::Address() const {
  const std::string q = std::to_string(number);
  return category.empty() ? q : q + "*" + category;
}

namespace {

class Walk {
 public:
  Walk(frmMain& form, HostLayer& host, const WalkedQueue& queue, WalkState& state,
       QueueWalker& walker, const QueueWalkOptions& options)
      : form_(form),
        host_(host),
        queue_(queue),
        state_(state),
        walker_(walker),
        options_(options),
        address_(queue.Address()) {}

  ProgramEnd Run(WalkEnd* how) {
    int finish_or_ignore = 0;
    for (;;) {
      if (ProgramEnd end = Send("QX+I")) return end;
      if (ProgramEnd end = Send("SEM/SU")) return end;
      const std::string q = std::to_string(queue_.number);
      if (ProgramEnd end = Send(queue_.category.empty() ? "QCB/" + queue_.pcc + "/" + q
                                                        : "QCT/" + queue_.pcc + "/" + address_,
                                true)) {
        return end;
      }
      const std::optional<int32_t> count = walker_.Counted(host_.GetScreenText());
      if (!count) {
        *how = WalkEnd::kNotCounted;
        return ProgramEnd::GoOn();
      }
      state_.count = *count;
      if (ProgramEnd end = Emulate()) return end;
      if (ProgramEnd end = walker_.Entering()) return end;
      if (ProgramEnd end = Send("Q/" + queue_.pcc + "/" + address_, true)) return end;
      walker_.Entered();
      if (ContainsNoCase(host_.GetScreenText(), "FINISH OR IGNORE")) {
        if (ProgramEnd end = Send("I")) return end;
        if (++finish_or_ignore > kMaxFinishOrIgnore) {
          if (ProgramEnd end = Send("QX+I")) return end;
          walker_.GaveUp();
          *how = WalkEnd::kQueueEnd;
          return ProgramEnd::GoOn();
        }
        continue;
      }
      walker_.Retrieving();
      std::optional<WalkEnd> walk_end;
      if (ProgramEnd end = TakePnrs(&walk_end)) return end;
      if (walk_end) {
        *how = *walk_end;
        return ProgramEnd::GoOn();
      }
    }
  }

 private:
  // The entry, logged first when the walk logs every entry (or `always`).
  ProgramEnd Send(const std::string& entry, bool always = false) {
    if (always || options_.log_every_entry) {
      form_.AddActionLog("HOST Command: " + entry, kRunLogPrefix, true);
    }
    return SendEntry(host_, entry);
  }

  ProgramEnd Emulate() {
    if (options_.emulated_pcc != nullptr && queue_.pcc == *options_.emulated_pcc) {
      return ProgramEnd::GoOn();
    }
    if (ProgramEnd end = Send("SEM/" + queue_.pcc + "/AG")) return end;
    if (ContainsNoCase(host_.GetScreenText(), "PROCEED")) {
      if (options_.emulated_pcc != nullptr) *options_.emulated_pcc = queue_.pcc;
      return ProgramEnd::GoOn();
    }
    form_.logs().WriteFailedPnrLog("##### " + FormatDateTime(form_.env().LocalNow()) +
                                   " Failed SEM action towards pseudo \"" + queue_.pcc +
                                   "\" #####");
    walker_.EmulationRefused();
    return ProgramEnd::GoOn();
  }

  // The PNRs of the open queue; `how` stays empty when the walk restarts.
  ProgramEnd TakePnrs(std::optional<WalkEnd>* how) {
    for (;;) {
      if (form_.blnStopRequested) {
        if (ProgramEnd end = Send("QX+I")) return end;
        walker_.Stopped();
        *how = WalkEnd::kStopped;
        return ProgramEnd::GoOn();
      }
      if (state_.taken > state_.count) {
        *how = WalkEnd::kQueueEnd;
        return Send("QX+I");
      }
      ++state_.taken;
      if (options_.log_every_entry) form_.AddActionLog("HOST Command: *R", kRunLogPrefix, true);
      std::string rloc;
      if (ProgramEnd end = GetRLocByTeCommand(host_, &rloc, &state_.agent_sine)) return end;
      if (ContainsNoCase(rloc, "NO B.F.")) {
        if (state_.taken <= state_.count) return Send("I");  // before the count: a restart
        *how = WalkEnd::kQueueEnd;
        return ProgramEnd::GoOn();
      }
      if (ContainsNoCase(rloc, "QUEUE EMPTY")) {
        *how = WalkEnd::kQueueEnd;
        return ProgramEnd::GoOn();
      }
      // No locator on screen (signed out, an answer that is no display): there is no PNR to
      // work, and working one would file it under an empty locator.
      if (rloc.empty() || EqualsNoCase(rloc, state_.first_unmoved)) {
        *how = WalkEnd::kQueueEnd;
        return Send("QX+I");
      }
      if (ProgramEnd end = walker_.Pnr(rloc)) return end;
    }
  }

  frmMain& form_;
  HostLayer& host_;
  const WalkedQueue& queue_;
  WalkState& state_;
  QueueWalker& walker_;
  const QueueWalkOptions& options_;
  const std::string address_;
};

}  // namespace

ProgramEnd WalkQueue(frmMain& form, HostLayer& host, const WalkedQueue& queue, WalkState* state,
                     QueueWalker& walker, const QueueWalkOptions& options, WalkEnd* how) {
  return Walk(form, host, queue, *state, walker, options).Run(how);
}

}  // namespace ambervale
