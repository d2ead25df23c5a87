#pragma once

// What one distribution run (one call of MoveQueue) and one task of it remember.

#include <cstdint>
#include <string>

#include "distribution/run_tally.h"
#include "host/queue_walk.h"

namespace ambervale {

class WhatIfReport;

// Lives for one run.
struct RunState {
  // The last PCC into which "SEM/" + PCC + "/AG" succeeded during this run; a task on that
  // PCC does not emulate again. Not reset between tasks.
  std::string emulated_pcc;
  // Tasks handed to the unticketed step so far.
  int16_t task_ordinal = 0;
  // Some PNR was handed to the Fail Queue: decides the end-of-run mail.
  bool any_to_fail_queue = false;
  // What broke off an unticketed task loop unexpectedly (mailed with the report); empty when
  // nothing did.
  std::string error_description;
  // Tasks, PNRs taken and moves per agent, for the run's summary.
  RunTally tally;
  // Set for a what-if pass: every PNR is looked at, reported here and left on its queue.
  WhatIfReport* what_if = nullptr;
};

// One default-mode task, kept when the task restarts ("FINISH OR IGNORE", "NO B.F.").
struct TaskState {
  std::string pcc;
  int16_t q = 0;
  std::string cat;
  // q, or q + "*" + cat.
  std::string queue_address;
  // The count, the PNRs taken, the first PNR left on the queue and the current sine.
  WalkState walk;
};

}  // namespace ambervale
