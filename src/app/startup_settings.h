#pragma once

// The settings start-up reads into frmMain, shared by start-up itself and by the
// configuration check. Every stop goes to the given StopSink: the program's returns the end,
// which the reader returns at once; the check's records the stop, and the next setting is read.

#include <optional>
#include <string>
#include <variant>

#include "app/startup_stop.h"
#include "form/frm_main.h"
#include "platform/ini.h"

namespace ambervale {

// [LOG] LOGFILESIZE (stop S1) into form.log_file_size and the limit of the log rings.
[[nodiscard]] ProgramEnd ReadLogSizeSetting(frmMain& form, const clsINI& ini,
                                            const std::string& ini_path, StopSink& stops);

// In this order: COUNTER (S2), NAME (S3), ID (S4), debugString, MUSTMOVE, TAUCHECK, DATE (S5),
// PNRMODE, DestQueue.
[[nodiscard]] ProgramEnd ReadRunSettings(frmMain& form, const clsINI& ini,
                                         const std::string& ini_path, StopSink& stops);

// [FILE] TASKMAINTAIN into form.taskMainFile (trimmed), and the file it names: the value itself
// when such a file exists (an absolute path, or relative to the working directory), else the
// program folder + "/" + value when that exists. Otherwise stop S6 and the sink's end.
[[nodiscard]] std::variant<std::string, ProgramEnd> ResolveTaskMaintenanceFile(
    frmMain& form, const clsINI& ini, const std::string& ini_path, StopSink& stops);

// [FailQueue] FailQueueNo and FailQueueCategoryNo (distribution mode).
void ReadFailQueueKeys(frmMain& form, const clsINI& ini, const std::string& ini_path);

// [FailQueue] EmailAlert1 (stop S11), EmailAlert2, EmailAlert3 (Fail Queue active).
[[nodiscard]] ProgramEnd ReadEmailAlerts(frmMain& form, const clsINI& ini,
                                         const std::string& ini_path, StopSink& stops);

}  // namespace ambervale
