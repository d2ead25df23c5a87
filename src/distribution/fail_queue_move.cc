#include "distribution/fail_queue_move.h"

#include <string>

#include "distribution/check_tau.h"
#include "distribution/move_entries.h"
#include "host/busy_retry.h"
#include "host/move_tries.h"
#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {
ProgramEnd MoveToFailQueue(Session& session, FailQueueLog& log, const clsFromQueue& task,
                           std::string_view pcc, std::string_view queueAddress,
                           std::string_view rloc, std::string_view reason,
                           std::string_view /*foundBy*/, std::string_view valuesRead, bool* moved) {
  *moved = false;
  frmMain& form = session.form;
  HostLayer& host = session.host;
  const std::string received_from = "R." + form.strUserName;
  const std::string fail_category = Trim(form.FailQueueCategory);

  bool changed = false;
  if (form.blnTAUCheck) {
    if (ProgramEnd end = RefreshTicketingDate(form, host, rloc, &changed)) return end;
  }
  if (changed) {
    if (ProgramEnd end = SendEntry(host, received_from)) return end;
  }
  if (ProgramEnd end = SendEntry(host, "QPB*" + std::to_string(task.fldFmQueueNo))) return end;
  const std::string reference = ReferenceText(host.GetScreenText());
  if (changed) {
    if (ProgramEnd end = SendEntry(host, received_from)) return end;
  }

  const std::string entry = FailQueueEntry(form, pcc);

  const Status row =
      log.WriteFailQueueLog(std::string(pcc) + "," + std::string(queueAddress) + "," +
                            form.FailQueueNo + "," + form.FailQueueCategory + "," +
                            std::string(rloc) + "," + FormatDateTime(form.env().LocalNow()) + "," +
                            std::string(reason) + "," + std::string(valuesRead));
  if (!row.ok()) {
    // No PNR goes to the Fail Queue without its row: it stays on its source queue.
    const std::string why = std::string(rloc) +
                            ": FAIL. Not moved to the Fail Queue, its Fail Queue Log row cannot "
                            "be written: " +
                            row.message();
    form.AddActionLog(why);
    form.logs().WriteDebugLog("##### " + FormatDateTime(form.env().LocalNow()) + ". " + why +
                              " #####");
    ++form.lngFailOrgQ2FailQCount;
    form.RefreshCounters();
    return ProgramEnd::GoOn();
  }

  // A move the host made without confirming it has taken the PNR off the screen (CheckMove):
  // no further try and no remark may then reach the next PNR of the queue.
  const std::string command = "HOST Command: " + entry;
  const auto judged = [&](bool* placed) {
    MoveAnswer answer = MoveAnswer::kNotMoved;
    const ProgramEnd end = CheckMove(host, rloc, reference, nullptr, &answer);
    *placed = answer != MoveAnswer::kNotMoved;
    return end;
  };
  // The first entry is logged once sent, every later one before it is sent.
  bool first = true;
  const auto send = [&] {
    if (!first) form.AddActionLog(command, kRunLogPrefix, true);
    if (ProgramEnd end = SendEntry(host, entry)) return end;
    if (first) form.AddActionLog(command, kRunLogPrefix, true);
    first = false;
    return ProgramEnd::GoOn();
  };
  bool placed = false;
  if (ProgramEnd end = TryMove(send, judged, &placed)) return end;
  if (!placed && changed && form.blnMustMove) {
    form.AddActionLog("HOST Command: IR", kRunLogPrefix, true);
    if (ProgramEnd end = SendEntry(host, "IR")) return end;
    if (ProgramEnd again = TryMove(send, judged, &placed)) return again;
  }
  const bool failed = !placed;

  if (failed) {
    form.AddActionLog("PNR Failed to move into Failed Queue/Category", kRunLogPrefix, true);
    const std::string remark = "NP.HX**ZVK-** UNABLE TO MOVE TO Q " + form.FailQueueNo +
                               (fail_category.empty() ? "" : "/" + form.FailQueueCategory) +
                               " - PLS MANUALLY UPDATE PNR**";
    if (ProgramEnd end = SendEntry(host, remark)) return end;
    const CivilTime now = form.env().LocalNow();
    std::string subject = FormatDate(now) + ":" + FormatTime(now) + " " + form.TaskMainPCCList;
    const std::string where = std::string(rloc) + " on queue no." + std::string(queueAddress);
    if (Trim(host.GetScreenText()) != "*\r\n") {
      subject += " PNR movement Failed - Ambervale";
      form.AddActionLog("Notepad Entry FAILED in the PNR " + where + " - " + remark, kRunLogPrefix,
                        true);
    } else {
      if (ProgramEnd end = SendEntry(host, received_from)) return end;
      if (ProgramEnd end = SendEntry(host, "ER")) return end;
      subject += " PNR movement failed - Ambervale";
      form.AddActionLog("Notepad Entry added in the PNR " + where + " - " + remark, kRunLogPrefix,
                        true);
    }
    const std::string crlf(kCrLf);
    const std::string body = "PNR " + where +
                             " could not  be moved to the Fail queue, Please manually update this "
                             "PNR." +
                             crlf + crlf + "Ambervale" + crlf + "Support Team";
    (void)session.alerts.SendFailQueueEmail(subject, body, false);
    form.AddActionLog(body, kRunLogPrefix, true);
    ++form.lngFailOrgQ2FailQCount;
  } else {
    ++form.lngSuccessOrgQ2FailQCount;
  }
  form.RefreshCounters();
  *moved = !failed;
  return ProgramEnd::GoOn();
}

}  // namespace ambervale
