#pragma once

// The unticketed mode's work ([MOVE] PNRMODE "UTK"): for each task, the host lists the PNRs of
// the task's PCC whose ticketing arrangement falls due within the next "DAYS" days (for all
// airlines or the ones named), the list goes into the unticketed report, and one entry places
// them all on [ToQueue] DestQueue. After the task loop the report is completed and mailed, and
// the program ends: an unticketed run is the program's last.
//
// The report is built in the two temporary files of the logs (header block, status block) and
// in form.colReportLines; SendEmailAlert completes it into the Unticketed_PNR_Log file and
// mails that file.
//
// Nothing is owned; the Session's parts must outlive this object. Single-threaded: RunTask lets
// window events run once per task (after the progress display), where a Cancel click sets
// form.strErrMsg and form.blnStopRequested.

#include <string>

#include "distribution/run_state.h"
#include "distribution/unticketed_tasks.h"
#include "host/session.h"

namespace ambervale {

class UnticketedRun : public UnticketedTasks {
 public:
  explicit UnticketedRun(Session& session);
  UnticketedRun(const UnticketedRun&) = delete;
  UnticketedRun& operator=(const UnticketedRun&) = delete;

  // One task (`task`). Ends the program (exit code 1, after a box) when the task names more
  // than five airlines. Ends the task loop when the queuing entry was not confirmed
  // (form.strErrMsg says so) or an unexpected error broke the task (run.error_description).
  UnticketedTaskOutcome RunTask(RunState& run, int task_count, const clsFromQueue& task) override;

  // Adds "Run completed successfully: Y,,," when every task went through and mails the report
  // (SendEmailAlert completes it); otherwise mails it with the run's error text. Then ends the
  // program (exit code 0), also when the mail could not be sent.
  ProgramEnd Summary(RunState& run, int task_count) override;

 private:
  UnticketedTaskOutcome TaskStep(RunState& run, int task_count, const clsFromQueue& task);
  ProgramEnd CheckAirlines(const std::string& airline);
  ProgramEnd Emulate(RunState& run, const std::string& pcc);
  void ShowProgress(const RunState& run, int task_count);
  void WriteListingDebugLine();

  Session& session_;
  // The last listing entry sent in this run. A task that asks for no search sends none and
  // reports the earlier entry, as the host's screen still shows its answer.
  std::string listing_;
};

}  // namespace ambervale
