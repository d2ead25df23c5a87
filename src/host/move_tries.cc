#include "host/move_tries.h"

namespace ambervale {

ProgramEnd TryMove(const std::function<ProgramEnd()>& send,
                   const std::function<ProgramEnd(bool*)>& moved, bool* placed, int tries) {
  *placed = false;
  for (int t = 0; t < tries; ++t) {
    if (ProgramEnd end = send()) return end;
    if (ProgramEnd end = moved(placed)) return end;
    if (*placed) return ProgramEnd::GoOn();
  }
  return ProgramEnd::GoOn();
}

}  // namespace ambervale
