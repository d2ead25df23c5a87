#include "distribution/queue_task.h"

#include <exception>
#include <string>

#include "distribution/pnr_step.h"
#include "distribution/queue_listing.h"
#include "distribution/what_if_report.h"
#include "host/busy_retry.h"
#include "host/queue_count.h"
#include "host/record_locator.h"
#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {
namespace {

// "FINISH OR IGNORE" answered again and again: the task gives up after this many restarts.
constexpr int kMaxFinishOrIgnore = 5;

class QueueTask {
 public:
  QueueTask(Session& session, FailQueueLog& log, RunState& run,
            const std::vector<clsFromQueue>& rows)
      : session_(session),
        form_(session.form),
        host_(session.host),
        log_(log),
        run_(run),
        rows_(rows) {}

  TaskEnd Run() {
    int finish_or_ignore = 0;
    for (;;) {
      ReadTask();
      Send("QX+I");
      Send("SEM/SU");
      Count();
      Emulate();
      ListQueue(session_, task_);
      Enter();
      if (ContainsNoCase(host_.GetScreenText(), "FINISH OR IGNORE")) {
        Send("I");
        if (++finish_or_ignore > kMaxFinishOrIgnore) {
          Send("QX+I");
          LogFileOnly("Q" + task_.queue_address + ": the host keeps answering FINISH OR IGNORE");
          NotWalked("the host keeps answering FINISH OR IGNORE");
          return TaskEnd::kQueueDone;
        }
        continue;
      }
      form_.AddActionLog("Q" + std::to_string(task_.q) + ". Start Retrieving....", kRunLogPrefix,
                         true);
      form_.AddActionLog("Q" + task_.queue_address + ". Start Retrieving....");
      switch (RetrieveLoop()) {
        case LoopEnd::kRestart:
          continue;
        case LoopEnd::kStop:
          return TaskEnd::kStopRequested;
        case LoopEnd::kQueueEnd:
          break;
      }
      form_.AddActionLog("Q" + std::to_string(task_.q) + ". End Retrieving....");
      form_.AddActionLog("Exit on Queue PCC " + std::to_string(task_.q) + " in PCC " + task_.pcc,
                         kRunLogPrefix, true);
      return TaskEnd::kQueueDone;
    }
  }

 private:
  enum class LoopEnd { kQueueEnd, kRestart, kStop };

  void Send(std::string_view entry) { SendEntry(host_, entry); }
  void LogFileOnly(std::string_view message) { form_.AddActionLog(message, kRunLogPrefix, true); }

  // The source queue, read afresh from FmAgent at each start of the task.
  void ReadTask() {
    const clsFromQueue& agent = form_.FmAgent;
    task_.pcc = agent.fldFmPCC;
    task_.q = agent.fldFmQueueNo;
    task_.cat = agent.fldFmCategory;
    task_.queue_address =
        task_.cat.empty() ? std::to_string(task_.q) : std::to_string(task_.q) + "*" + task_.cat;
  }

  void Count() {
    const std::string q = std::to_string(task_.q);
    const std::string entry = task_.cat.empty() ? "QCB/" + task_.pcc + "/" + q
                                                : "QCT/" + task_.pcc + "/" + q + "*" + task_.cat;
    form_.AddActionLog("HOST Command: " + entry, kRunLogPrefix, true);
    Send(entry);
    task_.count = ReadQueueCount(host_.GetScreenText(), task_.q, task_.cat);
  }

  void Emulate() {
    if (task_.pcc == run_.emulated_pcc) return;
    Send("SEM/" + task_.pcc + "/AG");
    if (ContainsNoCase(host_.GetScreenText(), "PROCEED")) {
      run_.emulated_pcc = task_.pcc;
      return;
    }
    form_.logs().WriteFailedPnrLog("##### " + FormatDateTime(form_.env().LocalNow()) +
                                   " Failed SEM action towards pseudo \"" + task_.pcc + "\" #####");
    NotWalked("the host refused the emulation into " + task_.pcc);
  }

  void NotWalked(const std::string& reason) {
    if (run_.what_if != nullptr) {
      run_.what_if->TaskNotWalked(task_.pcc + "/" + task_.queue_address, reason);
    }
  }

  void Enter() {
    const std::string entry = "Q/" + task_.pcc + "/" + task_.queue_address;
    form_.AddActionLog("HOST Command: " + entry, kRunLogPrefix, true);
    Send(entry);
    form_.AddActionLog("Open in PCC " + task_.pcc + " on queue " + task_.queue_address,
                       kRunLogPrefix, true);
  }

  LoopEnd RetrieveLoop() {
    for (;;) {
      if (form_.blnStopRequested) {
        Send("QX+I");
        form_.AddActionLog("Exit in PCC " + task_.pcc + " on queue/category " + task_.queue_address,
                           kRunLogPrefix, true);
        return LoopEnd::kStop;
      }
      if (task_.retrieval > task_.count) {
        Send("QX+I");
        return LoopEnd::kQueueEnd;
      }
      ++task_.retrieval;
      const std::string rloc = GetRLocByTeCommand(host_, &task_.agent_sine);
      if (ContainsNoCase(rloc, "NO B.F.")) {
        if (task_.retrieval > task_.count) return LoopEnd::kQueueEnd;
        Send("I");
        return LoopEnd::kRestart;
      }
      if (ContainsNoCase(rloc, "QUEUE EMPTY")) return LoopEnd::kQueueEnd;
      // No locator on screen (signed out, an answer that is no display): there is no PNR to
      // work, and working one would file a Fail Queue row under an empty locator.
      if (rloc.empty() || EqualsNoCase(rloc, task_.first_unmoved)) {
        Send("QX+I");
        return LoopEnd::kQueueEnd;
      }
      form_.ShowStatus("RETRIEVEDATA");
      const std::string retrieved =
          rloc + ": retrieved in " + task_.pcc + "/Q" + task_.queue_address;
      form_.AddActionLog(retrieved, kRunLogPrefix, true);
      form_.AddActionLog(retrieved);
      ++run_.tally.taken;
      try {
        ProcessPnr(session_, log_, run_, task_, rows_, rloc);
      } catch (const std::exception& e) {
        // The PNR's step is abandoned; the queue goes on with the next pass.
        form_.logs().WriteDebugLog("##### " + FormatDateTime(form_.env().LocalNow()) + ". " + rloc +
                                   ": step abandoned after an unexpected error: " + e.what() +
                                   " #####");
      }
    }
  }

  Session& session_;
  frmMain& form_;
  HostLayer& host_;
  FailQueueLog& log_;
  RunState& run_;
  const std::vector<clsFromQueue>& rows_;
  TaskState task_;
};

}  // namespace

TaskEnd RunQueueTask(Session& session, FailQueueLog& log, RunState& run,
                     const std::vector<clsFromQueue>& rows) {
  return QueueTask(session, log, run, rows).Run();
}

}  // namespace ambervale
