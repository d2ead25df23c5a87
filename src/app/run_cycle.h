#pragma once

// The run cycle: Timer1 ticks every second, counts down [TIMER] COUNTER seconds on the window
// and starts the distribution run inside the tick when the count runs out; and the orderly
// stop, Form_Unload's two-phase close. It is also the window's event handler: a close request
// goes to Form_Unload, a double-click on the action list to lstActionLog_DblClick, the Cancel
// button to cmdCancel_Click.
//
// Rules that keep the cycle sound:
//  - A run never starts inside a running one, nor inside a close: ticks delivered while a run or
//    Form_Unload lets pending window events run are dropped (the event loops drop the ones
//    inside a tick already; the tick handler checks too).
//  - A tick that begins with a stop already requested starts no run; it stops the timer and
//    unloads the window.
//  - The window state read at the end of every tick is "the window has not been unloaded";
//    a tick that arrives after the unload (a timer event already queued) only stops the timer.
//  - The second phase of the close (the 5-second wait and the end) never runs inside a run or
//    inside start-up: a close request there only sets the stop flag (the first one) or is
//    ignored (later ones), and the tick that follows the run unloads the window.
//  - A run that ends the program (a lost host, a failed sign-on, the unticketed run's end) is
//    the last thing the cycle does: no countdown, no closing lines, no further run; the timer
//    stops and the event loop quits with the end's exit code.
//
// Neither argument is owned; both must outlive the cycle. Single-threaded.

#include <cstdint>
#include <functional>

#include "app/front_end.h"
#include "form/frm_main.h"
#include "platform/program_end.h"

namespace ambervale {

class RunCycle : public WindowEvents {
 public:
  // `move_queue` is the distribution run (MoveQueue), returning the end of the program when
  // the run ends it. Registers itself as the window's event handler.
  RunCycle(frmMain& form, FrontEnd& front_end, std::function<ProgramEnd()> move_queue);
  ~RunCycle() override;
  RunCycle(const RunCycle&) = delete;
  RunCycle& operator=(const RunCycle&) = delete;

  // Timer1.Enabled = True: a tick every 1000 ms from the event loop.
  void EnableTimer();
  bool timer_enabled() const { return timer_enabled_; }
  // Calls MoveQueue at once, outside any tick (the unticketed run of start-up). Returns the
  // run's end of the program.
  [[nodiscard]] ProgramEnd RunNow();

  // Start-up is running (close requests only set the stop flag meanwhile).
  void set_loading(bool loading) { loading_ = loading; }
  // After `runs` runs (0: never) the program stops as if the window had been closed: the tick
  // of the last run requests the close, the next tick unloads.
  void set_max_runs(int runs) { max_runs_ = runs; }
  int runs() const { return runs_; }
  // Form_Unload let the window close; the event loop has been told to quit.
  bool unloaded() const { return unloaded_; }
  // The end a run returned; the event loop has been told to quit with its exit code.
  const ProgramEnd& end() const { return end_; }

  // The tick handler. Every tick tells the service watchdog that the program is alive.
  void Timer1_Timer();
  // The window's close handler. Cancel = 1 keeps the window open.
  void Form_Unload(int16_t* Cancel);

  // WindowEvents.
  void OnCloseRequest() override;
  void OnActionLogDoubleClick() override;
  void OnCancelClick(bool confirmed) override;

  static constexpr int kTimerIntervalMs = 1000;
  static constexpr int64_t kCloseWaitMs = 5000;

 private:
  void StopTimer();
  ProgramEnd RunMoveQueue();
  void ShowCountdown(int remaining);
  // Form_Unload; when it lets the window close: close it, stop the timer, quit the loop.
  void Unload();

  frmMain& form_;
  FrontEnd& front_end_;
  std::function<ProgramEnd()> move_queue_;
  ProgramEnd end_;
  bool timer_enabled_ = false;
  bool in_tick_ = false;
  bool in_run_ = false;
  bool in_unload_ = false;
  bool loading_ = false;
  bool unloaded_ = false;
  int max_runs_ = 0;
  int runs_ = 0;
};

}  // namespace ambervale
