#pragma once

// The seam for the unticketed mode ([MOVE] PNRMODE "UTK"): MoveQueue hands each task to
// RunTask instead of working a source queue, and calls Summary after the task loop. The
// implementation (listing and queuing the unticketed PNRs, the report) lives elsewhere.

#include "distribution/run_state.h"
#include "model/rows.h"
#include "platform/program_end.h"

namespace ambervale {

// What a task tells the task loop: the next task, the end of the loop (the summary follows),
// or the end of the program at once (the task has written and shown what it ends with).
struct [[nodiscard]] UnticketedTaskOutcome {
  bool next = true;
  ProgramEnd end;
};

class UnticketedTasks {
 public:
  virtual ~UnticketedTasks() = default;

  // One task; `task` is the task's first row and run.task_ordinal the number of tasks
  // done so far (MoveQueue adds one after each task that did not end the loop). `next` false
  // ends the task loop at once (the queuing was not confirmed, an unexpected error).
  virtual UnticketedTaskOutcome RunTask(RunState& run, int task_count,
                                        const clsFromQueue& task) = 0;

  // After the task loop, whether it went through or not: completes and mails the report and
  // returns the end of the program.
  virtual ProgramEnd Summary(RunState& run, int task_count) = 0;
};

}  // namespace ambervale
