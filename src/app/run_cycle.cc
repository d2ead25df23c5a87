#include "app/run_cycle.h"

#include <exception>
#include <limits>
#include <string>
#include <utility>

#include "config/settings.h"

namespace ambervale {
namespace {

// Sets a flag for the lifetime of a scope.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

RunCycle::RunCycle(frmMain& form, FrontEnd& front_end, std::function<ProgramEnd()> move_queue)
    : form_(form), front_end_(front_end), move_queue_(std::move(move_queue)) {
  front_end_.window().SetEventHandler(this);
}

RunCycle::~RunCycle() {
  StopTimer();
  front_end_.window().SetEventHandler(nullptr);
}

void RunCycle::EnableTimer() {
  front_end_.loop().SetTimer(kTimerIntervalMs, [this] { Timer1_Timer(); });
  timer_enabled_ = true;
}

void RunCycle::StopTimer() {
  if (!timer_enabled_) return;
  timer_enabled_ = false;
  front_end_.loop().SetTimer(0, nullptr);
}

ProgramEnd RunCycle::RunNow() {
  // The operator sees the run's progress and can cancel it.
  front_end_.Show();
  if (ProgramEnd end = RunMoveQueue()) return end;
  // The unticketed run ends the program; should it ever go on, the program closes as after a
  // stop instead of idling without a timer.
  if (!unloaded_) {
    form_.blnStopRequested = true;
    Unload();
  }
  return ProgramEnd::GoOn();
}

ProgramEnd RunCycle::RunMoveQueue() {
  FlagScope running(in_run_);
  ++runs_;
  try {
    end_ = move_queue_();
  } catch (const std::exception& e) {
    form_.logs().WriteDebugLog(
        DebugStopText(form_.env().LocalNow(),
                      ". The run stopped on an unexpected error: " + std::string(e.what())));
  }
  return end_;
}

void RunCycle::ShowCountdown(int remaining) {
  form_.ShowStatus(Stage::kCountdown, " (" + std::to_string(remaining) + ")");
}

void RunCycle::Timer1_Timer() {
  // Delivered while a run or Form_Unload lets events run: dropped, so that no run starts inside
  // a close and the closing lines are written once.
  if (in_tick_ || in_run_ || in_unload_) return;
  if (unloaded_ || end_) {
    StopTimer();
    return;
  }
  FlagScope ticking(in_tick_);
  form_.service_status().Watchdog();
  const bool stop_requested_before = form_.blnStopRequested;
  if (form_.intTick < std::numeric_limits<int16_t>::max()) ++form_.intTick;
  ShowCountdown(form_.intTimerCounter - form_.intTick);
  bool ran = false;
  if (form_.intTick >= form_.intTimerCounter && !stop_requested_before) {
    form_.intTick = 0;
    if (ProgramEnd end = RunMoveQueue()) {
      StopTimer();
      front_end_.loop().Quit(end.exit_code());
      return;
    }
    ran = true;
    if (form_.blnStopRequested) StopTimer();
    ShowCountdown(form_.intTimerCounter);
  }
  if (form_.blnStopRequested || unloaded_) {
    StopTimer();
    Unload();
    return;
  }
  if (ran && max_runs_ > 0 && runs_ >= max_runs_) OnCloseRequest();
}

void RunCycle::Form_Unload(int16_t* Cancel) {
  FlagScope unloading(in_unload_);
  if (!form_.blnStopRequested) {
    *Cancel = 1;
    form_.AddActionLog("Please wait ......");
    form_.window().DoEvents();
  } else {
    form_.AddActionLog("Ambervale will stop in 2 seconds.");
    form_.logs().WriteActionLogFile(" ");
    form_.window().DoEvents();
    form_.logs().CloseActionLogFile();
    form_.env().SleepMs(kCloseWaitMs);
  }
  form_.blnStopRequested = true;
}

void RunCycle::Unload() {
  int16_t cancel = 0;
  Form_Unload(&cancel);
  if (cancel != 0) return;
  unloaded_ = true;
  StopTimer();
  front_end_.Close();
  front_end_.loop().Quit(0);
}

void RunCycle::OnCloseRequest() {
  if (in_unload_ || unloaded_ || end_) return;
  // Inside a run, a tick or start-up only the first request counts: it sets the stop flag and
  // the tick after the run unloads the window.
  if (form_.blnStopRequested && (in_run_ || in_tick_ || loading_)) return;
  Unload();
}

void RunCycle::OnActionLogDoubleClick() { form_.lstActionLog_DblClick(); }

void RunCycle::OnCancelClick(bool confirmed) { form_.cmdCancel_Click(confirmed); }

}  // namespace ambervale
