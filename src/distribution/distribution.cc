#include "distribution/distribution.h"

#include <exception>
#include <string>

#include "config/agent_lookup.h"
#include "distribution/queue_task.h"
#include "distribution/run_summary.h"
#include "distribution/what_if_report.h"
#include "failqueue/fail_queue_return.h"
#include "host/sign_on.h"
#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {

Distribution::Distribution(Session& session, UnticketedTasks* unticketed, FileSystem& files)
    : session_(session), unticketed_(unticketed), fail_queue_log_(session.form, files) {}

ProgramEnd Distribution::MoveQueue() {
  frmMain& form = session_.form;
  RunSummary summary(session_);
  if (ProgramEnd end = ReturnFromFailQueue()) return end;
  if (ProgramEnd end = SignOnCheck()) return end;
  form.window().SetProgressMax(static_cast<int>(form.dictFmtoMapping.size()));
  form.tmpCurrentPCC.clear();

  RunState run;
  if (form.IsUnticketedMode()) return RunUnticketedTasks(run);
  bool complete = false;
  if (ProgramEnd end = RunDefaultTasks(run, &complete)) return end;
  if (complete) MailFailQueue(run);
  summary.Write(run.tally);
  if (complete) EndOfRun();
  return ProgramEnd::GoOn();
}

ProgramEnd Distribution::WhatIf(WhatIfReport& report) {
  if (ProgramEnd end = SignOnCheck()) return end;
  session_.form.window().SetProgressMax(static_cast<int>(session_.form.dictFmtoMapping.size()));
  RunState run;
  run.what_if = &report;
  bool complete = false;
  return RunDefaultTasks(run, &complete);
}

ProgramEnd Distribution::ReturnFromFailQueue() {
  frmMain& form = session_.form;
  if (!form.FailQueueActivated || !form.MoveFailPNR) return ProgramEnd::GoOn();
  if (fail_queue_log_.LoadFailQueueLog()) {
    form.AddActionLog("START to Move PNR(s) from Fail Queue to Original Queue.", kRunLogPrefix,
                      true);
    if (ProgramEnd end = MoveFailQueue(session_, fail_queue_log_)) return end;
    form.AddActionLog("END to Move PNR(s) from Fail Queue to Original Queue.", kRunLogPrefix, true);
  }
  fail_queue_log_.StartFailQueueLog();
  form.MoveFailPNR = false;
  return ProgramEnd::GoOn();
}

ProgramEnd Distribution::SignOnCheck() {
  frmMain& form = session_.form;
  HostLayer& host = session_.host;
  bool signed_on = false;
  if (ProgramEnd end = ambervale::SignOnCheck(form, host, GetAgentID(form), false, &signed_on)) {
    return end;
  }
  if (signed_on) return ProgramEnd::GoOn();
  if (form.IsUnticketedMode()) {
    form.logs().AppendUnticketedHeader(kLoginFailedMessage);
    // The next start empties the temporary report files before it writes to them: the report
    // is built now, as start-up builds it after a failed sign-on, so the failure is kept.
    (void)form.logs().BuildUnticketedReport();
  } else {
    (void)session_.alerts.SendEmailAlert(kLoginFailedMessage, false);
  }
  return ProgramEnd::Exit(1);
}

ProgramEnd Distribution::RunUnticketedTasks(RunState& run) {
  frmMain& form = session_.form;
  if (unticketed_ == nullptr) {
    form.logs().WriteDebugLog("##### " + FormatDateTime(form.env().LocalNow()) +
                              ". The unticketed mode is not available in this build. #####");
    return ProgramEnd::GoOn();
  }
  const int task_count = static_cast<int>(form.dictFmtoMapping.size());
  try {
    for (size_t i = 0; i < form.dictFmtoMapping.size(); ++i) {
      const std::vector<clsFromQueue>& rows = form.dictFmtoMapping.at(i).second;
      form.ShowStatus(Stage::kPeekQueue);
      if (rows.empty()) continue;
      const UnticketedTaskOutcome task = unticketed_->RunTask(run, task_count, rows.front());
      if (task.end) return task.end;
      if (!task.next) break;
      if (form.blnStopRequested) break;
      ++run.task_ordinal;
    }
  } catch (const std::exception& e) {
    // An unexpected error between the tasks ends the loop; the summary mails its description.
    run.error_description = e.what();
  }
  return unticketed_->Summary(run, task_count);
}

ProgramEnd Distribution::RunDefaultTasks(RunState& run, bool* complete) {
  *complete = false;
  frmMain& form = session_.form;
  for (size_t i = 0; i < form.dictFmtoMapping.size(); ++i) {
    const std::vector<clsFromQueue>& rows = form.dictFmtoMapping.at(i).second;
    form.ShowStatus(Stage::kPeekQueue);
    if (rows.empty()) continue;
    ++run.tally.tasks;
    try {
      TaskEnd how = TaskEnd::kQueueDone;
      if (ProgramEnd end = RunQueueTask(session_, fail_queue_log_, run, rows, &how)) return end;
      if (how == TaskEnd::kStopRequested) return ProgramEnd::GoOn();
    } catch (const std::exception& e) {
      // The task is abandoned; the run goes on with the next one.
      form.logs().WriteDebugLog("##### " + FormatDateTime(form.env().LocalNow()) + ". Task " +
                                form.dictFmtoMapping.at(i).first +
                                " abandoned after an unexpected error: " + e.what() + " #####");
      if (run.what_if != nullptr)
        run.what_if->TaskNotWalked(form.dictFmtoMapping.at(i).first, e.what());
    }
  }
  *complete = true;
  return ProgramEnd::GoOn();
}

void Distribution::MailFailQueue(const RunState& run) {
  frmMain& form = session_.form;
  if (form.FailQueueActivated) {
    const CivilTime now = form.env().LocalNow();
    const std::string prefix = FormatDate(now) + ":" + FormatTime(now) + " " + form.TaskMainPCCList;
    const std::string crlf(kCrLf);
    const std::string signature = crlf + crlf + "Ambervale" + crlf + "Support Team";
    if (run.any_to_fail_queue) {
      (void)session_.alerts.SendFailQueueEmail(
          prefix + " PNR(s) moved to Fail Queue - Ambervale",
          "Attached is the list of PNRs that have been moved to the Fail Queue. Please refer to "
          "the 'Reason for Failure' field and update the required files." +
              signature,
          true);
    } else if (form.SendEmailAfterEveryIteration) {
      (void)session_.alerts.SendFailQueueEmail(
          prefix + " PNR(s) not moved to Fail Queue - Ambervale",
          "No PNRs have been moved to the Fail Queue." + signature, false);
    }
  }
}

void Distribution::EndOfRun() {
  frmMain& form = session_.form;
  form.strErrMsg.clear();
  form.logs().WriteActionLogFile(" ");
}

}  // namespace ambervale
