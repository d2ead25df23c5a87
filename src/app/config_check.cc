#include "app/config_check.h"

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

#include "app/startup_settings.h"
#include "app/startup_stop.h"
#include "config/agent_mapping.h"
#include "config/cross_checks.h"
#include "config/settings.h"
#include "config/task_maintenance.h"
#include "logs/logs.h"
#include "mail/alert_memory.h"
#include "platform/classic_text.h"
#include "platform/cp1252.h"
#include "platform/files.h"

namespace ambervale {
namespace {

// A fresh folder for the loaders' log lines, removed with its content afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code error;
    std::string pattern = (std::filesystem::temp_directory_path(error) / "ambervale-check-XXXXXX");
    if (error) pattern = "/tmp/ambervale-check-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  // Empty when no folder could be made (the log lines are then lost, which is harmless).
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

struct Finding {
  std::string_view kind;  // "problem", "warning" or "note"; only a problem makes it unusable
  std::string text;
  bool problem() const { return kind == "problem"; }
};

// Every stop is a problem; the check goes on.
class Findings : public StopSink {
 public:
  ProgramEnd Stop(const StartupStop& stop, std::string_view problem,
                  std::string_view setting) override {
    std::string text = setting.empty() ? "" : std::string(setting) + ": ";
    Problem(text + StopBoxText(stop, problem));
    return ProgramEnd::GoOn();
  }
  void Problem(std::string text) { findings_.push_back({"problem", std::move(text)}); }
  void Warning(std::string text) { findings_.push_back({"warning", std::move(text)}); }
  void Note(std::string text) { findings_.push_back({"note", std::move(text)}); }
  const std::vector<Finding>& all() const { return findings_; }
  int problems() const {
    int n = 0;
    for (const Finding& f : findings_) n += f.problem() ? 1 : 0;
    return n;
  }

 private:
  std::vector<Finding> findings_;
};

// A window that shows nothing. A message box is a loader reporting a problem; a question (the
// invalid-category one) is answered Yes so that the rest of the file is checked too.
class CheckWindow : public Window {
 public:
  explicit CheckWindow(Findings& findings) : findings_(findings) {}
  void SetEventHandler(WindowEvents*) override {}
  void SetCaption(Control, std::string_view) override {}
  void SetBackColour(Control, uint32_t) override {}
  void SetBold(Control, bool) override {}
  void SetVisible(Control, bool) override {}
  void SetProgressMax(int) override {}
  void SetProgressValue(int) override {}
  int ListCount() override { return 0; }
  void AddListLine(std::string_view) override {}
  void RemoveListLine(int) override {}
  void SelectListLine(int) override {}
  std::string SelectedListLine() override { return ""; }
  BoxAnswer ShowMessageBox(std::string_view text, BoxButtons buttons, BoxIcon,
                           std::string_view) override {
    findings_.Problem(std::string(text));
    return buttons == BoxButtons::kYesNo ? BoxAnswer::kYes : BoxAnswer::kOk;
  }
  void DoEvents() override {}

 private:
  Findings& findings_;
};

class Check {
 public:
  Check(Env& env, const std::string& scratch)
      : env_(env), window_(findings_), logs_(env_, scratch), form_(env_, window_, logs_) {
    logs_.SetSizeLimit(1 << 30);
  }

  const Findings& Run(std::string_view terminal_problem);
  const frmMain& form() const { return form_; }

 private:
  // Runs a step; an unexpected failure becomes a problem and the check goes on. Returns
  // whether the step ran through.
  template <typename F>
  bool Guard(std::string_view name, F&& f) {
    try {
      f();
      return true;
    } catch (const std::exception& e) {
      findings_.Problem("unexpected error in " + std::string(name) + ": " + e.what());
      return false;
    }
  }
  void WarnTauDate();
  bool LoadTasks();
  bool LoadMappings();
  void CheckFailQueue(bool tables_loaded);

  Env& env_;
  Findings findings_;
  CheckWindow window_;
  Logs logs_;
  frmMain form_;
  const clsINI ini_{form_.files()};
  std::string path_;
};

const Findings& Check::Run(std::string_view terminal_problem) {
  path_ = form_.SettingsPath();
  if (!FileExists(path_)) {
    (void)findings_.Stop(SettingsMissingStop(), "", "");
    return findings_;
  }
  Guard("settings", [&] {
    // The check's sink goes on after every stop, so neither returns an end.
    (void)ReadLogSizeSetting(form_, ini_, path_, findings_);
    (void)ReadRunSettings(form_, ini_, path_, findings_);
    std::string quiet;
    (void)ReadAlertQuietMinutes(ini_, path_, &quiet);
    if (!quiet.empty()) findings_.Note(quiet);
  });
  WarnTauDate();
  const bool tasks = LoadTasks();
  const bool distribution = !form_.IsUnticketedMode();
  bool mappings = !distribution;
  if (distribution) {
    if (tasks) mappings = LoadMappings();
    ReadFailQueueKeys(form_, ini_, path_);
  }
  if (tasks && mappings) {
    Guard("PCC check", [&] {
      const PccCheck pcc = BuildPCCCheck(form_);
      TrimTaskMainQueueList(form_);
      if (ReadYesNoSetting(ini_, path_, kPccCheckKey) && pcc.MustAsk()) {
        findings_.Note("start-up will ask whether to go on:\n" + pcc.report);
      }
    });
  }
  if (distribution) CheckFailQueue(tasks && mappings);
  if (!terminal_problem.empty()) findings_.Problem(std::string(terminal_problem));
  return findings_;
}

// Start-up takes any [TAU] DATE that is not empty; a text that is no number counts as 0 days,
// and a negative period makes nearly every ticketing date due.
void Check::WarnTauDate() {
  const std::string& value = form_.strTAUDate;
  if (value.empty()) return;
  const std::optional<int16_t> days = ToInt16(value);
  const std::string setting = "[TAU] DATE = \"" + value + "\": ";
  if (!days) {
    findings_.Warning(setting +
                      "not a number of days; ticketing dates are checked as if it were 0");
  } else if (*days < 0) {
    findings_.Warning(setting + "a negative number of days makes nearly every ticketing date due");
  }
}

bool Check::LoadTasks() {
  bool loaded = false;
  Guard("task maintenance", [&] {
    const auto file = ResolveTaskMaintenanceFile(form_, ini_, path_, findings_);
    if (std::holds_alternative<ProgramEnd>(file)) return;
    // The check's window answers the invalid-category question with Yes: the load goes on.
    const LoadOutcome status = LoadTaskMaintenanceFile(form_, &form_.taskMainFile);
    if (status.end()) return;
    if (!status.ok()) {
      (void)findings_.Stop(TaskFileErrorsStop(), status.message(), "");
      return;
    }
    loaded = true;
    std::string problem;
    if (!form_.IsUnticketedMode() && CheckTaskDuplicates(form_, &problem) != "OK") {
      (void)findings_.Stop(TaskFileRepeatedStop(), problem, "");
    }
  });
  return loaded;
}

bool Check::LoadMappings() {
  bool usable = false;
  bool ended = false;
  const bool completed = Guard("mapping files", [&] {
    const LoadOutcome status = LoadMappingFiles(form_);
    ended = static_cast<bool>(status.end());
    if (ended) return;
    if (!status.ok()) {
      (void)findings_.Stop(MappingFileErrorsStop(), status.message(), "");
      return;
    }
    usable = true;
  });
  // A load that ends the program (missing values, a bad prefix; its box is a problem already)
  // has read every file first, so the tables can still be checked for duplicates and conflicts.
  if ((!completed || ended) && !form_.dictAgentMapping.empty()) usable = true;
  if (!usable) return false;
  Guard("mapping duplicates", [&] {
    std::string problem;
    const std::string duplicates = CheckMappingDuplicates(form_, &problem);
    if (duplicates != "OK") (void)findings_.Stop(MappingDuplicatesStop(duplicates), problem, "");
  });
  return true;
}

void Check::CheckFailQueue(bool tables_loaded) {
  if (!ReadYesNoSetting(ini_, path_, kFailQueueActivatedKey)) return;
  form_.FailQueueActivated = true;
  const FailQueueValidation checked = ValidateFailQueue(form_.FailQueueNo, form_.FailQueueCategory);
  if (checked.stop) {
    (void)findings_.Stop(*checked.stop, "",
                         "[FailQueue] FailQueueNo = \"" + form_.FailQueueNo +
                             "\", FailQueueCategoryNo = \"" + form_.FailQueueCategory + "\"");
  } else if (tables_loaded) {
    Guard("fail queue conflicts", [&] {
      const FailQueueConflicts conflicts = FindFailQueueConflicts(form_);
      if (conflicts.conflict) findings_.Problem(conflicts.report);
    });
  }
  (void)ReadEmailAlerts(form_, ini_, path_, findings_);
}

// "problem: first line" and the further lines indented; CR LF and LF both break lines.
void Print(std::ostream& out, const Finding& finding, bool utf8) {
  const std::string text = Replace(Replace(finding.text, "\r\n", "\n"), "\r", "\n");
  std::string_view rest = text;
  out << finding.kind << ": ";
  bool first = true;
  while (true) {
    const size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    const std::string shown = utf8 ? Cp1252ToUtf8(line) : std::string(line);
    out << (first ? "" : "  ") << shown << '\n';
    first = false;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
}

// The check's whole report; 0 when usable.
int Report(Env& env, const Findings& findings, std::ostream& out, bool utf8) {
  const std::string settings = JoinPath(env.ProgramFolder(), "settings.ini");
  out << "Checking " << (utf8 ? Cp1252ToUtf8(settings) : settings) << '\n';
  for (const Finding& finding : findings.all()) Print(out, finding, utf8);
  const int problems = findings.problems();
  if (problems == 0) {
    out << "The configuration is usable.\n";
    return 0;
  }
  out << problems << (problems == 1 ? " problem" : " problems") << " found.\n";
  return 1;
}

}  // namespace

int CheckConfiguration(Env& env, std::ostream& out, bool utf8, std::string_view terminal_problem) {
  const ScratchFolder scratch;
  Check check(env, scratch.path());
  return Report(env, check.Run(terminal_problem), out, utf8);
}

int WithConfiguration(Env& env, std::ostream& out, bool utf8,
                      const std::function<int(const frmMain&)>& use) {
  const ScratchFolder scratch;
  Check check(env, scratch.path());
  const Findings& findings = check.Run("");
  if (findings.problems() > 0) return Report(env, findings, out, utf8);
  return use(check.form());
}

}  // namespace ambervale
