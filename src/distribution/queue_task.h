#pragma once

// One task of the default mode: count the source queue's booking files, emulate into its PCC,
// list the queue, enter it, and take its PNRs one by one to ProcessPnr until the queue ends.
//
// The queue ends when more PNRs were retrieved than the count showed (so at most count + 1 per
// pass), when the host shows "QUEUE EMPTY", when the first PNR left on the queue comes round
// again, when no PNR is on screen, or with "NO B.F." once the count is passed. "FINISH OR
// IGNORE" on entering, and "NO B.F." before the count is reached, restart the task (count,
// list, enter) without forgetting what it retrieved.

#include <vector>

#include "distribution/run_state.h"
#include "failqueue/fail_queue_log.h"
#include "host/session.h"
#include "model/rows.h"

namespace ambervale {

enum class TaskEnd {
  kQueueDone,
  kStopRequested,  // the run must return at once
};

// form.FmAgent is the first of `rows` when called.
[[nodiscard]] TaskEnd RunQueueTask(Session& session, FailQueueLog& log, RunState& run,
                                   const std::vector<clsFromQueue>& rows);

}  // namespace ambervale
