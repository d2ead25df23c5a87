#pragma once

// frmMain: the program-wide state (settings, tables, counters, flags and lists, all living
// for the whole process) and the operations every part of the program calls to report
// progress: AddActionLog, ShowStatus, RefreshCounters, and the window's own handlers.
//
// One frmMain exists per process; it is created first and destroyed last. It does not own
// the Env, the Window or the Logs it is given; they must outlive it. Single-threaded: every
// call comes from the program's one thread.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "form/service_status.h"
#include "form/window.h"
#include "logs/logs.h"
#include "model/rows.h"
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

class frmMain {
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
  // strPNRMoveMode upper-cased is "UTK".
  bool IsUnticketedMode() const;

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
  // Sets the eight counters below to 0 (not shown until RefreshCounters).
  void ResetCounters();
  // Shows the selected action-list line in a box titled "Action Log Message".
  void lstActionLog_DblClick();
  // Asks whether to cancel the unticketed run; on Yes in the unticketed mode sets strErrMsg
  // to the cancel text (with the operator's name) and blnStopRequested. `confirmed` skips
  // the question (console Ctrl-C without a terminal).
  void cmdCancel_Click(bool confirmed = false);

  // Settings read at start-up (values as validated; see the settings reader).
  int32_t log_file_size = 0;  // [LOG] LOGFILESIZE
  int16_t intTimerCounter = 0;
  std::string strUserName;
  std::string strAgentID;
  std::string strDebugString;
  bool blnMustMove = false;
  bool blnTAUCheck = false;
  std::string strTAUDate;
  std::string strPNRMoveMode;
  std::string UTKToQueue;
  std::string taskMainFile;
  std::string FailQueueNo;
  std::string FailQueueCategory;
  bool FailQueueActivated = false;
  std::string EmailAlert1;
  std::string EmailAlert2;
  std::string EmailAlert3;
  bool SendEmailAfterEveryIteration = false;

  // Tables, filled once at start-up (the Fail Queue tables at the first run).
  TaskTable dictFmtoMapping;
  AgentMapping dictAgentMapping;
  FailQueueTable dictFailQueueMapping;
  FailQueueTable dictFailPCCMapping;
  int16_t LogFailedQueue = 0;

  // Current rows.
  clsAgentQueue ToAgent;

  // Counters (32-bit signed; the wrap rule belongs to the runs).
  int32_t intSuccessCount = 0;
  int32_t intSuccessSubCount = 0;
  int32_t intFailCount = 0;
  int32_t intFailSubCount = 0;
  int32_t lngSuccessOrgQ2FailQCount = 0;
  int32_t lngFailOrgQ2FailQCount = 0;
  int32_t lngSuccessFromFail2OrgQCount = 0;
  int32_t lngFailFromFail2OrgQCount = 0;

  // Lists of the configuration cross-checks.
  std::string TaskMainPCCList;
  std::string TaskMainQueueList;
  std::string MappingPCCList;
  std::string MappingQueueList;

  // Flags and run state.
  bool MoveFailPNR = true;
  std::string tmpCurrentPCC;
  std::string strErrMsg;
  std::vector<std::string> colReportLines;
  bool blnStopRequested = false;
  int16_t intTick = 0;

 private:
  Env& env_;
  Window& window_;
  Logs& logs_;
  NoServiceStatus no_service_status_;
  ServiceStatus* service_status_ = &no_service_status_;
};

}  // namespace ambervale
