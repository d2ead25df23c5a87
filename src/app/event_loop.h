#pragma once

// The program's event loop with its one repeating timer (Timer1). The Qt window runs it on
// Qt's loop; the console window runs its own, waiting through Env so tests take no time.

#include <functional>

namespace ambervale {

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Calls `on_tick` every `interval_ms` milliseconds from the loop; an interval of 0 stops
  // the timer. A tick is never delivered while `on_tick` is still running.
  virtual void SetTimer(int interval_ms, std::function<void()> on_tick) = 0;
  // Runs until Quit; returns the code given to Quit.
  virtual int Exec() = 0;
  virtual void Quit(int exit_code) = 0;
};

}  // namespace ambervale
