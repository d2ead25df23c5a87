#include "app/startup_settings.h"

#include <variant>

#include "platform/files.h"

namespace ambervale {
namespace {

// "[TIMER] COUNTER = "1m"": the setting and the value read, for the check's report.
std::string SettingText(const clsINI& ini, const std::string& ini_path, SettingKey key) {
  return "[" + std::string(key.section) + "] " + std::string(key.key) + " = \"" +
         ReadSetting(ini, ini_path, key) + "\"";
}

// Stores a read value, or hands its stop to `stops`.
template <typename T>
void Apply(const SettingOrStop<T>& read, T& target, const clsINI& ini, const std::string& ini_path,
           SettingKey key, StopSink& stops) {
  if (const T* value = std::get_if<T>(&read)) {
    target = *value;
  } else {
    stops.Stop(std::get<StartupStop>(read), "", SettingText(ini, ini_path, key));
  }
}

}  // namespace

void ReadLogSizeSetting(frmMain& form, const clsINI& ini, const std::string& ini_path,
                        StopSink& stops) {
  Apply(ReadLogFileSize(ini, ini_path), form.log_file_size, ini, ini_path, kLogFileSizeKey, stops);
  form.logs().SetSizeLimit(form.log_file_size);
}

void ReadRunSettings(frmMain& form, const clsINI& ini, const std::string& ini_path,
                     StopSink& stops) {
  Apply(ReadCounter(ini, ini_path), form.intTimerCounter, ini, ini_path, kCounterKey, stops);
  Apply(ReadUserName(ini, ini_path), form.strUserName, ini, ini_path, kUserNameKey, stops);
  Apply(ReadAgentId(ini, ini_path), form.strAgentID, ini, ini_path, kAgentIdKey, stops);
  form.strDebugString = ReadUpperSetting(ini, ini_path, kDebugStringKey);
  form.blnMustMove = ReadYesNoSetting(ini, ini_path, kMustMoveKey);
  form.blnTAUCheck = ReadYesNoSetting(ini, ini_path, kTauCheckKey);
  Apply(ReadTauDate(ini, ini_path), form.strTAUDate, ini, ini_path, kTauDateKey, stops);
  form.strPNRMoveMode = ReadUpperSetting(ini, ini_path, kPnrModeKey);
  form.UTKToQueue = ReadSetting(ini, ini_path, kDestQueueKey);
}

std::optional<std::string> ResolveTaskMaintenanceFile(frmMain& form, const clsINI& ini,
                                                      const std::string& ini_path,
                                                      StopSink& stops) {
  form.taskMainFile = ReadSetting(ini, ini_path, kTaskMaintainKey);
  const std::string& value = form.taskMainFile;
  if (!value.empty()) {
    if (FileExists(value)) return AbsolutePath(value);
    const std::string beside_program = JoinPath(form.env().ProgramFolder(), value);
    if (FileExists(beside_program)) return beside_program;
  }
  stops.Stop(TaskFileNotFoundStop(value), "", SettingText(ini, ini_path, kTaskMaintainKey));
  return std::nullopt;
}

void ReadFailQueueKeys(frmMain& form, const clsINI& ini, const std::string& ini_path) {
  form.FailQueueNo = ReadSetting(ini, ini_path, kFailQueueNoKey);
  form.FailQueueCategory = ReadSetting(ini, ini_path, kFailQueueCategoryKey);
}

void ReadEmailAlerts(frmMain& form, const clsINI& ini, const std::string& ini_path,
                     StopSink& stops) {
  Apply(ReadEmailAlert1(ini, ini_path), form.EmailAlert1, ini, ini_path, kEmailAlert1Key, stops);
  form.EmailAlert2 = ReadSetting(ini, ini_path, kEmailAlert2Key);
  form.EmailAlert3 = ReadSetting(ini, ini_path, kEmailAlert3Key);
}

}  // namespace ambervale
