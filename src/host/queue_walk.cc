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

  WalkEnd Run() {
    int finish_or_ignore = 0;
    for (;;) {
      Send("QX+I");
      Send("SEM/SU");
      const std::string q = std::to_string(queue_.number);
      Send(queue_.category.empty() ? "QCB/" + queue_.pcc + "/" + q
                                   : "QCT/" + queue_.pcc + "/" + address_,
           true);
      const std::optional<int32_t> count = walker_.Counted(host_.GetScreenText());
      if (!count) return WalkEnd::kNotCounted;
      state_.count = *count;
      Emulate();
      walker_.Entering();
      Send("Q/" + queue_.pcc + "/" + address_, true);
      walker_.Entered();
      if (ContainsNoCase(host_.GetScreenText(), "FINISH OR IGNORE")) {
        Send("I");
        if (++finish_or_ignore > kMaxFinishOrIgnore) {
          Send("QX+I");
          walker_.GaveUp();
          return WalkEnd::kQueueEnd;
        }
        continue;
      }
      walker_.Retrieving();
      const std::optional<WalkEnd> end = TakePnrs();
      if (end) return *end;
    }
  }

 private:
  // The entry, logged first when the walk logs every entry (or `always`).
  void Send(const std::string& entry, bool always = false) {
    if (always || options_.log_every_entry) {
      form_.AddActionLog("HOST Command: " + entry, kRunLogPrefix, true);
    }
    SendEntry(host_, entry);
  }

  void Emulate() {
    if (options_.emulated_pcc != nullptr && queue_.pcc == *options_.emulated_pcc) return;
    Send("SEM/" + queue_.pcc + "/AG");
    if (ContainsNoCase(host_.GetScreenText(), "PROCEED")) {
      if (options_.emulated_pcc != nullptr) *options_.emulated_pcc = queue_.pcc;
      return;
    }
    form_.logs().WriteFailedPnrLog("##### " + FormatDateTime(form_.env().LocalNow()) +
                                   " Failed SEM action towards pseudo \"" + queue_.pcc +
                                   "\" #####");
    walker_.EmulationRefused();
  }

  // The PNRs of the open queue; nothing when the walk restarts.
  std::optional<WalkEnd> TakePnrs() {
    for (;;) {
      if (form_.blnStopRequested) {
        Send("QX+I");
        walker_.Stopped();
        return WalkEnd::kStopped;
      }
      if (state_.taken > state_.count) {
        Send("QX+I");
        return WalkEnd::kQueueEnd;
      }
      ++state_.taken;
      if (options_.log_every_entry) form_.AddActionLog("HOST Command: *R", kRunLogPrefix, true);
      const std::string rloc = GetRLocByTeCommand(host_, &state_.agent_sine);
      if (ContainsNoCase(rloc, "NO B.F.")) {
        if (state_.taken > state_.count) return WalkEnd::kQueueEnd;
        Send("I");
        return std::nullopt;
      }
      if (ContainsNoCase(rloc, "QUEUE EMPTY")) return WalkEnd::kQueueEnd;
      // No locator on screen (signed out, an answer that is no display): there is no PNR to
      // work, and working one would file it under an empty locator.
      if (rloc.empty() || EqualsNoCase(rloc, state_.first_unmoved)) {
        Send("QX+I");
        return WalkEnd::kQueueEnd;
      }
      walker_.Pnr(rloc);
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

WalkEnd WalkQueue(frmMain& form, HostLayer& host, const WalkedQueue& queue, WalkState* state,
                  QueueWalker& walker, const QueueWalkOptions& options) {
  return Walk(form, host, queue, *state, walker, options).Run();
}

}  // namespace ambervale
