#pragma once

// The entries and answers of moving a PNR to its agents' queues: the destination list of the
// logs, the "QEB/" entry, the reference text of the "QPB*" banner and the check of the host's
// answer.

#include <string>
#include <string_view>
#include <vector>

#include "host/host_layer.h"
#include "model/rows.h"

namespace ambervale {

// For every agent in order: fldDestPCC + " Queue " + fldQueueNo, then " Category " +
// fldCatagory when there is one, then CR LF.
[[nodiscard]] std::string BuildDestinationList(const std::vector<clsAgentQueue>& found);

// BuildDestinationList on one line: its first (size - 1) line breaks become ", " and, when
// `drop_last_break`, the last one goes too ("P1 Queue 12, P2 Queue 5 Category 3").
[[nodiscard]] std::string DestinationLine(const std::vector<clsAgentQueue>& found,
                                          bool drop_last_break);

// An agent's queue as move entries name it: fldDestPCC + "/" + fldQueueNo, then "*" +
// fldCatagory when there is one.
[[nodiscard]] std::string AgentQueue(const clsAgentQueue& agent);

// "QEB/" + the agents' queues joined by "+", each fldDestPCC + "/" + fldQueueNo, then "*" +
// fldCatagory when there is one: agents (P1, 12, 3) and (P2, 5) give QEB/P1/12*3+P2/5.
[[nodiscard]] std::string BuildMoveEntry(const std::vector<clsAgentQueue>& found);

// The move to the Fail Queue of `pcc`: "QEB/" + pcc + "/" + FailQueueNo, then "*" +
// FailQueueCategory when the category is not blank.
[[nodiscard]] std::string FailQueueEntry(const FormSettings& form, std::string_view pcc);

// Characters 4 to 27 of a "QPB*" display, trimmed: the queue's banner.
[[nodiscard]] std::string ReferenceText(std::string_view screen);

// Whether the answer to a "QEB/" entry confirms the move of `rloc`: line 0 holds
// "ON QUEUE- " + rloc, or line 1 holds the reference text (both ignoring case). An empty
// reference text (a blank banner) confirms nothing: a refused move must not count as moved.
[[nodiscard]] bool MoveConfirmed(HostLayer& host, std::string_view rloc,
                                 std::string_view reference);

// What became of one "QEB/" entry.
enum class MoveAnswer {
  kConfirmed,   // the answer confirms the move (MoveConfirmed)
  kHostWentOn,  // unconfirmed, but the locator display shows another PNR or "QUEUE EMPTY"
  kNotMoved,    // the PNR is still on screen (or nothing shows that it left)
};

// Judges the answer to the "QEB/" entry just sent for `rloc`. An unconfirmed answer is
// followed by the locator display ("*R"): a host that moved the PNR without confirming it
// already shows the next one, and a further try would move that next PNR instead. `answer`
// receives the screen of the move entry, `result` the judgement. Returns the end of the
// program when the host was lost.
[[nodiscard]] ProgramEnd CheckMove(HostLayer& host, std::string_view rloc,
                                   std::string_view reference, std::string* answer,
                                   MoveAnswer* result);

// `text` with its first `count` occurrences of `find` replaced by `with`.
[[nodiscard]] std::string ReplaceFirst(std::string_view text, std::string_view find,
                                       std::string_view with, size_t count);

}  // namespace ambervale
