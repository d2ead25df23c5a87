#pragma once

// frmMain: the program-wide state (settings, tables, counters and the run's state, each a
// group of form/form_state.h, all living for the whole process) and the operations every part of
// the program calls to report progress: AddActionLog, ShowStatus, RefreshCounters, and the window's
// own handlers.
//
// One frmMain exists per process; it is created first and destroyed last. It does not own
// the Env, the Window or the Logs it is given; they must outlive it. Single-threaded: every
// call comes from the program's one thread.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "form/form_state.h"
#include "form/service_status.h"
#include "form/window.h"
#include "logs/logs.h"
#include "platform/env.h"
#include "platform/file_system.h"

namespace ambervale {

inline constexpr std::string_view kProgramTitle = "Ambervale";
inline constexpr std::string_view kVersionCaption = "(Version 12.0.0415.0)";

// The stages of a run as the window's status labels show them.
enum class Stage {
  kCountdown,     // lblCountDown: the countdown to the next run
  kPeekQueue,     // lblPeekQueue: a queue is looked at
  kRetrieveData,  // lblRetrieveDataFromQueue: a PNR is retrieved
  kCheckNewData,  // lblMoveQueue: a PNR is about to be moved
};

class frmMain : public FormSettings, public FormTables, public FormCounters, public FormRunState {
 public:
  frmMain(Env& env, Window& window, Logs& logs);
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  Env& env() { return env_; }
  Window& window() { return window_; }
  Logs& logs() { return logs_; }
  // The program's files: the file system its logs were given.
  FileSystem& files() { return logs_.files(); }
  // What the service manager is told (nothing until set_service_status).
  ServiceStatus& service_status() { return *service_status_; }
  // `status` is not owned and must outlive this object; nullptr tells nobody again.
  void set_service_status(ServiceStatus* status) {
    service_status_ = status != nullptr ? status : &no_service_status_;
  }
  // Program folder + "/settings.ini".
  std::string SettingsPath() const;
  // The groups of the state, for a function that takes only one.
  [[nodiscard]] const FormSettings& settings() const { return *this; }
  [[nodiscard]] FormCounters& counters() { return *this; }

  // Writes "yyyy/mm/dd hh:mm:ss - " + msg to the action list (unless logActionLog; the list
  // keeps at most 101 lines and selects the newest) and always to one file: the run-log
  // family member of `fname` when it is not empty, else the action log file.
  void AddActionLog(std::string_view msg, std::string_view fname = "", bool logActionLog = false);
  // Highlights the label of `stage` (kCountdown also sets "Count down" + text on
  // lblCountDown), greys the others, then lets pending window events run.
  void ShowStatus(Stage stage, std::string_view text = "");
  // Shows the eight counters (sub-counts as "(n)" when at least 1), main counters bold, and
  // hands their line (CountersText) to the service status.
  void RefreshCounters();
  // Sets the eight counters to 0 (not shown until RefreshCounters).
  void ResetCounters();
  // Shows the selected action-list line in a box titled "Action Log Message".
  void lstActionLog_DblClick();
  // Asks whether to cancel the unticketed run; on Yes in the unticketed mode sets strErrMsg
  // to the cancel text (with the operator's name) and blnStopRequested. `confirmed` skips
  // the question (console Ctrl-C without a terminal).
  void cmdCancel_Click(bool confirmed = false);

 private:
  Env& env_;
  Window& window_;
  Logs& logs_;
  NoServiceStatus no_service_status_;
  ServiceStatus* service_status_ = &no_service_status_;
};

}  // namespace ambervale
