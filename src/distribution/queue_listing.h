#pragma once

// The queue listing of a task: "QLD/" + pcc + "/" + queue address + "/TS" and its pages
// ("MR") and blocks of 100 ("TO SEE THE FIRST 100 BFS", "TO SEE THE NEXT 100 BFS"), each screen
// written to the queue-list log and the run log, between a line of hyphens and a closing line.

#include "distribution/run_state.h"
#include "host/session.h"

namespace ambervale {

// Paging stops at "END OF DISPLAY", and also when the host stops offering pages (an answer
// without a listing, such as "NOTHING TO SCROLL" or "SIGN IN", or the same screen again), so
// that a host that never ends its listing cannot hold the run. Returns the end of the program
// when the host was lost, at once.
[[nodiscard]] ProgramEnd ListQueue(Session& session, const TaskState& task);

}  // namespace ambervale
