#include "failqueue/fail_queue_return.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <set>
#include <string>

#include "config/agent_lookup.h"
#include "host/busy_retry.h"
#include "host/move_tries.h"
#include "host/queue_count.h"
#include "host/queue_walk.h"
#include "host/record_locator.h"
#include "host/sign_on.h"
#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {
namespace {

// The check text used when the banner is blank: it never occurs in an answer.
constexpr size_t kBlankCheckWidth = 34;

// How the walk of one Fail Queue ended: its count display read 0 (nothing of the log is on
// it), any other end (the count reached or unreadable, the queue gone round, a restart, a cap,
// no locator), or a stop request. Only the first proves that PNRs not met are off the queue.
enum class FailQueueEnd { kEmpty, kOther, kStopped };

// One Fail Queue: PCC, number and category, as the rows of the log name it.
std::string FailQueueOf(const clsFailQueue& row) {
  return UCase(row.fldFmFailPCC) + "/" + std::to_string(row.fldToFailQueueNo) + "*" +
         UCase(Trim(row.fldFailQueueCategory));
}

class FailQueueWalk : public QueueWalker {
 public:
  FailQueueWalk(Session& session, FailQueueLog& log)
      : form_(session.form), alerts_(session.alerts), host_(session.host), log_(log) {}

  ProgramEnd Run() {
    if (ProgramEnd end = SignOn()) return end;
    form_.tmpCurrentPCC.clear();
    LogBoth("Start Retrieving From Fail Queue ....");

    // Keys are looked up again after every walk: nothing adds keys meanwhile, but entries are
    // taken by index so no reference outlives a change.
    for (size_t i = 0; i < form_.dictFailQueueMapping.size(); ++i) {
      form_.ShowStatus(Stage::kPeekQueue);
      const std::vector<clsFailQueue>& rows = form_.dictFailQueueMapping.at(i).second;
      if (rows.empty()) continue;
      const clsFailQueue queue_row = rows.front();
      const std::string queue_key = FailQueueOf(queue_row);
      if (!walked_.insert(queue_key).second) continue;
      FailQueueEnd end = FailQueueEnd::kOther;
      if (ProgramEnd lost = WalkFailQueue(queue_row, &end)) return lost;
      if (end == FailQueueEnd::kStopped) return ProgramEnd::GoOn();
      if (end == FailQueueEnd::kEmpty) empty_.insert(queue_key);
    }
    ForgetPnrsNotMet();

    LogBoth("End Retrieving From Fail Queue ....");
    form_.strErrMsg.clear();
    form_.logs().WriteActionLogFile(" ");
    Log("No more PNRs in Fail Queue Log File. END Fail Queue Retrieving....");
    return ProgramEnd::GoOn();
  }

 private:
  void Log(std::string_view message) { form_.AddActionLog(message, kRunLogPrefix, true); }
  // The run log and the on-screen action log.
  void LogBoth(std::string_view message) {
    Log(message);
    form_.AddActionLog(message);
  }
  ProgramEnd Send(std::string_view entry) {
    Log("HOST Command: " + std::string(entry));
    return SendEntry(host_, entry);
  }
  ProgramEnd ReadLocator(std::string* rloc) {
    Log("HOST Command: *R");
    return GetRLocByTeCommand(host_, rloc);
  }
  std::string Stamp() { return FormatDateTime(form_.env().LocalNow()); }

  ProgramEnd SignOn() {
    bool signed_on = false;
    if (ProgramEnd end = SignOnCheck(form_, host_, GetAgentID(form_), true, &signed_on)) return end;
    if (signed_on) return ProgramEnd::GoOn();
    Log("Login to Vantora Desktop Failed.");
    (void)alerts_.SendEmailAlert(kLoginFailedMessage, false);
    return ProgramEnd::Exit(1);
  }

  // A row whose Fail Queues all count 0 is stale: the PNR left the queue some other way (placed
  // back by a start that ended before it could start the log afresh, or moved by hand). Its
  // rows are dropped with those of the PNRs placed back. A walk that meets fewer PNRs than the
  // log names proves nothing (the walk ends early by its own rules), so those rows stay.
  void ForgetPnrsNotMet() {
    for (size_t i = 0; i < form_.dictFailQueueMapping.size(); ++i) {
      const auto& [key, rows] = form_.dictFailQueueMapping.at(i);
      if (rows.empty() || met_.count(key) != 0) continue;
      const bool all_walked = std::all_of(rows.begin(), rows.end(), [&](const clsFailQueue& r) {
        return empty_.count(FailQueueOf(r)) != 0;
      });
      if (!all_walked) continue;
      Log(rows.front().fldFailPNR + ": not on Fail Queue " + rows.front().fldFmFailPCC + "/Q" +
          std::to_string(rows.front().fldToFailQueueNo) + ", its Fail Queue Log row is dropped");
      log_.MarkGone(key);
    }
  }

  // Walks one Fail Queue; `how` receives how the walk ended.
  ProgramEnd WalkFailQueue(const clsFailQueue& row, FailQueueEnd* how) {
    queue_ = WalkedQueue{row.fldFmFailPCC, row.fldToFailQueueNo, Trim(row.fldFailQueueCategory)};
    counted_empty_ = false;
    WalkState state;
    state_ = &state;
    WalkEnd end = WalkEnd::kQueueEnd;
    const ProgramEnd lost =
        WalkQueue(form_, host_, queue_, &state, *this,
                  QueueWalkOptions{.emulated_pcc = &working_pcc_, .log_every_entry = true}, &end);
    state_ = nullptr;
    if (lost) return lost;
    *how = FailQueueEnd::kOther;
    if (end == WalkEnd::kStopped) *how = FailQueueEnd::kStopped;
    if (end == WalkEnd::kNotCounted && counted_empty_) *how = FailQueueEnd::kEmpty;
    return ProgramEnd::GoOn();
  }

  // A count of 0 is an empty queue; a count that is no number leaves the queue untouched.
  std::optional<int32_t> Counted(std::string_view screen) override {
    Log("HOST Response:" + std::string(screen));
    const std::optional<int32_t> shown =
        ReadQueueCountNumber(screen, queue_.number, queue_.category);
    counted_empty_ = shown == 0;
    if (!shown || *shown <= 0) return std::nullopt;
    return shown;
  }

  ProgramEnd Pnr(const std::string& rloc) override {
    const std::string pcc = queue_.pcc;
    try {
      return ReturnPnr(pcc, std::to_string(queue_.number), rloc, state_->first_unmoved);
    } catch (const std::exception&) {
      Log(rloc + " PNR failed due to runtime error, moved to next PNR");
      form_.logs().WriteFailedPnrLog(Stamp() + " - (Failed Queue to Original Queue) : " + rloc +
                                     " PNR failed due to runtime error, moved to next PNR: ");
      return Send("I");
    }
  }

  // One PNR found on the Fail Queue of `pcc`.
  ProgramEnd ReturnPnr(const std::string& pcc, const std::string& queue, const std::string& rloc,
                       std::string& first_failed) {
    form_.ShowStatus(Stage::kRetrieveData);
    LogBoth(rloc + ": retrieved from Fail Queue in " + pcc + "/Q" + queue);
    const std::string key = FailQueueKey(pcc, rloc);
    met_.insert(key);
    const std::vector<clsFailQueue>* rows = form_.dictFailQueueMapping.Find(key);
    if (rows == nullptr || rows->empty()) {
      LogBoth(rloc + ": FAIL. Not mapped into the Failed PNR log");
      form_.logs().WriteFailedPnrLog("##### " + Stamp() + ". " + pcc + " Queue " + queue + " " +
                                     rloc + " - NOT exist into failed PNR log" + " #####");
      return Send("I");
    }
    // A PNR that failed twice from one PCC has two rows; the latest names where it came from.
    const std::string original = rows->back().fldFmFailQueueNo;

    if (ProgramEnd end = Send("QPB*" + queue)) return end;
    std::string check = Trim(Mid(host_.GetScreenText(), 4, 24));
    if (check.empty()) check.assign(kBlankCheckWidth, ' ');

    // An unconfirmed answer is followed by the locator display: a host that placed the PNR
    // without confirming it shows the next one, which a further try would move instead.
    const std::string entry = "QEB/" + pcc + "/" + original;
    const auto confirmed = [&](bool* moved) {
      const std::string line0 = host_.GetResponseLine(0);
      *moved = ContainsNoCase(line0, "ON QUEUE- " + rloc) || ContainsNoCase(line0, check);
      if (*moved) return ProgramEnd::GoOn();
      std::string now;
      if (ProgramEnd end = ReadLocator(&now)) return end;
      *moved = ShowsAnotherPnr(now, rloc);
      return ProgramEnd::GoOn();
    };
    bool placed = false;
    if (ProgramEnd end = TryMove([&] { return Send(entry); }, confirmed, &placed)) return end;
    if (!placed) {
      Log("PNR " + rloc + " on Fail Queue could not be moved to Queue no." + original);
      return ReportFailure(rloc, original, first_failed);
    }
    ++form_.lngSuccessFromFail2OrgQCount;
    form_.RefreshCounters();
    LogBoth(rloc + ": move to " + " Queue " + original);
    log_.MarkReturned(key);
    return ProgramEnd::GoOn();
  }

  ProgramEnd ReportFailure(const std::string& rloc, const std::string& original,
                           std::string& first_failed) {
    if (first_failed.empty()) first_failed = rloc;
    const std::string crlf(kCrLf);
    (void)alerts_.SendFailQueueEmail(
        FormatDate(form_.env().LocalNow()) + ":" + FormatTime(form_.env().LocalNow()) + " " +
            form_.TaskMainPCCList + " PNR movement failed - Ambervale",
        "PNR " + rloc + " on Fail Queue could not be moved to Queue no." + original +
            ", Please manually update this PNR." + crlf + crlf + "Ambervale" + crlf +
            "Support Team",
        false);
    const std::string line =
        rloc + ": retrieved from Fail Queue could not be moved to Queue no." + original;
    form_.AddActionLog(line);
    form_.logs().WriteFailedPnrLog("##### " + Stamp() + " " + Replace(line, kCrLf, ". ") +
                                   " #####");
    if (ProgramEnd end = Send("I")) return end;
    ++form_.lngFailFromFail2OrgQCount;
    form_.RefreshCounters();
    return ProgramEnd::GoOn();
  }

  frmMain& form_;
  Alerts& alerts_;
  HostLayer& host_;
  FailQueueLog& log_;
  std::string working_pcc_;
  WalkedQueue queue_;             // the Fail Queue walked now
  WalkState* state_ = nullptr;    // its walk
  bool counted_empty_ = false;    // its count display read 0
  std::set<std::string> walked_;  // Fail Queues walked
  std::set<std::string> empty_;   // Fail Queues whose count display read 0
  std::set<std::string> met_;     // keys (PCC + "#" + PNR) of the PNRs met on them
};

}  // namespace

ProgramEnd MoveFailQueue(Session& session, FailQueueLog& log) {
  return FailQueueWalk(session, log).Run();
}

}  // namespace ambervale
