#pragma once

// The tries of one move entry ("QEB/"): the host may refuse a move, so the entry is sent up to
// kMoveTries times until its answer shows the move done. Each caller sends (and logs) the entry
// its own way and judges the answer by its own rule.

#include <functional>

namespace ambervale {

inline constexpr int kMoveTries = 3;

// Up to `tries` rounds of `send` (one move entry) then `moved` (its answer judged); true at the
// first round judged moved, false when none was.
[[nodiscard]] bool TryMove(const std::function<void()>& send, const std::function<bool()>& moved,
                           int tries = kMoveTries);

}  // namespace ambervale
