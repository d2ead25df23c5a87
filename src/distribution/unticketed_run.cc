#include "distribution/unticketed_run.h"

#include <exception>
#include <optional>

#include "config/task_maintenance.h"
#include "distribution/unticketed_search.h"
#include "host/busy_retry.h"
#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {
namespace {

// "Processing PCC 2 of 5": the task in work counted from 1.
std::string ProgressText(std::string_view verb, const RunState& run, int task_count) {
  return std::string(verb) + " PCC " + std::to_string(run.task_ordinal + 1) + " of " +
         std::to_string(task_count);
}

}  // namespace

UnticketedRun::UnticketedRun(Session& session) : session_(session) {}

UnticketedTaskOutcome UnticketedRun::RunTask(RunState& run, int task_count,
                                             const clsFromQueue& task) {
  frmMain& form = session_.form;
  // A Cancel click while the task loop let events run between two tasks has already set the
  // run's error text; it must reach the report, so only a run going on unhindered starts the
  // task with an empty text.
  if (!form.blnStopRequested) form.strErrMsg.clear();
  try {
    return TaskStep(run, task_count, task);
  } catch (const std::exception& e) {
    run.error_description = e.what();
    form.logs().WriteDebugLog("##### " + FormatDateTime(form.env().LocalNow()) +
                              ". Unticketed task " + task.fldFmPCC +
                              " broken off: " + run.error_description + " #####");
    return {.next = false, .end = {}};
  }
}

UnticketedTaskOutcome UnticketedRun::TaskStep(RunState& run, int task_count,
                                              const clsFromQueue& task) {
  frmMain& form = session_.form;
  HostLayer& host = session_.host;
  const std::string pcc = task.fldFmPCC;
  const std::string airline = task.fldAirline;
  const int days = task.fldDays;

  if (ProgramEnd end = CheckAirlines(airline)) return {.next = false, .end = end};
  if (pcc != run.emulated_pcc) {
    if (ProgramEnd end = Emulate(run, pcc)) return {.next = false, .end = end};
  }
  ShowProgress(run, task_count);

  const std::optional<UnticketedSearch> search = BuildUnticketedSearch(
      pcc, airline, days, UnticketedDateRange(form.env().LocalNow(), days), form.UTKToQueue);
  if (search) {
    listing_ = search->listing;
    if (ProgramEnd end = SendEntry(host, listing_)) return {.next = false, .end = end};
  }

  const std::string listed = host.GetScreenText();
  if (ContainsNoCase(listed, "NO MATCHING BOOKING FILES")) {
    form.colReportLines.push_back("Error message: NO MATCHING BOOKING FILES FOUND >> " + listing_);
    WriteListingDebugLine();
    return {};
  }
  if (!ContainsNoCase(listed, "B.F. COUNT")) {
    form.colReportLines.push_back("Error message: HOST Command Failed to retrieve record >> " +
                                  listing_);
    WriteListingDebugLine();
    return {};
  }
  // Only a list this task asked for goes into the report: without a search of its own the
  // screen holds PNRs of an earlier entry, which this task does not place.
  if (search) {
    (void)host.LogQueueListStatus(pcc, form.UTKToQueue);
    if (ProgramEnd end = SendEntry(host, search->queuing)) return {.next = false, .end = end};
    form.logs().AppendUnticketedHeader("Host Command: " + search->queuing + ",,");
  }
  if (!ContainsNoCase(host.GetScreenText(), "BOOKING FILES ON QUEUE")) {
    form.strErrMsg =
        "Error message: Unable to move PNRs in PCC '" + pcc + "' please manually check PNRs.";
    return {.next = false, .end = {}};
  }
  form.window().SetCaption(Control::kLabel6, ProgressText("Processed", run, task_count));
  form.tmpCurrentPCC = pcc;
  return {};
}

ProgramEnd UnticketedRun::CheckAirlines(const std::string& airline) {
  if (CheckAirlineCount(airline)) return ProgramEnd::GoOn();
  frmMain& form = session_.form;
  form.logs().WriteDebugLog("##### " + FormatDateTime(form.env().LocalNow()) +
                            ". Errors are found in task maintenance. Please check or contact "
                            "administrator. #####");
  (void)form.window().ShowMessageBox("Errors are found in task maintenance." + std::string(kCrLf) +
                                         "Note a maximum of 5 airlines can be specified.",
                                     BoxButtons::kOk, BoxIcon::kCritical, "");
  return ProgramEnd::Exit(1);
}

ProgramEnd UnticketedRun::Emulate(RunState& run, const std::string& pcc) {
  frmMain& form = session_.form;
  if (ProgramEnd end = SendEntry(session_.host, "SEM/" + pcc + "/AG")) return end;
  if (ContainsNoCase(session_.host.GetScreenText(), "PROCEED")) {
    run.emulated_pcc = pcc;
    return ProgramEnd::GoOn();
  }
  form.colReportLines.push_back("Error message: Unable to emulate to PCC '" + pcc +
                                "' please verify login credentials to this PCC");
  return ProgramEnd::GoOn();
}

void UnticketedRun::ShowProgress(const RunState& run, int task_count) {
  Window& window = session_.form.window();
  window.SetVisible(Control::kFrmProgressBar, true);
  window.SetProgressValue(run.task_ordinal + 1);
  window.SetCaption(Control::kLabel6, ProgressText("Processing", run, task_count));
  // Paints the frame before the host entries and takes a Cancel click.
  window.DoEvents();
}

void UnticketedRun::WriteListingDebugLine() {
  frmMain& form = session_.form;
  form.logs().WriteDebugLog("##### " + FormatDateTime(form.env().LocalNow()) + " " +
                            form.strErrMsg + "\" #####");
}

ProgramEnd UnticketedRun::Summary(RunState& run, int task_count) {
  frmMain& form = session_.form;
  try {
    if (task_count == run.task_ordinal) {
      form.logs().AppendUnticketedHeader("Run completed successfully: Y,,,");
      (void)session_.alerts.SendEmailAlert("Unticketed PNR Results", true);
    } else if (form.strErrMsg.empty()) {
      (void)session_.alerts.SendEmailAlert("Error message: " + run.error_description, false);
    } else {
      (void)session_.alerts.SendEmailAlert(form.strErrMsg, false);
    }
  } catch (const std::exception& e) {
    form.logs().WriteDebugLog("##### " + FormatDateTime(form.env().LocalNow()) +
                              ". Unticketed report not sent: " + e.what() + " #####");
  }
  return ProgramEnd::Exit(0);
}

}  // namespace ambervale
