#pragma once

// The tries of one move entry ("QEB/"): the host may refuse a move, so the entry is sent up to
// kMoveTries times until its answer shows the move done. Each caller sends (and logs) the entry
// its own way and judges the answer by its own rule.

#include <functional>

#include "platform/program_end.h"

namespace ambervale {

inline constexpr int kMoveTries = 3;

// Up to `tries` rounds of `send` (one move entry) then `moved` (its answer judged, into its
// argument); `placed` true at the first round judged moved, false when none was. Returns at once
// the end of the program either of them returns.
[[nodiscard]] ProgramEnd TryMove(const std::function<ProgramEnd()>& send,
                                 const std::function<ProgramEnd(bool*)>& moved, bool* placed,
                                 int tries = kMoveTries);

}  // namespace ambervale
