#include "distribution/queue_task.h"

#include <exception>
#include <string>

#include "distribution/pnr_step.h"
#include "distribution/queue_listing.h"
#include "distribution/what_if_report.h"
#include "host/queue_count.h"
#include "host/queue_walk.h"
#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {
namespace {

// The run's part of the queue walk: its log texts, the listing, the what-if notes and the PNR
// step.
class QueueTask : public QueueWalker {
 public:
  QueueTask(Session& session, FailQueueLog& log, RunState& run,
            const std::vector<clsFromQueue>& rows)
      : session_(session), form_(session.form), log_(log), run_(run), rows_(rows) {
    const clsFromQueue& agent = rows.front();
    task_.pcc = agent.fldFmPCC;
    task_.q = agent.fldFmQueueNo;
    task_.cat = agent.fldFmCategory;
    task_.queue_address =
        task_.cat.empty() ? std::to_string(task_.q) : std::to_string(task_.q) + "*" + task_.cat;
  }

  ProgramEnd Run(TaskEnd* how) {
    const WalkedQueue queue{task_.pcc, task_.q, task_.cat};
    WalkEnd walk_end = WalkEnd::kQueueEnd;
    if (ProgramEnd end =
            WalkQueue(form_, session_.host, queue, &task_.walk, *this,
                      QueueWalkOptions{.emulated_pcc = &run_.emulated_pcc}, &walk_end)) {
      return end;
    }
    *how = walk_end == WalkEnd::kStopped ? TaskEnd::kStopRequested : TaskEnd::kQueueDone;
    if (*how == TaskEnd::kStopRequested) return ProgramEnd::GoOn();
    if (!gave_up_) {
      form_.AddActionLog("Q" + std::to_string(task_.q) + ". End Retrieving....");
      form_.AddActionLog("Exit on Queue PCC " + std::to_string(task_.q) + " in PCC " + task_.pcc,
                         kRunLogPrefix, true);
    }
    return ProgramEnd::GoOn();
  }

 private:
  void LogFileOnly(std::string_view message) { form_.AddActionLog(message, kRunLogPrefix, true); }

  std::optional<int32_t> Counted(std::string_view screen) override {
    return ReadQueueCount(screen, task_.q, task_.cat);
  }
  void EmulationRefused() override {
    NotWalked("the host refused the emulation into " + task_.pcc);
  }
  ProgramEnd Entering() override { return ListQueue(session_, task_); }
  void Entered() override {
    LogFileOnly("Open in PCC " + task_.pcc + " on queue " + task_.queue_address);
  }
  void Retrieving() override {
    LogFileOnly("Q" + std::to_string(task_.q) + ". Start Retrieving....");
    form_.AddActionLog("Q" + task_.queue_address + ". Start Retrieving....");
  }
  void GaveUp() override {
    gave_up_ = true;
    LogFileOnly("Q" + task_.queue_address + ": the host keeps answering FINISH OR IGNORE");
    NotWalked("the host keeps answering FINISH OR IGNORE");
  }
  void Stopped() override {
    LogFileOnly("Exit in PCC " + task_.pcc + " on queue/category " + task_.queue_address);
  }

  ProgramEnd Pnr(const std::string& rloc) override {
    form_.ShowStatus(Stage::kRetrieveData);
    const std::string retrieved = rloc + ": retrieved in " + task_.pcc + "/Q" + task_.queue_address;
    LogFileOnly(retrieved);
    form_.AddActionLog(retrieved);
    ++run_.tally.taken;
    try {
      return ProcessPnr(session_, log_, run_, task_, rows_, rloc);
    } catch (const std::exception& e) {
      // The PNR's step is abandoned; the queue goes on with the next PNR.
      form_.logs().WriteDebugLog("##### " + FormatDateTime(form_.env().LocalNow()) + ". " + rloc +
                                 ": step abandoned after an unexpected error: " + e.what() +
                                 " #####");
    }
    return ProgramEnd::GoOn();
  }

  void NotWalked(const std::string& reason) {
    if (run_.what_if != nullptr) {
      run_.what_if->TaskNotWalked(task_.pcc + "/" + task_.queue_address, reason);
    }
  }

  Session& session_;
  frmMain& form_;
  FailQueueLog& log_;
  RunState& run_;
  const std::vector<clsFromQueue>& rows_;
  TaskState task_;
  bool gave_up_ = false;
};

}  // namespace

ProgramEnd RunQueueTask(Session& session, FailQueueLog& log, RunState& run,
                        const std::vector<clsFromQueue>& rows, TaskEnd* how) {
  return QueueTask(session, log, run, rows).Run(how);
}

}  // namespace ambervale
