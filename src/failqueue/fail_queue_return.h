#pragma once

// The return from the Fail Queue: once after each start of the program, before the first
// distribution run works its tasks, every Fail Queue named by the loaded Fail Queue Log is
// walked on the host; each PNR found there that the log knows goes back to the queue it came
// from ("QEB/" + PCC + "/" + its source queue). Successes and failures are counted on the
// window, every failure is mailed, everything is logged.
//
// Each Fail Queue (PCC, number, category) is walked once, however many log keys name it; a
// queue whose walk ends (count reached, queue empty, the first PNR that could not be placed back
// comes round) hands over to the next key. PNRs that go back are marked in the FailQueueLog, and
// so are those whose Fail Queues all count 0 (they left some other way), so that
// StartFailQueueLog drops only their rows: every other row stays, whatever ended the walk.

#include "failqueue/fail_queue_log.h"
#include "host/session.h"
#include "host/sign_on.h"
#include "platform/program_end.h"

namespace ambervale {

// Walks the Fail Queues of form.dictFailQueueMapping (filled by LoadFailQueueLog). Returns the
// end of the program (exit code 1, after the alert) when the host is not signed on and the
// sign-on fails. Returns at once, after "QX+I", when a stop is requested.
[[nodiscard]] ProgramEnd MoveFailQueue(Session& session, FailQueueLog& log);

}  // namespace ambervale
