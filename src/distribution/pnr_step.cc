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

  void Run() {
    IdentifyAgents();
    if (run_.what_if != nullptr) {
      LookOnly();
      return;
    }
    if (found_.empty()) {
      NoAgent();
    } else {
      PrepareAndMove();
    }
  }

 private:
  std::string Stamp() { return FormatDateTime(form_.env().LocalNow()); }
  void Send(std::string_view entry) { SendEntry(host_, entry); }
  void LeaveOnQueue() {
    if (task_.walk.first_unmoved.empty()) task_.walk.first_unmoved = rloc_;
  }

  // The lookups of every row; only the last row's findings count.
  void IdentifyAgents() {
    if (rows_.empty()) return;
    RunLookupLog log(form_, rloc_);
    HostPnrView view(host_);
    identified_ = IdentifyPnr(form_.dictAgentMapping, rows_, task_.walk.agent_sine, view, log);
    if (run_.what_if != nullptr) return;  // the what-if pass reads identified_ whole
    notes_ = std::move(identified_.notes);
    FileIdentification& deciding = identified_.files.back();
    found_ = std::move(deciding.found);
    found_by_ = std::move(deciding.found_by);
    values_read_ = std::move(deciding.values_read);
  }

  // The what-if pass: what the run would do, with the entries that change nothing ("*TD" for
  // the ticketing date), then "I" leaves the PNR where it is.
  void LookOnly() {
    const MovePlan plan = PlanMove(form_, task_.pcc, identified_);
    std::optional<std::string> tau_entry;
    if (form_.blnTAUCheck && plan.outcome != MovePlan::Outcome::kLeftOnQueue) {
      tau_entry = ShowTicketingRefresh(form_, host_);
    }
    run_.what_if->Pnr(task_, rloc_, identified_, plan, tau_entry);
    LeaveOnQueue();
    Send("I");
  }

  // Up to three "QEB/" entries; true once one is confirmed or the host has gone on to another
  // PNR. `answer` keeps the screen of the last entry.
  bool TryMoves(const std::string& entry, const std::string& reference, std::string& answer) {
    return TryMove(
        [&] { Send(entry); },
        [&] { return CheckMove(host_, rloc_, reference, &answer) != MoveAnswer::kNotMoved; });
  }

  void PrepareAndMove() {
    bool changed = form_.blnTAUCheck && RefreshTicketingDate(form_, host_, rloc_);
    if (!notes_.empty()) {
      Send("NP." + notes_.front());
      changed = true;
      if (Trim(host_.GetScreenText()) != "*\r\n") {
        NotepadRefused();
        return;
      }
    }
    Send("QPB*" + std::to_string(rows_.back().fldFmQueueNo));
    const std::string reference = ReferenceText(host_.GetScreenText());
    form_.ShowStatus(Stage::kCheckNewData);
    if (changed) Send("R." + form_.strUserName);

    const std::string entry = BuildMoveEntry(found_);
    std::string answer;
    bool moved = TryMoves(entry, reference, answer);
    if (!moved && changed && form_.blnMustMove) {
      Send("IR");
      moved = TryMoves(entry, reference, answer);
    }
    if (moved) {
      Moved();
    } else {
      MoveFailed(answer);
    }
  }

  void NotepadRefused() {
    const std::string answer = Replace(host_.GetScreenText(), kCrLf, " ");
    LeaveOnQueue();
    CountFailure(form_);
    form_.RefreshCounters();
    const std::string reason = rloc_ + ": FAIL. Notepad entry refused: " + answer;
    form_.AddActionLog(reason);
    form_.logs().WriteFailedPnrLog(Stamp() + " - " + reason);
    Send("I");
  }

  void MoveFailed(const std::string& screen) {
    LeaveOnQueue();
    const std::string flat = Replace(screen, kCrLf, " ");
    const std::string reason =
        rloc_ + ": FAIL. Cannot move to " + DestinationLine(found_, false) + flat;
    bool handed_over = false;
    if (form_.FailQueueActivated) {
      // Only a confirmed Fail Queue move takes the PNR off this queue; otherwise it is ignored
      // like any PNR left here, so the queue walk goes on.
      handed_over = MoveToFailQueue(session_, log_, rows_.back(), task_.pcc, task_.queue_address,
                                    rloc_, flat, "", "");
      run_.any_to_fail_queue = true;
    }
    form_.logs().WriteRunLog(Stamp() + " - " + flat, kRunLogPrefix);
    CountFailure(form_);
    form_.RefreshCounters();
    form_.AddActionLog(reason);
    form_.logs().WriteFailedPnrLog(Stamp() + " - " + Replace(reason, kCrLf, ". "));
    if (!handed_over) Send("I");
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

  void NoAgent() {
    found_by_.clear();
    LeaveOnQueue();
    bool moved = false;
    form_.AddActionLog(rloc_ + ": FAIL. No agent mapped");
    if (form_.FailQueueActivated) {
      form_.AddActionLog("Start to move PNR into Fail Queue", kRunLogPrefix, true);
      const bool ok = MoveToFailQueue(session_, log_, rows_.back(), task_.pcc, task_.queue_address,
                                      rloc_, "Agent not mapped", found_by_, values_read_);
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
    if (!moved) Send("I");
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

void ProcessPnr(Session& session, FailQueueLog& log, RunState& run, TaskState& task,
                const std::vector<clsFromQueue>& rows, const std::string& rloc) {
  PnrStep(session, log, run, task, rows, rloc).Run();
}

}  // namespace ambervale
