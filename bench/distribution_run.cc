#include "bench/distribution_run.h"

#include <time.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "config/agent_mapping.h"
#include "config/task_maintenance.h"
#include "distribution/distribution.h"
#include "host/host_layer.h"
#include "host/session.h"
#include "logs/logs.h"
#include "mail/alerts.h"
#include "platform/files.h"
#include "sim/sim_host.h"
#include "sim/sim_terminal.h"
#include "testing/recording_mailer.h"
#include "testing/recording_window.h"
#include "testing/temp_dir.h"

namespace ambervale::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double ProcessorSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Terminals that add up the time spent inside them.
class TimedTerminals : public TerminalFactory {
 public:
  explicit TimedTerminals(sim::SimHost& host) : inner_(host) {}

  std::unique_ptr<Terminal> Create(Status* error) override {
    std::unique_ptr<Terminal> terminal = inner_.Create(error);
    if (terminal == nullptr) return nullptr;
    return std::make_unique<Timed>(*this, std::move(terminal));
  }

  Clock::duration inside{};
  long entries = 0;

 private:
  class Timed : public Terminal {
   public:
    Timed(TimedTerminals& owner, std::unique_ptr<Terminal> inner)
        : owner_(owner), inner_(std::move(inner)) {}
    Status SendEntry(std::string_view text) override {
      ++owner_.entries;
      const Clock::time_point start = Clock::now();
      Status status = inner_->SendEntry(text);
      owner_.inside += Clock::now() - start;
      return status;
    }
    std::optional<int16_t> GetLineCount() override {
      const Clock::time_point start = Clock::now();
      const std::optional<int16_t> count = inner_->GetLineCount();
      owner_.inside += Clock::now() - start;
      return count;
    }
    std::optional<std::string> GetLine(int16_t index) override {
      const Clock::time_point start = Clock::now();
      std::optional<std::string> line = inner_->GetLine(index);
      owner_.inside += Clock::now() - start;
      return line;
    }

   private:
    TimedTerminals& owner_;
    std::unique_ptr<Terminal> inner_;
  };

  sim::SimTerminalFactory inner_;
};

// `count` PNRs on ABC1/12, found in turn by sine, name, DI.AC, CI and DI.X.
std::string Scenario(int count) {
  std::string pnrs;
  std::string queue;
  for (int i = 1; i <= count; ++i) {
    char locator[16];
    std::snprintf(locator, sizeof locator, "B%05d", i);
    std::string pnr = std::string("{\"locator\": \"") + locator + "\", \"owner_pcc\": \"ABC1\"";
    switch (i % 5) {
      case 0:
        pnr += ", \"sine\": \"XY\", \"name\": \"JONES/ANN\"";
        break;
      case 1:
        pnr += ", \"sine\": \"QQ\", \"name\": \"SMITH/JOHN MR\"";
        break;
      case 2:
        pnr += ", \"sine\": \"QQ\", \"name\": \"BLACK/BO\", \"di\": [\"AC ACCT-129\"]";
        break;
      case 3:
        pnr += ", \"sine\": \"QQ\", \"name\": \"GREEN/AL\", \"ci\": \"00123\"";
        break;
      default:
        pnr += ", \"sine\": \"QQ\", \"name\": \"WHITE/JO\", \"di\": [\"X/QD-ACME\"]";
        break;
    }
    pnrs += (i > 1 ? ", " : "") + pnr + "}";
    queue += std::string(i > 1 ? ", " : "") + "\"" + locator + "\"";
  }
  return "{\"agent_ids\": [\"1234\"], \"signed_in\": true, \"pccs\": {\"ABC1\": {}, \"P1\": {}, "
         "\"P2\": {}}, \"pnrs\": [" +
         pnrs + "], \"queues\": {\"ABC1/12\": [" + queue + "]}}";
}

// Fills every ring of the logs folder: 99 small files per ring of 99, 5 per ring of 5, each
// older than the last.
void FillRings(const std::string& logs, Env& env) {
  const struct {
    const char* prefix;
    const char* extension;
    int files;
  } kRings[] = {{"debug_log_", ".txt", 99},
                {"action_log_", ".txt", 99},
                {"Failed_PNR_", ".txt", 99},
                {"Unticketed_PNR_Log_", ".csv", 99},
                {"PNR_Queue_List_", ".txt", 5},
                {"Success_PNR_", ".txt", 5},
                {"Fail_Queue_Log_Archive_", ".csv", 5}};
  const TimePoint now = env.Now();
  for (const auto& ring : kRings) {
    for (int n = 1; n <= ring.files; ++n) {
      const std::string path = JoinPath(logs, ring.prefix + std::to_string(n) + ring.extension);
      (void)WriteFile(path, "an older line\r\n");
      (void)SetFileModified(path, now - std::chrono::hours(200 - n));
    }
  }
}

}  // namespace

bool RunDistribution(const DistributionRun& run, RunFigures* out) {
  testing::TempDir dir;
  std::unique_ptr<Env> env = NewSystemEnv(dir.path());
  const std::string logs_folder = dir.File("logs");
  (void)CreateFolder(logs_folder);
  if (run.full_rings) FillRings(logs_folder, *env);
  dir.Write("settings.ini", "[FailQueue]\r\nEmailAlert1=failq@agency.example\r\n");
  dir.Write("tasks.csv",
            "FROM PCC,FROM QUEUE NO,FROM CATEGORY,MAPPING FILE,ADD NOTE,NOTEPAD\r\n"
            "ABC1,12,,MAP1.CSV,N,\r\n");
  dir.Write("MAP1.CSV",
            "AGENT NAME,AGENT SINE,PREFIX AGENT SINE,DI.AC,CI,DI.X,DESTINATION PCC,QUEUE NO,"
            "CATEGORY,DISTRIBUTED BY\r\n,XY,,,,,P1,12,,SINE\r\nSMITH,,,,,,P1,13,,NAME\r\n"
            ",,,129,,,P1,14,,DI.AC\r\n,,,,00123,,P2,5,,CI\r\n,,,,,ACME,P2,6,,DI.X\r\n");
  dir.Write("host.json", Scenario(run.pnrs));

  testing::RecordingWindow window;
  Logs logs(*env, logs_folder);
  logs.SetSizeLimit(1'000'000);
  frmMain form(*env, window, logs);
  form.log_file_size = 1'000'000;
  form.strUserName = "AMBERVALE";
  form.strAgentID = "1234";
  form.FailQueueActivated = true;
  form.FailQueueNo = "50";
  form.TaskMainPCCList = "ABC1\n";
  testing::RecordingMailerFactory mailers;
  Alerts alerts(form, mailers);
  std::string task_file = "tasks.csv";
  if (!LoadTaskMaintenanceFile(form, &task_file).ok() || !LoadMappingFiles(form).ok()) {
    std::fprintf(stderr, "configuration not loaded\n");
    return false;
  }

  const double processor_start = ProcessorSeconds();
  Clock::time_point start = Clock::now();
  Status status;
  std::unique_ptr<sim::SimHost> host = sim::SimHost::Open(
      dir.File("host.json"), run.state_file ? dir.File("state.json") : "", *env, &status);
  if (host == nullptr) {
    std::fprintf(stderr, "%s\n", status.message().c_str());
    return false;
  }
  out->open_seconds = Seconds(start);
  TimedTerminals terminals(*host);
  HostLayer layer(form, alerts, terminals);
  std::string state;
  if (layer.ConnectHost(&state) || state != "OK") return false;
  Session session{form, alerts, layer};
  Distribution distribution(session);
  terminals.inside = {};
  terminals.entries = 0;

  start = Clock::now();
  if (distribution.MoveQueue()) return false;
  out->run_seconds = Seconds(start);
  start = Clock::now();
  if (Status stopped = host->Stop(); !stopped.ok()) {
    std::fprintf(stderr, "%s\n", stopped.message().c_str());
    return false;
  }
  out->stop_seconds = Seconds(start);
  out->cpu_seconds = ProcessorSeconds() - processor_start;
  out->terminal_seconds = std::chrono::duration<double>(terminals.inside).count();
  out->entries = terminals.entries;
  out->moved = form.intSuccessCount;
  if (out->moved != run.pnrs) {
    std::fprintf(stderr, "the run did not move all %d PNRs (moved %d)\n", run.pnrs, out->moved);
    return false;
  }
  return true;
}

}  // namespace ambervale::bench
