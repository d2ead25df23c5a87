#pragma once

// The distribution run's tests: one start of the program over a program folder, on the
// simulated host, with the configuration written as files and loaded by the real loaders.

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "distribution/distribution.h"
#include "host/host_layer.h"
#include "host/session.h"
#include "logs/logs.h"
#include "mail/alerts.h"
#include "sim/sim_host.h"
#include "testing/fake_env.h"
#include "testing/recording_mailer.h"
#include "testing/recording_window.h"

namespace ambervale::testing {

// Terminals onto a SimHost that record every entry (bare, as the host reads it) and can stand
// in for the host on chosen entries, to give answers a real host may give and the simulator
// does not.
class HostTap : public TerminalFactory {
 public:
  explicit HostTap(sim::SimHost& host) : host_(host) {}
  std::unique_ptr<Terminal> Create(Status* error) override;

  // The next `times` entries starting with `prefix`, after `skip` of them have gone to the host
  // as usual, are answered with `lines` instead of the host (the host never sees them).
  void Intercept(std::string prefix, std::vector<std::string> lines, int times = 1, int skip = 0);
  // The next `times` entries starting with `prefix` go to the host, but the program reads
  // `lines` as the answer.
  void Rewrite(std::string prefix, std::vector<std::string> lines, int times = 1);

  // Runs `action` when an entry starting with `prefix` is about to reach the host (an action
  // that throws keeps the entry from the host: a crash at that moment).
  void OnEntry(std::string prefix, std::function<void()> action);

  // Every entry sent so far.
  const std::vector<std::string>& entries() const { return entries_; }
  // The entries sent since the last call.
  std::vector<std::string> TakeEntries();

 private:
  friend class TapTerminal;
  struct Stand {
    std::string prefix;
    std::vector<std::string> lines;
    int times = 0;
    bool pass_to_host = false;
    int skip = 0;
  };

  sim::SimHost& host_;
  std::vector<Stand> stands_;
  std::vector<std::pair<std::string, std::function<void()>>> hooks_;
  std::vector<std::string> entries_;
  size_t taken_ = 0;
};

// The settings start-up would have read; the setters chain: StartSettings().TauCheck().
struct StartSettings {
  StartSettings& NoFailQueue() {
    fail_queue = false;
    return *this;
  }
  StartSettings& FailCategory(std::string category) {
    fail_category = std::move(category);
    return *this;
  }
  StartSettings& TauCheck() {
    tau_check = true;
    return *this;
  }
  StartSettings& MustMove() {
    must_move = true;
    return *this;
  }
  StartSettings& EmailEveryRun() {
    email_every_run = true;
    return *this;
  }
  // The Fail Queue Log's files go through `f` instead of the machine's file system.
  StartSettings& Files(FileSystem& f) {
    files = &f;
    return *this;
  }

  bool fail_queue = true;
  std::string fail_queue_no = "50";
  std::string fail_category;
  bool tau_check = false;
  std::string tau_date = "5";
  bool must_move = false;
  bool email_every_run = false;
  std::string pnr_mode;
  std::string agent_id = "1234";
  std::string user_name = "AMBERVALE";
  FileSystem* files = nullptr;
};

// One start of the program: its own frmMain, logs, alerts (recording mailer), host layer and
// Distribution over `folder`, signed on as start-up leaves the host. With a state file the
// simulated world is folder/host_state.json (loaded from there when it exists, else from
// `scenario`), so a later start over the same folder finds the host as this one left it.
class ProgramStart {
 public:
  ProgramStart(std::string folder, std::string_view scenario, bool state_file = false,
               const StartSettings& settings = {});
  ~ProgramStart();
  ProgramStart(const ProgramStart&) = delete;
  ProgramStart& operator=(const ProgramStart&) = delete;

  // Loads folder/`task_file` and the mapping files it names with the configuration loaders,
  // and the PCC list of the mail subjects.
  void LoadConfiguration(std::string task_file = "tasks.csv");
  void MoveQueue() { distribution->MoveQueue(); }

  const sim::World& world() const { return host->world(); }
  // The locators on a queue ("ABC1/12", "ABC1/50*C1").
  std::vector<std::string> Queue(std::string_view key) const;
  // The bytes of logs/<name>; the scrambled run log in clear text.
  std::string Log(std::string_view name) const;
  std::string RunLog() const;
  // A stop request at the `n`th time the run lets window events run (1 = the next).
  void StopAtDoEvents(int n);

  std::string folder;
  FakeEnv env;
  RecordingWindow window;
  Logs logs;
  frmMain form;
  RecordingMailerFactory mailers;
  Alerts alerts;
  std::unique_ptr<sim::SimHost> host;
  std::unique_ptr<HostTap> tap;
  std::unique_ptr<HostLayer> layer;
  std::unique_ptr<Session> session;
  std::unique_ptr<Distribution> distribution;

 private:
  class Events;
  std::unique_ptr<Events> events_;
};

// The Task Maintenance file: one task per row "PCC,queue,category,mapping file,add note,note".
std::string TasksCsv(const std::vector<std::string>& rows);
// A mapping file: one agent per row
// "name,sine,prefix,DI.AC,CI,DI.X,destination PCC,queue,category,distributed by".
std::string MappingCsv(const std::vector<std::string>& rows);

// A scenario: PCCs ABC1, DEF3, XYZ9, P1, P2 (emulation allowed except when named in
// `refused_pccs`), the PNRs (JSON objects), the queues (key -> locators) and faults (JSON).
std::string Scenario(const std::vector<std::string>& pnrs,
                     const std::map<std::string, std::vector<std::string>>& queues,
                     std::string_view faults = "{}", bool signed_in = true,
                     const std::vector<std::string>& refused_pccs = {});
// A PNR object of ABC1.
std::string Pnr(std::string_view locator, std::string_view sine, std::string_view name,
                std::string_view more = "");

// Whether every PNR of the world is placed: on its source queue (one of `sources`), on the
// Fail Queue with a row in `fail_queue_log` (the current Fail Queue Log text), or on one or more
// agents' queues (any other queue) - and on nothing else besides.
::testing::AssertionResult EveryPnrPlaced(const sim::World& world, std::string_view fail_queue,
                                          std::string_view fail_queue_log,
                                          const std::vector<std::string>& sources);

}  // namespace ambervale::testing
