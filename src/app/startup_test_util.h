#pragma once

// A program folder for the start-up tests: settings.ini built from defaults that start
// cleanly in the distribution mode against the in-process simulator (sim:host.json), one task
// and one mapping file, and the program's parts on the fake clock and a recording window.
// Unlike TestProgram, the logs folder is not created beforehand: start-up does that.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/form_load.h"
#include "app/run_cycle.h"
#include "app/terminal_choice.h"
#include "app/test_front_end.h"
#include "form/frm_main.h"
#include "host/host_layer.h"
#include "logs/logs.h"
#include "mail/alerts.h"
#include "testing/fake_env.h"
#include "testing/recording_mailer.h"
#include "testing/recording_window.h"
#include "testing/temp_dir.h"

namespace ambervale {

inline constexpr char kTaskHeader[] =
    "FROM PCC,FROM QUEUE NO,FROM CATEGORY,MAPPING FILE,ADD NOTE,NOTEPAD,AIRLINE,DAYS\r\n";
inline constexpr char kMappingHeader[] =
    "AGENT NAME,AGENT SINE,PREFIX AGENT SINE,DI.AC,CI,DI.X,DESTINATION PCC,QUEUE NO,CATEGORY,"
    "DISTRIBUTED BY\r\n";
// The debug-log stamp of every line written on the fake clock before it moves.
inline constexpr char kStamp[] = "##### 2026/12/06 10:00:00";

// settings.ini keys as "Section/Key" -> value; nullopt leaves the key out.
using SettingsOverrides = std::map<std::string, std::optional<std::string>>;

// The text of settings.ini: the defaults with `overrides` applied, CR LF line ends.
std::string SettingsText(const SettingsOverrides& overrides = {});

class StartupFolder {
 public:
  StartupFolder();

  void WriteSettings(const SettingsOverrides& overrides = {}) const;
  // The files the defaults name: tasks.csv (AB12 queue 40 by MAP1.CSV), MAP1.CSV and the
  // host scenario with agent 1234, not signed in.
  void WriteFiles() const;
  // Form_Load with a fresh set of parts; returns the exit code when the program ended inside
  // (nullopt when it returned normally).
  std::optional<int> Load();

  // Clear texts of the logs.
  std::string Debug() const { return dir.Read("logs/debug_log_1.txt"); }
  std::string RunLog() const;
  std::string ActionLogFile() const { return dir.Read("logs/action_log_1.txt"); }
  // The host entries sent, in order, as the debug log shows them.
  std::vector<std::string> Entries() const;
  // The action list without its date and time.
  std::vector<std::string> ListMessages() const;

  TempDir dir;
  FakeEnv env;
  RecordingWindow window;
  TestFrontEnd front_end{window};
  Logs logs;
  frmMain form;
  RecordingMailerFactory mailers;
  Alerts alerts;
  std::unique_ptr<TerminalChoice> terminals;
  std::unique_ptr<HostLayer> host;
  std::unique_ptr<RunCycle> cycle;
  std::optional<SingleInstanceLock> lock;
  int runs = 0;
  int shown_at_first_run = -1;
};

}  // namespace ambervale
