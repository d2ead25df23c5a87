#pragma once

// Test doubles of the front end for the app's tests: a RecordingWindow (not owned) and an
// event loop whose timer ticks only when the test says so.

#include <functional>

#include "app/front_end.h"
#include "testing/recording_window.h"

namespace ambervale::testing {

// An event loop that delivers a tick only on Tick(). It has no guard of its own, so a tick
// delivered from inside the handler reaches the handler (which must drop it).
class ManualLoop : public EventLoop {
 public:
  void SetTimer(int interval_ms, std::function<void()> on_tick) override {
    interval_ms_ = interval_ms;
    on_tick_ = interval_ms > 0 ? std::move(on_tick) : nullptr;
  }
  int Exec() override { return exit_code_; }
  void Quit(int exit_code) override {
    quit_ = true;
    exit_code_ = exit_code;
  }

  // One timer tick; false when the timer is stopped.
  bool Tick() {
    if (interval_ms_ <= 0 || !on_tick_) return false;
    const auto tick = on_tick_;
    tick();
    return true;
  }
  bool quit() const { return quit_; }

 private:
  int interval_ms_ = 0;
  std::function<void()> on_tick_;
  bool quit_ = false;
  int exit_code_ = 0;
};

class TestFrontEnd : public FrontEnd {
 public:
  explicit TestFrontEnd(RecordingWindow& window) : window_(window) {}
  Window& window() override { return window_; }
  EventLoop& loop() override { return loop_; }
  void Show() override { ++shown_; }
  void Close() override { ++closed_; }

  ManualLoop& manual_loop() { return loop_; }
  int shown() const { return shown_; }
  int closed() const { return closed_; }

 private:
  RecordingWindow& window_;
  ManualLoop loop_;
  int shown_ = 0;
  int closed_ = 0;
};

}  // namespace ambervale::testing
