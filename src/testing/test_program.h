#pragma once

// The program in a box: a temporary program folder with its logs folder, the fake clock, a
// recording window, front end and mailer, frmMain and the alerts; on demand the start-up over
// the folder's settings.ini, or the host layer and the distribution on the simulated host
// (every entry recorded by a HostTap), signed on as start-up leaves the host. Members are
// public so that tests can script and inspect them.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/form_load.h"
#include "app/front_end.h"
#include "app/run_cycle.h"
#include "app/terminal_choice.h"
#include "distribution/distribution.h"
#include "distribution/unticketed_run.h"
#include "form/frm_main.h"
#include "host/host_layer.h"
#include "logs/logs.h"
#include "mail/alerts.h"
#include "sim/sim_host.h"
#include "sim/sim_terminal.h"
#include "testing/fake_env.h"
#include "testing/host_tap.h"
#include "testing/program_files.h"
#include "testing/recording_mailer.h"
#include "testing/recording_window.h"
#include "testing/temp_dir.h"

namespace ambervale::testing {

// An event loop that delivers a tick only on Tick(). It has no guard of its own, so a tick
// delivered from inside the handler reaches the handler (which must drop it).
class ManualLoop : public EventLoop {
 public:
  void SetTimer(int interval_ms, std::function<void()> on_tick) override {
    on_tick_ = interval_ms > 0 ? std::move(on_tick) : nullptr;
  }
  int Exec() override { return exit_code_; }
  void Quit(int exit_code) override {
    quit_ = true;
    exit_code_ = exit_code;
  }

  // One timer tick; false when the timer is stopped.
  bool Tick() {
    if (!on_tick_) return false;
    const auto tick = on_tick_;
    tick();
    return true;
  }
  bool quit() const { return quit_; }

 private:
  std::function<void()> on_tick_;
  bool quit_ = false;
  int exit_code_ = 0;
};

// The front end of the box: the recording window (not owned) and the manual loop.
class TestFrontEnd : public FrontEnd {
 public:
  explicit TestFrontEnd(RecordingWindow& window) : window_(window) {}
  Window& window() override { return window_; }
  EventLoop& loop() override { return loop_; }
  void Show() override { ++shown_; }
  void Close() override { ++closed_; }

  ManualLoop& manual_loop() { return loop_; }
  int shown() const { return shown_; }
  int closed() const { return closed_; }

 private:
  RecordingWindow& window_;
  ManualLoop loop_;
  int shown_ = 0;
  int closed_ = 0;
};

class TestProgram {
 public:
  // Without `logs_folder` the folder starts empty, as start-up finds it; with it the logs
  // folder is there and the size limits are out of reach. With `folder` (kept afterwards) the
  // program starts again over the folder of an earlier start.
  explicit TestProgram(bool logs_folder = true, std::string folder = "");
  ~TestProgram();
  TestProgram(const TestProgram&) = delete;
  TestProgram& operator=(const TestProgram&) = delete;

  // The bytes of logs/<name>; empty when missing.
  std::string Log(std::string_view name) const;
  // The scrambled run log in clear text.
  std::string RunLog() const;
  // The logs named, the run log and each mail sent (Describe), for a golden file: each under a
  // "== name" line, CR LF ends as line ends, a lone CR or LF shown as <CR> or <LF>, the folder
  // as DIR.
  std::string Transcript(const std::vector<std::string>& names) const;

  // Start-up. The folder of a clean start: settings.ini (SettingsText(overrides)), tasks.csv
  // (ABC1 queue 40 by MAP1.CSV), MAP1.CSV (JS -> ABC1/50) and host.json (agent 1234, not
  // signed in).
  void WriteStartupFiles(const SettingsOverrides& overrides = {}) const;
  // Form_Load on the terminal settings.ini names; the exit code when the program ended inside.
  std::optional<int> Load();
  // The run cycle (made on first use): each run counts in `runs`, then calls `on_run`.
  RunCycle& Cycle();

  // Runs on the simulated host: the world from `scenario`, or with `state_file` from
  // host_state.json in the folder when it is there (so a later start finds the host as this one
  // left it). The form gets the settings of a distribution start where it has none (user
  // AMBERVALE, agent 1234, Fail Queue 50, TAU period 5, settings.ini with mail addresses) and
  // an active Fail Queue; tests change them afterwards. The Fail Queue Log's files go through
  // `files` when given.
  void Connect(std::string_view scenario, bool state_file = false, FileSystem* files = nullptr);
  // Loads folder/`task_file` and the mapping files it names, and the mails' PCC list.
  void LoadConfiguration(std::string task_file = "tasks.csv");
  // One run; the exit code when it ended the program.
  std::optional<int> MoveQueue();
  const sim::World& world() const { return host->world(); }
  // The locators on a queue ("ABC1/12", "ABC1/50*C1").
  std::vector<std::string> Queue(std::string_view key) const;

  TempDir dir;
  FakeEnv env;
  RecordingWindow window;
  TestFrontEnd front_end{window};
  Logs logs;
  frmMain form;
  RecordingMailerFactory mailers;
  Alerts alerts;

  std::unique_ptr<TerminalChoice> terminals;
  std::unique_ptr<sim::SimHost> host;
  std::unique_ptr<sim::SimTerminalFactory> sim_terminals;
  std::unique_ptr<HostTap> tap;
  std::unique_ptr<HostLayer> layer;
  std::unique_ptr<Session> session;
  std::unique_ptr<UnticketedRun> unticketed;
  std::unique_ptr<Distribution> distribution;
  std::unique_ptr<RunCycle> cycle;
  std::optional<SingleInstanceLock> lock;
  std::function<ProgramEnd()> on_run;
  int runs = 0;
  int shown_at_first_run = -1;
};

// The sign-on state ConnectHost gives; a lost host fails the test.
std::string ConnectState(HostLayer& host);

}  // namespace ambervale::testing
