#pragma once

// Reading and validating the start-up settings of settings.ini. Every reader returns either
// the value to store or the start-up stop to perform; it writes nothing and shows nothing, so
// the start-up sequence applies the stops in its own order:
//   1. write each StopLine (a debug line formatted by DebugStopText, a run-log line through
//      AddActionLog with the run-log prefix, kept off the screen);
//   2. show box_text with the given buttons and icon and wait for it;
//   3. end the program.
// All values are trimmed of blanks; every key is read with an empty default, so a missing key
// and an empty value are the same.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "form/window.h"
#include "platform/env.h"
#include "platform/ini.h"

namespace ambervale {

// One log line of a stop.
struct StopLine {
  enum Kind { kDebug, kRunLog };
  Kind kind = kDebug;
  std::string text;
  // Debug lines only: whether the line ends in " #####".
  bool closing = true;

  friend bool operator==(const StopLine&, const StopLine&) = default;
};

// "##### " + "yyyy/mm/dd" + " " + "hh:mm:ss" + detail + (closing ? " #####" : "").
[[nodiscard]] std::string DebugStopText(const CivilTime& now, std::string_view detail,
                                        bool closing = true);

// A stop of the start-up: its log lines in order, then one message box, then the end.
struct StartupStop {
  std::vector<StopLine> lines;
  std::string box_text;
  BoxButtons buttons = BoxButtons::kOk;
  BoxIcon icon = BoxIcon::kNone;

  friend bool operator==(const StartupStop&, const StartupStop&) = default;
};

// A value or the stop that replaces it.
template <typename T>
using SettingOrStop = std::variant<T, StartupStop>;

// A key of settings.ini.
struct SettingKey {
  std::string_view section;
  std::string_view key;
};

inline constexpr SettingKey kLogFileSizeKey{"LOG", "LOGFILESIZE"};
inline constexpr SettingKey kCounterKey{"TIMER", "COUNTER"};
inline constexpr SettingKey kUserNameKey{"USER", "NAME"};
inline constexpr SettingKey kAgentIdKey{"AGENT", "ID"};
inline constexpr SettingKey kDebugStringKey{"DebugMode", "debugString"};
inline constexpr SettingKey kMustMoveKey{"MOVE", "MUSTMOVE"};
inline constexpr SettingKey kTauCheckKey{"TAU", "TAUCHECK"};
inline constexpr SettingKey kTauDateKey{"TAU", "DATE"};
inline constexpr SettingKey kPnrModeKey{"MOVEMODE", "PNRMODE"};
inline constexpr SettingKey kDestQueueKey{"ToQueue", "DestQueue"};
inline constexpr SettingKey kTaskMaintainKey{"FILE", "TASKMAINTAIN"};
inline constexpr SettingKey kFailQueueNoKey{"FailQueue", "FailQueueNo"};
inline constexpr SettingKey kFailQueueCategoryKey{"FailQueue", "FailQueueCategoryNo"};
inline constexpr SettingKey kPccCheckKey{"Others", "PCCCheck"};
inline constexpr SettingKey kSendEmailAfterEveryIterationKey{"Others",
                                                             "SendEmailAfterEveryIteration"};
inline constexpr SettingKey kFailQueueActivatedKey{"FailQueue", "FailQueueActivated"};
inline constexpr SettingKey kEmailAlert1Key{"FailQueue", "EmailAlert1"};
inline constexpr SettingKey kEmailAlert2Key{"FailQueue", "EmailAlert2"};
inline constexpr SettingKey kEmailAlert3Key{"FailQueue", "EmailAlert3"};

// The trimmed value of a key (empty when missing).
[[nodiscard]] std::string ReadSetting(const clsINI& ini, const std::string& ini_path,
                                      SettingKey key);
// The trimmed value in upper case (debugString, PNRMODE).
[[nodiscard]] std::string ReadUpperSetting(const clsINI& ini, const std::string& ini_path,
                                           SettingKey key);
// Yes/no: true only for "Y" in either case, after trimming.
[[nodiscard]] bool IsYes(std::string_view value);
[[nodiscard]] bool ReadYesNoSetting(const clsINI& ini, const std::string& ini_path, SettingKey key);

// The checked settings. A number that passes the numeric test but lies outside its integer
// type stops the program as a non-numeric one does, so no variable holds a meaningless value.
// S1: [LOG] LOGFILESIZE, a 32-bit number (no log lines: the logs are not usable yet).
[[nodiscard]] SettingOrStop<int32_t> ReadLogFileSize(const clsINI& ini,
                                                     const std::string& ini_path);
// S2: [TIMER] COUNTER, a 16-bit number.
[[nodiscard]] SettingOrStop<int16_t> ReadCounter(const clsINI& ini, const std::string& ini_path);
// S3, S4, S5: [USER] NAME, [AGENT] ID, [TAU] DATE, not empty.
[[nodiscard]] SettingOrStop<std::string> ReadUserName(const clsINI& ini,
                                                      const std::string& ini_path);
[[nodiscard]] SettingOrStop<std::string> ReadAgentId(const clsINI& ini,
                                                     const std::string& ini_path);
[[nodiscard]] SettingOrStop<std::string> ReadTauDate(const clsINI& ini,
                                                     const std::string& ini_path);
// S11: [FailQueue] EmailAlert1, not empty (read only when the Fail Queue is active).
[[nodiscard]] SettingOrStop<std::string> ReadEmailAlert1(const clsINI& ini,
                                                         const std::string& ini_path);

// The stops themselves, for tests and for callers that check values read elsewhere.
[[nodiscard]] StartupStop LogFileSizeStop();  // S1
[[nodiscard]] StartupStop CounterStop();      // S2
[[nodiscard]] StartupStop UserNameStop();     // S3
[[nodiscard]] StartupStop AgentIdStop();      // S4
[[nodiscard]] StartupStop TauDateStop();      // S5
[[nodiscard]] StartupStop EmailAlert1Stop();  // S11

// The stops of the file checks of the start-up. S6: `value` is the trimmed TASKMAINTAIN value;
// its debug line has no closing " #####". S10: `duplicate_result` is what the mapping
// duplicate check returned.
[[nodiscard]] StartupStop TaskFileNotFoundStop(std::string_view value);              // S6
[[nodiscard]] StartupStop TaskFileErrorsStop();                                      // S7
[[nodiscard]] StartupStop TaskFileRepeatedStop();                                    // S8
[[nodiscard]] StartupStop MappingFileErrorsStop();                                   // S9
[[nodiscard]] StartupStop MappingDuplicatesStop(std::string_view duplicate_result);  // S10
// settings.ini missing: a plain box, no log lines (the logs are not usable yet).
[[nodiscard]] StartupStop SettingsMissingStop();
// The sign-on failed twice in the distribution mode: an information box, no log lines.
[[nodiscard]] StartupStop SignInFailedStop();

// Fail Queue values (trimmed), checked only in the distribution mode with the Fail Queue
// active. Number: two digits, 26 to 99 (the text goes into host entries and queue lists as it
// is written, so "26.0", "+30" or " 3e1" are refused). Category: empty, or "C" followed by one
// digit, two digits or two upper-case letters; case-sensitive.
[[nodiscard]] bool IsValidFailQueueNo(std::string_view number);
[[nodiscard]] bool IsValidFailQueueCategory(std::string_view category);

// The outcome of the Fail Queue check: the log lines written while checking, in order, and,
// when the program must end, the stop to perform after them.
struct FailQueueValidation {
  std::vector<StopLine> lines;
  std::optional<StartupStop> stop;

  friend bool operator==(const FailQueueValidation&, const FailQueueValidation&) = default;
};
[[nodiscard]] FailQueueValidation ValidateFailQueue(std::string_view number,
                                                    std::string_view category);

// With the Fail Queue inactive, an empty number becomes "##", which no queue list can hold.
[[nodiscard]] std::string InactiveFailQueueNo(std::string_view number);
// The run-log line of an inactive Fail Queue: "Fail Queue " + number + "/" + category +
// " Disabled -", or without "/" + category when the category is empty.
[[nodiscard]] std::string FailQueueDisabledLine(std::string_view number, std::string_view category);

}  // namespace ambervale
