#pragma once

// One task of the default mode: the source queue walked (host/queue_walk.h: count, emulate,
// enter, the PNRs until the queue ends), listed before it is entered, each PNR taken to
// ProcessPnr. The walk's restarts keep what the task retrieved.

#include <vector>

#include "distribution/run_state.h"
#include "failqueue/fail_queue_log.h"
#include "host/session.h"
#include "model/rows.h"
#include "platform/program_end.h"

namespace ambervale {

enum class TaskEnd {
  kQueueDone,
  kStopRequested,  // the run must return at once
};

// `rows`: the task's rows (one source queue), not empty; the last decides each PNR. `how`
// receives how the task ended; returns the end of the program when the host was lost.
[[nodiscard]] ProgramEnd RunQueueTask(Session& session, FailQueueLog& log, RunState& run,
                                      const std::vector<clsFromQueue>& rows, TaskEnd* how);

}  // namespace ambervale
