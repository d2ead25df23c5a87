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

// Stores a read value, or hands its stop to `stops` and returns the sink's end.
template <typename T>
ProgramEnd Apply(const SettingOrStop<T>& read, T& target, const clsINI& ini,
                 const std::string& ini_path, SettingKey key, StopSink& stops) {
  if (const T* value = std::get_if<T>(&read)) {
    target = *value;
    return ProgramEnd::GoOn();
  }
  return stops.Stop(std::get<StartupStop>(read), "", SettingText(ini, ini_path, key));
}

}  // namespace

ProgramEnd ReadLogSizeSetting(frmMain& form, const clsINI& ini, const std::string& ini_path,
                              StopSink& stops) {
  if (ProgramEnd end = Apply(ReadLogFileSize(ini, ini_path), form.log_file_size, ini, ini_path,
                             kLogFileSizeKey, stops)) {
    return end;
  }
  form.logs().SetSizeLimit(form.log_file_size);
  return ProgramEnd::GoOn();
}

ProgramEnd ReadRunSettings(frmMain& form, const clsINI& ini, const std::string& ini_path,
                           StopSink& stops) {
  if (ProgramEnd end = Apply(ReadCounter(ini, ini_path), form.intTimerCounter, ini, ini_path,
                             kCounterKey, stops)) {
    return end;
  }
  if (ProgramEnd end = Apply(ReadUserName(ini, ini_path), form.strUserName, ini, ini_path,
                             kUserNameKey, stops)) {
    return end;
  }
  if (ProgramEnd end =
          Apply(ReadAgentId(ini, ini_path), form.strAgentID, ini, ini_path, kAgentIdKey, stops)) {
    return end;
  }
  form.strDebugString = ReadUpperSetting(ini, ini_path, kDebugStringKey);
  form.blnMustMove = ReadYesNoSetting(ini, ini_path, kMustMoveKey);
  form.blnTAUCheck = ReadYesNoSetting(ini, ini_path, kTauCheckKey);
  if (ProgramEnd end =
          Apply(ReadTauDate(ini, ini_path), form.strTAUDate, ini, ini_path, kTauDateKey, stops)) {
    return end;
  }
  form.strPNRMoveMode = ReadUpperSetting(ini, ini_path, kPnrModeKey);
  form.UTKToQueue = ReadSetting(ini, ini_path, kDestQueueKey);
  return ProgramEnd::GoOn();
}

std::variant<std::string, ProgramEnd> ResolveTaskMaintenanceFile(frmMain& form, const clsINI& ini,
                                                                 const std::string& ini_path,
                                                                 StopSink& stops) {
  form.taskMainFile = ReadSetting(ini, ini_path, kTaskMaintainKey);
  const std::string& value = form.taskMainFile;
  if (!value.empty()) {
    if (FileExists(value)) return AbsolutePath(value);
    const std::string beside_program = JoinPath(form.env().ProgramFolder(), value);
    if (FileExists(beside_program)) return beside_program;
  }
  return stops.Stop(TaskFileNotFoundStop(value), "", SettingText(ini, ini_path, kTaskMaintainKey));
}

void ReadFailQueueKeys(frmMain& form, const clsINI& ini, const std::string& ini_path) {
  form.FailQueueNo = ReadSetting(ini, ini_path, kFailQueueNoKey);
  form.FailQueueCategory = ReadSetting(ini, ini_path, kFailQueueCategoryKey);
}

ProgramEnd ReadEmailAlerts(frmMain& form, const clsINI& ini, const std::string& ini_path,
                           StopSink& stops) {
  if (ProgramEnd end = Apply(ReadEmailAlert1(ini, ini_path), form.EmailAlert1, ini, ini_path,
                             kEmailAlert1Key, stops)) {
    return end;
  }
  form.EmailAlert2 = ReadSetting(ini, ini_path, kEmailAlert2Key);
  form.EmailAlert3 = ReadSetting(ini, ini_path, kEmailAlert3Key);
  return ProgramEnd::GoOn();
}

}  // namespace ambervale
