#include "app/form_load.h"

#include <string>

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

  void Run(std::optional<SingleInstanceLock>& instance_lock);

 private:
  void ResetState();
  void WriteStartLines();
  void LoadTasks();
  void LoadMappings();
  void RunPccCheck();
  void ActivateFailQueue();
  void DeactivateFailQueue();
  void SignOn();
  void StartCycle();
  void RunLog(std::string_view text) { form_.AddActionLog(text, kRunLogPrefix, true); }
  template <typename F>
  void Step(std::string_view name, F&& f) {
    RunStartupStep(form_, name, std::forward<F>(f));
  }

  frmMain& form_;
  HostLayer& host_;
  RunCycle& cycle_;
  ProgramStopSink stops_;
  const clsINI ini_{};
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

void Startup::Run(std::optional<SingleInstanceLock>& instance_lock) {
  instance_lock = SingleInstanceLock::TryAcquire(form_.env().ProgramFolder());
  if (!instance_lock) form_.env().EndProgram(kExitAnotherCopy);

  Step("counters", [&] { ResetState(); });
  // Without settings.ini nothing may be written: the logs folder is not even created.
  if (!FileExists(path_)) stops_.Stop(SettingsMissingStop());
  Step("logs folder", [&] { (void)CreateFolder(form_.logs().folder()); });
  Step("log size", [&] { ReadLogSizeSetting(form_, ini_, path_, stops_); });
  Step("start lines", [&] { WriteStartLines(); });
  Step("settings", [&] { ReadRunSettings(form_, ini_, path_, stops_); });
  Step("task maintenance", [&] { LoadTasks(); });
  if (!form_.IsUnticketedMode()) Step("mapping files", [&] { LoadMappings(); });
  Step("PCC check", [&] { RunPccCheck(); });
  Step("queue list", [&] { TrimTaskMainQueueList(form_); });
  Step("e-mail after every run", [&] {
    form_.SendEmailAfterEveryIteration =
        ReadYesNoSetting(ini_, path_, kSendEmailAfterEveryIterationKey);
    // The line is written either way, so the run log always tells how the program started.
    RunLog(form_.SendEmailAfterEveryIteration ? "No PNR move EMAIL func is enabled"
                                              : "No PNR move EMAIL func is disabled");
  });
  if (!form_.IsUnticketedMode()) {
    Step("fail queue", [&] {
      form_.FailQueueActivated = ReadYesNoSetting(ini_, path_, kFailQueueActivatedKey);
      if (form_.FailQueueActivated) {
        ActivateFailQueue();
      } else {
        DeactivateFailQueue();
      }
    });
  }
  Step("sign-on", [&] { SignOn(); });
  Step("QX+I", [&] { host_.sendTECommand(std::string_view("QX+I")); });
  Step("loaded", [&] { form_.AddActionLog("Loaded completed."); });
  form_.service_status().Ready();
  StartCycle();
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

void Startup::LoadTasks() {
  if (!ResolveTaskMaintenanceFile(form_, ini_, path_, stops_)) return;
  const Status loaded = LoadTaskMaintenanceFile(form_, form_.taskMainFile);
  if (!loaded.ok()) stops_.Stop(TaskFileErrorsStop(), loaded.message());
}

void Startup::LoadMappings() {
  std::string problem;
  if (CheckTaskDuplicates(form_, &problem) != "OK") stops_.Stop(TaskFileRepeatedStop(), problem);
  const Status loaded = LoadMappingFiles(form_);
  if (!loaded.ok()) stops_.Stop(MappingFileErrorsStop(), loaded.message());
  problem.clear();
  const std::string duplicates = CheckMappingDuplicates(form_, &problem);
  if (duplicates != "OK") stops_.Stop(MappingDuplicatesStop(duplicates), problem);
  ReadFailQueueKeys(form_, ini_, path_);
}

void Startup::RunPccCheck() { RunPCCCheck(form_, ReadYesNoSetting(ini_, path_, kPccCheckKey)); }

void Startup::ActivateFailQueue() {
  RunLog("Fail Queue functionality is enabled");
  const FailQueueValidation checked = ValidateFailQueue(form_.FailQueueNo, form_.FailQueueCategory);
  WriteStopLines(form_, checked.lines);
  if (checked.stop) stops_.Stop(*checked.stop);
  RunFailQueueConflictCheck(form_);
  ReadEmailAlerts(form_, ini_, path_, stops_);
  form_.window().SetCaption(Control::kFrmToFail, FailQueueFrameCaption(form_, "To"));
  form_.window().SetCaption(Control::kFrmFromFail, FailQueueFrameCaption(form_, "From"));
}

void Startup::DeactivateFailQueue() {
  RunLog("Fail Queue functionality is disaled");
  form_.window().SetCaption(Control::kFrmToFail, FailQueueFrameCaption(form_, "To"));
  form_.window().SetCaption(Control::kFrmFromFail, FailQueueFrameCaption(form_, "From"));
  form_.FailQueueNo = InactiveFailQueueNo(form_.FailQueueNo);
  RunLog(FailQueueDisabledLine(form_.FailQueueNo, form_.FailQueueCategory));
}

void Startup::SignOn() {
  const bool unticketed = form_.IsUnticketedMode();
  Logs& logs = form_.logs();
  if (unticketed) {
    logs.ClearUnticketedTemp();
    logs.AppendUnticketedHeader("XML Ambervale activity log,,,");
    logs.AppendUnticketedHeader("Run date/time:" + FormatDateTime(form_.env().LocalNow()) + ",,,");
    logs.AppendUnticketedStatus("");
    logs.AppendUnticketedStatus("PCC,PNR,Destination Queue,");
  }
  if (host_.ConnectHost() == "OK") return;
  const std::string sign_on = "SON/" + GetAgentID(form_);
  std::string entry = sign_on;
  host_.sendTECommand(entry);
  if (host_.ConnectHost() == "OK") return;
  if (unticketed) {
    logs.AppendUnticketedHeader("Host Command: " + sign_on);
    logs.AppendUnticketedHeader(kLoginFailedText);
    (void)logs.BuildUnticketedReport();
    form_.env().EndProgram(kExitStartupStop);
  }
  stops_.Stop(SignInFailedStop());
}

void Startup::StartCycle() {
  if (form_.strDebugString == "TRUE" || !form_.IsUnticketedMode()) {
    cycle_.EnableTimer();
  } else {
    cycle_.RunNow();
  }
}

}  // namespace

void Form_Load(frmMain& form, HostLayer& host, RunCycle& cycle,
               std::optional<SingleInstanceLock>& instance_lock) {
  LoadingScope loading(cycle);
  Startup(form, host, cycle).Run(instance_lock);
}

}  // namespace ambervale
