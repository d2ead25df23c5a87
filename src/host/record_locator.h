#pragma once

#include <string>
#include <string_view>

#include "host/host_layer.h"

namespace ambervale {

// Sends "*R" and returns the record locator of the PNR now on screen, "NO B.F.",
// "QUEUE EMPTY", or an empty text when no line carries a locator (a line whose first "/" is at
// character 7). When `agentsine` is given it receives characters 8 and 9 of the locator line
// (left unchanged when there is none). A busy answer is followed by "*R" again (SendEntry).
// The answer goes to `rloc`; returns the end of the program when the host was lost.
[[nodiscard]] ProgramEnd GetRLocByTeCommand(HostLayer& host, std::string* rloc,
                                            std::string* agentsine = nullptr);

// Whether `now`, the GetRLocByTeCommand answer read after moves of `rloc` went unconfirmed,
// shows that the host has gone on (so the move happened): another record locator, or
// "QUEUE EMPTY". An answer without a locator (signed out, a refused display) or "NO B.F." is
// not another PNR: nothing shows that the PNR left its queue.
[[nodiscard]] bool ShowsAnotherPnr(std::string_view now, std::string_view rloc);

}  // namespace ambervale
