#include "app/form_load.h"

#include <string>
#include <variant>

#include "app/startup_settings.h"
#include "app/startup_stop.h"
#include "config/agent_lookup.h"
#include "config/agent_mapping.h"
#include "config/cross_checks.h"
#include "config/settings.h"
#include "config/task_maintenance.h"
#include "form/counters.h"
#include "logs/logs.h"
#include "platform/classic_text.h"
#include "platform/files.h"

namespace ambervale {
namespace {

// The parts every step uses.
class Startup {
 public:
  Startup(frmMain& form, HostLayer& host, RunCycle& cycle)
      : form_(form), host_(host), cycle_(cycle), stops_(form), path_(form.SettingsPath()) {}

  ProgramEnd Run(std::optional<SingleInstanceLock>& instance_lock);

 private:
  // The steps up to the sign-on, each returning at once on an end.
  ProgramEnd Load();
  void ResetState();
  void WriteStartLines();
  ProgramEnd LoadTasks();
  ProgramEnd LoadMappings();
  ProgramEnd RunPccCheck();
  ProgramEnd ActivateFailQueue();
  void DeactivateFailQueue();
  ProgramEnd SignOn();
  ProgramEnd StartCycle();
  void RunLog(std::string_view text) { form_.AddActionLog(text, kRunLogPrefix, true); }
  template <typename F>
  ProgramEnd Step(std::string_view name, F&& f) {
    return RunStartupStep(form_, name, std::forward<F>(f));
  }

  frmMain& form_;
  HostLayer& host_;
  RunCycle& cycle_;
  ProgramStopSink stops_;
  const clsINI ini_{form_.files()};
  const std::string path_;
};

// Keeps the cycle in its start-up state for the length of Form_Load.
class LoadingScope {
 public:
  explicit LoadingScope(RunCycle& cycle) : cycle_(cycle) { cycle_.set_loading(true); }
  ~LoadingScope() { cycle_.set_loading(false); }
  LoadingScope(const LoadingScope&) = delete;
  LoadingScope& operator=(const LoadingScope&) = delete;

 private:
  RunCycle& cycle_;
};

ProgramEnd Startup::Run(std::optional<SingleInstanceLock>& instance_lock) {
  instance_lock = SingleInstanceLock::TryAcquire(form_.env().ProgramFolder());
  if (!instance_lock) return ProgramEnd::Exit(kExitAnotherCopy);
  if (ProgramEnd end = Load()) return end;
  if (ProgramEnd end = Step("sign-on", [&] { return SignOn(); })) return end;
  if (ProgramEnd end =
          Step("QX+I", [&] { return host_.sendTECommand(std::string_view("QX+I")); })) {
    return end;
  }
  (void)Step("loaded", [&] { form_.AddActionLog("Loaded completed."); });
  form_.service_status().Ready();
  return StartCycle();
}

ProgramEnd Startup::Load() {
  (void)Step("counters", [&] { ResetState(); });
  // Without settings.ini nothing may be written: the logs folder is not even created.
  if (!FileExists(path_)) return stops_.Stop(SettingsMissingStop());
  (void)Step("logs folder", [&] { (void)CreateFolder(form_.logs().folder()); });
  if (ProgramEnd end =
          Step("log size", [&] { return ReadLogSizeSetting(form_, ini_, path_, stops_); })) {
    return end;
  }
  (void)Step("start lines", [&] { WriteStartLines(); });
  if (ProgramEnd end =
          Step("settings", [&] { return ReadRunSettings(form_, ini_, path_, stops_); })) {
    return end;
  }
  if (ProgramEnd end = Step("task maintenance", [&] { return LoadTasks(); })) return end;
  if (!form_.IsUnticketedMode()) {
    if (ProgramEnd end = Step("mapping files", [&] { return LoadMappings(); })) return end;
  }
  if (ProgramEnd end = Step("PCC check", [&] { return RunPccCheck(); })) return end;
  (void)Step("queue list", [&] { TrimTaskMainQueueList(form_); });
  (void)Step("e-mail after every run", [&] {
    form_.SendEmailAfterEveryIteration =
        ReadYesNoSetting(ini_, path_, kSendEmailAfterEveryIterationKey);
    // The line is written either way, so the run log always tells how the program started.
    RunLog(form_.SendEmailAfterEveryIteration ? "No PNR move EMAIL func is enabled"
                                              : "No PNR move EMAIL func is disabled");
  });
  if (form_.IsUnticketedMode()) return ProgramEnd::GoOn();
  return Step("fail queue", [&] {
    form_.FailQueueActivated = ReadYesNoSetting(ini_, path_, kFailQueueActivatedKey);
    if (form_.FailQueueActivated) return ActivateFailQueue();
    DeactivateFailQueue();
    return ProgramEnd::GoOn();
  });
}

void Startup::ResetState() {
  form_.MoveFailPNR = true;
  form_.ResetCounters();
  form_.RefreshCounters();
  form_.blnStopRequested = false;
}

void Startup::WriteStartLines() {
  RunLog("Application Started:");
  form_.AddActionLog("Loading Queue mapping files ......");
  RunLog("Loading Queue mapping files ......");
}

ProgramEnd Startup::LoadTasks() {
  const auto file = ResolveTaskMaintenanceFile(form_, ini_, path_, stops_);
  if (const auto* end = std::get_if<ProgramEnd>(&file)) return *end;
  const LoadOutcome loaded = LoadTaskMaintenanceFile(form_, &form_.taskMainFile);
  if (loaded.end()) return loaded.end();
  if (!loaded.ok()) return stops_.Stop(TaskFileErrorsStop(), loaded.message());
  return ProgramEnd::GoOn();
}

ProgramEnd Startup::LoadMappings() {
  std::string problem;
  if (CheckTaskDuplicates(form_, &problem) != "OK") {
    return stops_.Stop(TaskFileRepeatedStop(), problem);
  }
  const LoadOutcome loaded = LoadMappingFiles(form_);
  if (loaded.end()) return loaded.end();
  if (!loaded.ok()) return stops_.Stop(MappingFileErrorsStop(), loaded.message());
  problem.clear();
  const std::string duplicates = CheckMappingDuplicates(form_, &problem);
  if (duplicates != "OK") return stops_.Stop(MappingDuplicatesStop(duplicates), problem);
  ReadFailQueueKeys(form_, ini_, path_);
  return ProgramEnd::GoOn();
}

ProgramEnd Startup::RunPccCheck() {
  return RunPCCCheck(form_, ReadYesNoSetting(ini_, path_, kPccCheckKey));
}

ProgramEnd Startup::ActivateFailQueue() {
  RunLog("Fail Queue functionality is enabled");
  const FailQueueValidation checked = ValidateFailQueue(form_.FailQueueNo, form_.FailQueueCategory);
  WriteStopLines(form_, checked.lines);
  if (checked.stop) return stops_.Stop(*checked.stop);
  if (ProgramEnd end = RunFailQueueConflictCheck(form_)) return end;
  if (ProgramEnd end = ReadEmailAlerts(form_, ini_, path_, stops_)) return end;
  form_.window().SetCaption(Control::kFrmToFail, FailQueueFrameCaption(form_, "To"));
  form_.window().SetCaption(Control::kFrmFromFail, FailQueueFrameCaption(form_, "From"));
  return ProgramEnd::GoOn();
}

void Startup::DeactivateFailQueue() {
  RunLog("Fail Queue functionality is disaled");
  form_.window().SetCaption(Control::kFrmToFail, FailQueueFrameCaption(form_, "To"));
  form_.window().SetCaption(Control::kFrmFromFail, FailQueueFrameCaption(form_, "From"));
  form_.FailQueueNo = InactiveFailQueueNo(form_.FailQueueNo);
  RunLog(FailQueueDisabledLine(form_.FailQueueNo, form_.FailQueueCategory));
}

ProgramEnd Startup::SignOn() {
  const bool unticketed = form_.IsUnticketedMode();
  Logs& logs = form_.logs();
  if (unticketed) {
    logs.ClearUnticketedTemp();
    logs.AppendUnticketedHeader("XML Ambervale activity log,,,");
    logs.AppendUnticketedHeader("Run date/time:" + FormatDateTime(form_.env().LocalNow()) + ",,,");
    logs.AppendUnticketedStatus("");
    logs.AppendUnticketedStatus("PCC,PNR,Destination Queue,");
  }
  std::string state;
  if (ProgramEnd end = host_.ConnectHost(&state)) return end;
  if (state == "OK") return ProgramEnd::GoOn();
  const std::string sign_on = "SON/" + GetAgentID(form_);
  std::string entry = sign_on;
  if (ProgramEnd end = host_.sendTECommand(&entry)) return end;
  if (ProgramEnd end = host_.ConnectHost(&state)) return end;
  if (state == "OK") return ProgramEnd::GoOn();
  if (unticketed) {
    logs.AppendUnticketedHeader("Host Command: " + sign_on);
    logs.AppendUnticketedHeader(kLoginFailedText);
    (void)logs.BuildUnticketedReport();
    return ProgramEnd::Exit(kExitStartupStop);
  }
  return stops_.Stop(SignInFailedStop());
}

ProgramEnd Startup::StartCycle() {
  if (form_.strDebugString == "TRUE" || !form_.IsUnticketedMode()) {
    cycle_.EnableTimer();
    return ProgramEnd::GoOn();
  }
  return cycle_.RunNow();
}

}  // namespace

ProgramEnd Form_Load(frmMain& form, HostLayer& host, RunCycle& cycle,
                     std::optional<SingleInstanceLock>& instance_lock) {
  LoadingScope loading(cycle);
  return Startup(form, host, cycle).Run(instance_lock);
}

}  // namespace ambervale
