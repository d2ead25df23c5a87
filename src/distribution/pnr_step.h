#pragma once

// The work on one PNR retrieved from a source queue in the default mode: find its agents in
// the task's mapping files (sine, name, DI.AC, CI, DI.X), refresh a due ticketing date, add the
// task's notepad text, move the PNR to every agent with one "QEB/" entry (three tries, then
// "IR" and three more when the PNR was changed and [MOVE] MUSTMOVE is on), or hand it to the
// Fail Queue. It keeps the counters and writes the moved, failed and no-agent lines.
//
// It ends in one of four ways: moved (the host shows the queue's next PNR), left on the queue
// ("I"), handed to the Fail Queue, or notepad refused ("I"). A PNR left on its queue becomes
// the task's first unmoved PNR when there is none yet.

#include <string>
#include <vector>

#include "distribution/run_state.h"
#include "failqueue/fail_queue_log.h"
#include "host/session.h"
#include "model/rows.h"

namespace ambervale {

// `rows` is the task's collection (every row's mapping file is searched, only the last row
// decides); `task` carries the source queue, the agent sine of `rloc` and the first unmoved
// PNR. A row whose mapping file has no table finds no agent. Returns the end of the program when
// the host was lost, at once: nothing more of the step is sent or written.
[[nodiscard]] ProgramEnd ProcessPnr(Session& session, FailQueueLog& log, RunState& run,
                                    TaskState& task, const std::vector<clsFromQueue>& rows,
                                    const std::string& rloc);

}  // namespace ambervale
