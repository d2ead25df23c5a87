#pragma once

// The program-wide state frmMain holds, in four groups: the settings read once at start-up,
// the tables loaded from the configuration, the eight run counters and the state of the run
// in progress. frmMain derives from all four, so every field keeps its name
// (form.strAgentID), while a function that needs only one group takes that group
// (TaskKey(const FormSettings&, ...)) and any frmMain can be passed to it.

#include <cstdint>
#include <string>
#include <vector>

#include "model/rows.h"

namespace ambervale {

// Settings read at start-up (values as validated; see the settings reader); not changed
// after start-up.
struct FormSettings {
  // strPNRMoveMode upper-cased is "UTK".
  [[nodiscard]] bool IsUnticketedMode() const;

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
};

// Tables, filled once at start-up (the Fail Queue tables at the first run), and the lists of
// the configuration cross-checks.
struct FormTables {
  TaskTable dictFmtoMapping;
  AgentMapping dictAgentMapping;
  FailQueueTable dictFailQueueMapping;
  FailQueueTable dictFailPCCMapping;
  int16_t LogFailedQueue = 0;

  std::string TaskMainPCCList;
  std::string TaskMainQueueList;
  std::string MappingPCCList;
  std::string MappingQueueList;
};

// The run counters (32-bit signed; the wrap rule belongs to the runs), reset as one.
struct FormCounters {
  int32_t intSuccessCount = 0;
  int32_t intSuccessSubCount = 0;
  int32_t intFailCount = 0;
  int32_t intFailSubCount = 0;
  int32_t lngSuccessOrgQ2FailQCount = 0;
  int32_t lngFailOrgQ2FailQCount = 0;
  int32_t lngSuccessFromFail2OrgQCount = 0;
  int32_t lngFailFromFail2OrgQCount = 0;
};

// The current rows, flags and lists of the run in progress.
struct FormRunState {
  clsAgentQueue ToAgent;
  bool MoveFailPNR = true;
  std::string tmpCurrentPCC;
  std::string strErrMsg;
  std::vector<std::string> colReportLines;
  bool blnStopRequested = false;
  int16_t intTick = 0;
};

}  // namespace ambervale
