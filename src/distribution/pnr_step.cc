#include "distribution/pnr_step.h"

#include <optional>
#include <utility>

#include "config/pnr_identification.h"
#include "config/run_lookup.h"
#include "distribution/check_tau.h"
#include "distribution/fail_queue_move.h"
#include "distribution/move_entries.h"
#include "distribution/move_plan.h"
#include "distribution/what_if_report.h"
#include "form/counters.h"
#include "host/busy_retry.h"
#include "host/move_tries.h"
#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {
namespace {

class PnrStep {
 public:
  PnrStep(Session& session, FailQueueLog& log, RunState& run, TaskState& task,
          const std::vector<clsFromQueue>& rows, const std::string& rloc)
      : session_(session),
        form_(session.form),
        host_(session.host),
        log_(log),
        run_(run),
        task_(task),
        rows_(rows),
        rloc_(rloc) {}

  ProgramEnd Run() {
    if (ProgramEnd end = IdentifyAgents()) return end;
    if (run_.what_if != nullptr) return LookOnly();
    if (found_.empty()) return NoAgent();
    return PrepareAndMove();
  }

 private:
  std::string Stamp() { return FormatDateTime(form_.env().LocalNow()); }
  ProgramEnd Send(std::string_view entry) { return SendEntry(host_, entry); }
  void LeaveOnQueue() {
    if (task_.walk.first_unmoved.empty()) task_.walk.first_unmoved = rloc_;
  }

  // The lookups of every row; only the last row's findings count.
  ProgramEnd IdentifyAgents() {
    if (rows_.empty()) return ProgramEnd::GoOn();
    HostPnrView view(host_);
    RunLookupLog log(form_, rloc_, &view);
    identified_ = IdentifyPnr(form_.dictAgentMapping, rows_, task_.walk.agent_sine, view, log);
    if (view.end()) return view.end();
    if (run_.what_if != nullptr) return ProgramEnd::GoOn();  // the what-if pass reads it whole
    notes_ = std::move(identified_.notes);
    FileIdentification& deciding = identified_.files.back();
    found_ = std::move(deciding.found);
    found_by_ = std::move(deciding.found_by);
    values_read_ = std::move(deciding.values_read);
    return ProgramEnd::GoOn();
  }

  // The what-if pass: what the run would do, with the entries that change nothing ("*TD" for
  // the ticketing date), then "I" leaves the PNR where it is.
  ProgramEnd LookOnly() {
    const MovePlan plan = PlanMove(form_, task_.pcc, identified_);
    std::optional<std::string> tau_entry;
    if (form_.blnTAUCheck && plan.outcome != MovePlan::Outcome::kLeftOnQueue) {
      if (ProgramEnd end = ShowTicketingRefresh(form_, host_, &tau_entry)) return end;
    }
    run_.what_if->Pnr(task_, rloc_, identified_, plan, tau_entry);
    LeaveOnQueue();
    return Send("I");
  }

  // Up to three "QEB/" entries; `moved` true once one is confirmed or the host has gone on to
  // another PNR. `answer` keeps the screen of the last entry.
  ProgramEnd TryMoves(const std::string& entry, const std::string& reference, std::string& answer,
                      bool* moved) {
    return TryMove([&] { return Send(entry); },
                   [&](bool* placed) {
                     MoveAnswer judged = MoveAnswer::kNotMoved;
                     const ProgramEnd end = CheckMove(host_, rloc_, reference, &answer, &judged);
                     *placed = judged != MoveAnswer::kNotMoved;
                     return end;
                   },
                   moved);
  }

  ProgramEnd PrepareAndMove() {
    bool changed = false;
    if (form_.blnTAUCheck) {
      if (ProgramEnd end = RefreshTicketingDate(form_, host_, rloc_, &changed)) return end;
    }
    if (!notes_.empty()) {
      if (ProgramEnd end = Send("NP." + notes_.front())) return end;
      changed = true;
      if (Trim(host_.GetScreenText()) != "*\r\n") return NotepadRefused();
    }
    if (ProgramEnd end = Send("QPB*" + std::to_string(rows_.back().fldFmQueueNo))) return end;
    const std::string reference = ReferenceText(host_.GetScreenText());
    form_.ShowStatus(Stage::kCheckNewData);
    if (changed) {
      if (ProgramEnd end = Send("R." + form_.strUserName)) return end;
    }

    const std::string entry = BuildMoveEntry(found_);
    std::string answer;
    bool moved = false;
    if (ProgramEnd end = TryMoves(entry, reference, answer, &moved)) return end;
    if (!moved && changed && form_.blnMustMove) {
      if (ProgramEnd end = Send("IR")) return end;
      if (ProgramEnd end = TryMoves(entry, reference, answer, &moved)) return end;
    }
    if (!moved) return MoveFailed(answer);
    Moved();
    return ProgramEnd::GoOn();
  }

  ProgramEnd NotepadRefused() {
    const std::string answer = Replace(host_.GetScreenText(), kCrLf, " ");
    LeaveOnQueue();
    CountFailure(form_);
    form_.RefreshCounters();
    const std::string reason = rloc_ + ": FAIL. Notepad entry refused: " + answer;
    form_.AddActionLog(reason);
    form_.logs().WriteFailedPnrLog(Stamp() + " - " + reason);
    return Send("I");
  }

  ProgramEnd MoveFailed(const std::string& screen) {
    LeaveOnQueue();
    const std::string flat = Replace(screen, kCrLf, " ");
    const std::string reason =
        rloc_ + ": FAIL. Cannot move to " + DestinationLine(found_, false) + flat;
    bool handed_over = false;
    if (form_.FailQueueActivated) {
      // Only a confirmed Fail Queue move takes the PNR off this queue; otherwise it is ignored
      // like any PNR left here, so the queue walk goes on.
      if (ProgramEnd end =
              MoveToFailQueue(session_, log_, rows_.back(), task_.pcc, task_.queue_address, rloc_,
                              flat, "", "", &handed_over)) {
        return end;
      }
      run_.any_to_fail_queue = true;
    }
    form_.logs().WriteRunLog(Stamp() + " - " + flat, kRunLogPrefix);
    CountFailure(form_);
    form_.RefreshCounters();
    form_.AddActionLog(reason);
    form_.logs().WriteFailedPnrLog(Stamp() + " - " + Replace(reason, kCrLf, ". "));
    return handed_over ? ProgramEnd::GoOn() : Send("I");
  }

  void Moved() {
    CountSuccess(form_);
    run_.tally.Moved(found_);
    form_.RefreshCounters();
    const std::string destinations = DestinationLine(found_, true);
    form_.AddActionLog(rloc_ + ": move to " + destinations);
    const std::string from = task_.cat.empty() ? " moved from Queue " + std::to_string(task_.q)
                                               : " moved from Queue/Category " +
                                                     std::to_string(task_.q) + "/" + task_.cat;
    const std::string line =
        Stamp() + " - " + rloc_ + from + " to PCC " + destinations + " moved by " + found_by_ + ".";
    form_.logs().WriteRunLog(line, kSuccessPrefix);
    form_.logs().WriteRunLog(line, kRunLogPrefix);
  }

  ProgramEnd NoAgent() {
    found_by_.clear();
    LeaveOnQueue();
    bool moved = false;
    form_.AddActionLog(rloc_ + ": FAIL. No agent mapped");
    if (form_.FailQueueActivated) {
      form_.AddActionLog("Start to move PNR into Fail Queue", kRunLogPrefix, true);
      bool ok = false;
      if (ProgramEnd end =
              MoveToFailQueue(session_, log_, rows_.back(), task_.pcc, task_.queue_address, rloc_,
                              "Agent not mapped", found_by_, values_read_, &ok)) {
        return end;
      }
      const std::string& n = form_.FailQueueNo;
      const std::string& c = form_.FailQueueCategory;
      const bool has_category = !Trim(c).empty();
      const std::string& qa = task_.queue_address;
      std::string message;
      if (ok) {
        message = has_category ? rloc_ + " moved from Queue/category " + qa +
                                     " to Fail Queue/Category " + n + "/" + c
                               : rloc_ + " moved from Queue " + qa + " to Fail Queue " + n;
      } else {
        message = has_category
                      ? rloc_ + " FAILED to move from Queue/category " + qa +
                            " to Fail Queue/Category " + n + "/" + c
                      : rloc_ + " FAILED to moved from Queue " + qa + " to Fail Queue " + n;
      }
      form_.AddActionLog(message + " moved by SINE/NAME/DI.AC/CI/DI.X", kRunLogPrefix, false);
      if (ok) {
        moved = true;
        run_.any_to_fail_queue = true;
      }
      form_.AddActionLog("END to move PNR into Fail Queue", kRunLogPrefix, true);
    }
    CountFailure(form_);
    form_.RefreshCounters();
    const auto line = [&] {
      return "##### " + Stamp() + ". " + task_.pcc + " Queue/category " + task_.queue_address +
             " " + rloc_ + " - no agent mapped." + " #####";
    };
    form_.logs().WriteFailedPnrLog(line());
    form_.logs().WriteRunLogScreen(line(), kRunLogPrefix);
    return moved ? ProgramEnd::GoOn() : Send("I");
  }

  Session& session_;
  frmMain& form_;
  HostLayer& host_;
  FailQueueLog& log_;
  RunState& run_;
  TaskState& task_;
  const std::vector<clsFromQueue>& rows_;
  const std::string& rloc_;

  PnrIdentification identified_;
  std::vector<std::string> notes_;
  AgentCollection found_;
  std::string found_by_;
  std::string values_read_;
};

}  // namespace

ProgramEnd ProcessPnr(Session& session, FailQueueLog& log, RunState& run, TaskState& task,
                      const std::vector<clsFromQueue>& rows, const std::string& rloc) {
  return PnrStep(session, log, run, task, rows, rloc).Run();
}

}  // namespace ambervale
