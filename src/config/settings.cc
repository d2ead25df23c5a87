#include "config/settings.h"

#include "platform/classic_text.h"

namespace ambervale {
namespace {

const std::string kCrLfText(kCrLf);

StopLine Debug(std::string text, bool closing = true) {
  return StopLine{StopLine::kDebug, std::move(text), closing};
}

StopLine RunLog(std::string text) { return StopLine{StopLine::kRunLog, std::move(text), true}; }

// The common shape of a settings stop: a debug line, a run-log line, an OK box.
StartupStop Stop(std::string debug, std::string run_log, std::string box,
                 BoxIcon icon = BoxIcon::kNone) {
  StartupStop stop;
  stop.lines = {Debug(std::move(debug)), RunLog(std::move(run_log))};
  stop.box_text = std::move(box);
  stop.icon = icon;
  return stop;
}

SettingOrStop<std::string> RequireText(std::string value, StartupStop (*stop)()) {
  if (value.empty()) return stop();
  return value;
}

bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr std::string_view kFailQueueNumberMissing =
    ". Fail Queue number not found in Settings.ini file";
constexpr std::string_view kFailQueueCategoryInvalid =
    ". VALID Fail Queue Category number not found in Settings.ini file";

StartupStop InvalidFailQueueBox(std::string_view what) {
  StartupStop stop;
  stop.box_text = "Value defined for " + std::string(what) + " is invalid." + kCrLfText +
                  "Please define a valid value for" + " " + std::string(what) +
                  " in Settings.ini file to continue.";
  stop.icon = BoxIcon::kCritical;
  return stop;
}

}  // namespace

std::string DebugStopText(const CivilTime& now, std::string_view detail, bool closing) {
  std::string out = "##### " + FormatDate(now) + " " + FormatTime(now);
  out.append(detail);
  if (closing) out.append(" #####");
  return out;
}

std::string ReadSetting(const clsINI& ini, const std::string& ini_path, SettingKey key) {
  return Trim(ini.ReadFromINI(key.section, key.key, "", ini_path));
}

std::string ReadUpperSetting(const clsINI& ini, const std::string& ini_path, SettingKey key) {
  return UCase(ReadSetting(ini, ini_path, key));
}

bool IsYes(std::string_view value) { return UCase(Trim(value)) == "Y"; }

bool ReadYesNoSetting(const clsINI& ini, const std::string& ini_path, SettingKey key) {
  return IsYes(ReadSetting(ini, ini_path, key));
}

SettingOrStop<int32_t> ReadLogFileSize(const clsINI& ini, const std::string& ini_path) {
  const std::optional<int32_t> size = ToInt32(ReadSetting(ini, ini_path, kLogFileSizeKey));
  if (!size) return LogFileSizeStop();
  return *size;
}

SettingOrStop<int16_t> ReadCounter(const clsINI& ini, const std::string& ini_path) {
  const std::optional<int16_t> counter = ToInt16(ReadSetting(ini, ini_path, kCounterKey));
  if (!counter) return CounterStop();
  return *counter;
}

SettingOrStop<std::string> ReadUserName(const clsINI& ini, const std::string& ini_path) {
  return RequireText(ReadSetting(ini, ini_path, kUserNameKey), &UserNameStop);
}

SettingOrStop<std::string> ReadAgentId(const clsINI& ini, const std::string& ini_path) {
  return RequireText(ReadSetting(ini, ini_path, kAgentIdKey), &AgentIdStop);
}

SettingOrStop<std::string> ReadTauDate(const clsINI& ini, const std::string& ini_path) {
  return RequireText(ReadSetting(ini, ini_path, kTauDateKey), &TauDateStop);
}

SettingOrStop<std::string> ReadEmailAlert1(const clsINI& ini, const std::string& ini_path) {
  return RequireText(ReadSetting(ini, ini_path, kEmailAlert1Key), &EmailAlert1Stop);
}

StartupStop LogFileSizeStop() {
  StartupStop stop;
  stop.box_text = "Error Reading Max log file size from Settings.ini";
  return stop;
}

StartupStop CounterStop() {
  return Stop(". Error Reading Counter from Settings.ini",
              "Error Reading Counter from Settings.ini", "Error Reading Counter from Settings.ini");
}

StartupStop UserNameStop() {
  return Stop(". Error Reading User Name from Settings.ini",
              "Error Reading User Name from Settings.ini",
              "Error Reading User Name from Settings.ini");
}

StartupStop AgentIdStop() {
  return Stop(". Error Reading Agent ID from Settings.ini",
              "Error Reading Agent ID from Settings.ini",
              "Error Reading Agent ID from Settings.ini");
}

StartupStop TauDateStop() {
  return Stop(". Error reading TAU time period from Settings.ini",
              "Error Reading TAU Period time from settings.ini.",
              " Error Reading TAU Period time from settings.ini.");
}

StartupStop EmailAlert1Stop() {
  return Stop(
      ". Email Alert1 not found in Settings.ini file. Please specify a valid email id to "
      "proceed.",
      "Email Alert1 not found in Settings.ini file.",
      "Email Alert1 not found in Settings.ini file." + kCrLfText +
          "Please specify a valid email id to proceed.",
      BoxIcon::kCritical);
}

StartupStop TaskFileNotFoundStop(std::string_view value) {
  const std::string quoted = "\"" + std::string(value) + "\"";
  StartupStop stop = Stop(". Task maintenance file " + quoted +
                              " cannot be found. Please check settings.ini and location of the "
                              "task maintenance file.",
                          "Please check settings.ini and location of the task maintenance file.",
                          "Task maintenance file " + quoted + " cannot be found." + kCrLfText +
                              "Please check settings.ini and location of the task maintenance "
                              "file.",
                          BoxIcon::kCritical);
  stop.lines[0].closing = false;
  return stop;
}

StartupStop TaskFileErrorsStop() {
  return Stop(". Errors are found in task maintenance. Please check or contact administrator.",
              "Errors are found in task maintenance.",
              "Errors are found in task maintenance." + kCrLfText +
                  "Please check or contact administrator.",
              BoxIcon::kCritical);
}

StartupStop TaskFileRepeatedStop() {
  return Stop(
      ". Repeated values in Task Maintenance file. Please correct the Task Maintenance file to "
      "continue.",
      "Repeated values in Task Maintenance file. Please correct the Task Maintenance file to "
      "continue.",
      "Repeated values in Task Maintenance file." + kCrLfText +
          "Please correct the Task Maintenance file to continue.",
      BoxIcon::kCritical);
}

StartupStop MappingFileErrorsStop() {
  return Stop(
      ". Errors are found in mapping file(s). Please check or contact administrator.",
      "Errors are found in mapping file(s).",
      "Errors are found in mapping file(s)." + kCrLfText + "Please check or contact administrator.",
      BoxIcon::kCritical);
}

StartupStop MappingDuplicatesStop(std::string_view duplicate_result) {
  return Stop(". Errors are found in mapping file(s). Please check or contact administrator. " +
                  std::string(duplicate_result),
              "Duplicated mapping entries are found in mapping file(s).",
              "Duplicated mapping entries are found in mapping file(s)." + kCrLfText +
                  "Please check or contact administrator.",
              BoxIcon::kCritical);
}

StartupStop SettingsMissingStop() {
  StartupStop stop;
  stop.box_text = "Settings.ini cannot be found." + kCrLfText +
                  "It must be located in the same path as Ambervale." + kCrLfText +
                  "Please check or contact administrator.";
  return stop;
}

StartupStop SignInFailedStop() {
  StartupStop stop;
  stop.box_text = "SIGN IN NOT SUCCESS";
  stop.icon = BoxIcon::kInformation;
  return stop;
}

bool IsValidFailQueueNo(std::string_view number) {
  if (number.size() != 2 || !IsDigit(number[0]) || !IsDigit(number[1])) return false;
  const int value = (number[0] - '0') * 10 + (number[1] - '0');
  return value >= 26 && value <= 99;
}

bool IsValidFailQueueCategory(std::string_view category) {
  switch (category.size()) {
    case 0:
      return true;
    case 2:
      return category[0] == 'C' && IsDigit(category[1]);
    case 3:
      return category[0] == 'C' && ((IsDigit(category[1]) && IsDigit(category[2])) ||
                                    (IsUpperLetter(category[1]) && IsUpperLetter(category[2])));
    default:
      return false;
  }
}

FailQueueValidation ValidateFailQueue(std::string_view number, std::string_view category) {
  FailQueueValidation out;
  if (number.empty()) {
    StartupStop stop;
    stop.icon = BoxIcon::kCritical;
    if (category.empty()) {
      stop.lines = {Debug(std::string(kFailQueueNumberMissing)),
                    RunLog("Value not defined for Fail Queue/Fail Queue Category.")};
      stop.box_text = "Value not defined for Fail Queue/Fail Queue Category." + kCrLfText +
                      "Please assign a value for Fail Queue/Fail Queue Category to proceed.";
    } else {
      stop.lines = {RunLog("Value not defined for Fail Queue."),
                    Debug(std::string(kFailQueueNumberMissing))};
      stop.box_text = "Value not defined for Fail Queue." + kCrLfText +
                      "Please assign a value for Fail Queue to proceed.";
    }
    out.stop = std::move(stop);
    return out;
  }

  const bool number_valid = IsValidFailQueueNo(number);
  if (!number_valid) {
    out.lines.push_back(RunLog("Value not defined for Fail Queue."));
    out.lines.push_back(Debug(std::string(kFailQueueNumberMissing)));
  }
  const bool category_valid = IsValidFailQueueCategory(category);
  if (!category_valid) {
    if (category.size() != 1) {
      out.lines.push_back(
          RunLog("Valid Fail Queue Category number not found in Settings.ini file."));
    }
    out.lines.push_back(Debug(std::string(kFailQueueCategoryInvalid)));
  }
  if (!number_valid && !category_valid) {
    out.stop = InvalidFailQueueBox("Fail Queue/Fail Queue Category");
  } else if (!number_valid) {
    out.stop = InvalidFailQueueBox("Fail Queue");
  } else if (!category_valid) {
    out.stop = InvalidFailQueueBox("Fail Queue Category");
  }
  return out;
}

std::string InactiveFailQueueNo(std::string_view number) {
  return number.empty() ? "##" : std::string(number);
}

std::string FailQueueDisabledLine(std::string_view number, std::string_view category) {
  std::string line = "Fail Queue " + std::string(number);
  if (!category.empty()) line += "/" + std::string(category);
  return line + " Disabled -";
}

}  // namespace ambervale
