#pragma once

// Putting a PNR that cannot reach its agents on the Fail Queue of its source PCC
// ([FailQueue] FailQueueNo and category), with its Fail Queue Log row; when even that move is
// refused the PNR gets a notepad remark asking for manual handling and an alert is mailed.

#include <string_view>

#include "failqueue/fail_queue_log.h"
#include "host/session.h"
#include "model/rows.h"

namespace ambervale {

// Moves the PNR `rloc` now shown (taken from `queueAddress` of `pcc`) to the Fail Queue. The
// Fail Queue Log row (pcc, queueAddress, fail queue, fail category, rloc, time, reason,
// valuesRead) is written before the first move entry, so that a PNR never reaches the Fail
// Queue without its row; it is written whether or not the move then succeeds. A row that cannot
// be written stops the move: no move entry is sent, the reason goes to the action and debug
// logs, and it counts as a failed Fail Queue move. `foundBy` is not used. True when the move was
// confirmed (or the host has gone on to another PNR); the caller ignores the PNR otherwise.
// `task` is the task row that decided (its queue number names the "QPB*" banner). `moved`
// receives the outcome; returns the end of the program when the host was lost, at once.
[[nodiscard]] ProgramEnd MoveToFailQueue(Session& session, FailQueueLog& log,
                                         const clsFromQueue& task, std::string_view pcc,
                                         std::string_view queueAddress, std::string_view rloc,
                                         std::string_view reason, std::string_view foundBy,
                                         std::string_view valuesRead, bool* moved);

}  // namespace ambervale
