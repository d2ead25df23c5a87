#include "host/move_tries.h"

namespace ambervale {

bool TryMove(const std::function<void()>& send, const std::function<bool()>& moved, int tries) {
  for (int t = 0; t < tries; ++t) {
    send();
    if (moved()) return true;
  }
  return false;
}

}  // namespace ambervale
