#pragma once

// The distribution run: the work the program exists for. The application creates one
// Distribution after start-up and calls MoveQueue each time the countdown reaches zero.
//
// A run first returns the PNRs waiting on the Fail Queue, once after each start (when the Fail
// Queue is active), makes sure the workstation is signed on, then walks the tasks of
// form.dictFmtoMapping in order: in the default mode each task's source queue is counted,
// listed, entered and emptied PNR by PNR (moved to its agents or handed to the Fail Queue); in
// the unticketed mode each task goes to the UnticketedTasks seam. A default-mode run ends with
// the Fail Queue mail, its summary (RunSummary; also after a stop request) and a separator line
// in the action log file.
//
// Nothing is owned but the Fail Queue Log; the Session's parts, the unticketed implementation
// and the file system of the Fail Queue Log must outlive the Distribution. Single-threaded:
// MoveQueue runs inside a timer tick and lets window events run (ShowStatus), through which a stop
// request (form.blnStopRequested) reaches it.

#include "distribution/run_state.h"
#include "distribution/unticketed_tasks.h"
#include "distribution/what_if_report.h"
#include "failqueue/fail_queue_log.h"
#include "host/session.h"
#include "platform/file_system.h"
#include "platform/program_end.h"

namespace ambervale {

class Distribution {
 public:
  // `unticketed` is the unticketed mode's work (an UnticketedRun over the same Session). It
  // may be null for a program that never runs in that mode; a run in that mode then writes a
  // debug line and does nothing else. The Fail Queue Log's files go through `files`.
  explicit Distribution(Session& session, UnticketedTasks* unticketed = nullptr,
                        FileSystem& files = PosixFileSystem());
  Distribution(const Distribution&) = delete;
  Distribution& operator=(const Distribution&) = delete;

  // One run. Returns the end of the program when the run ends it (sign-on failure at the start,
  // a failing host, the end of an unticketed run), at once after what that end writes and
  // sends; returns early, without the end-of-run mail, when a stop is requested.
  [[nodiscard]] ProgramEnd MoveQueue();

  // A what-if pass of the default mode: the sign-on check, then every task's queue walked once
  // (until its first PNR comes round or it reads empty), each PNR looked at, reported to
  // `report` and left on its queue ("I"). Nothing on the host changes: no notepad, no
  // received-from, no ticketing date, no move; no Fail Queue return, Fail Queue Log, mail or
  // run summary. May end the program as a run does (sign-on failure, a failing host).
  [[nodiscard]] ProgramEnd WhatIf(WhatIfReport& report);

  void set_unticketed(UnticketedTasks* unticketed) { unticketed_ = unticketed; }
  FailQueueLog& fail_queue_log() { return fail_queue_log_; }

 private:
  ProgramEnd ReturnFromFailQueue();
  ProgramEnd SignOnCheck();
  ProgramEnd RunUnticketedTasks(RunState& run);
  // `complete` false when a stop was requested.
  ProgramEnd RunDefaultTasks(RunState& run, bool* complete);
  void MailFailQueue(const RunState& run);
  void EndOfRun();

  Session& session_;
  UnticketedTasks* unticketed_;
  FailQueueLog fail_queue_log_;
};

}  // namespace ambervale
