#include "distribution/distribution_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "config/agent_mapping.h"
#include "config/task_maintenance.h"
#include "platform/classic_text.h"
#include "platform/files.h"
#include "sim/sim_terminal.h"

namespace ambervale::testing {

class TapTerminal : public Terminal {
 public:
  TapTerminal(HostTap& tap, std::unique_ptr<Terminal> inner)
      : tap_(tap), inner_(std::move(inner)) {}

  Status SendEntry(std::string_view text) override {
    const std::string entry = sim::EntryOfRequest(text);
    tap_.entries_.push_back(entry);
    for (const auto& [prefix, action] : tap_.hooks_) {
      if (entry.starts_with(prefix)) action();
    }
    standing_in_ = false;
    for (HostTap::Stand& stand : tap_.stands_) {
      if (stand.times <= 0 || !entry.starts_with(stand.prefix)) continue;
      if (stand.skip > 0) {
        --stand.skip;
        continue;
      }
      --stand.times;
      lines_ = stand.lines;
      standing_in_ = true;
      return stand.pass_to_host ? inner_->SendEntry(text) : Status::Ok();
    }
    return inner_->SendEntry(text);
  }
  std::optional<int16_t> GetLineCount() override {
    if (standing_in_) return static_cast<int16_t>(lines_.size());
    return inner_->GetLineCount();
  }
  std::optional<std::string> GetLine(int16_t index) override {
    if (!standing_in_) return inner_->GetLine(index);
    if (index < 0 || static_cast<size_t>(index) >= lines_.size()) return std::nullopt;
    return lines_[static_cast<size_t>(index)];
  }

 private:
  HostTap& tap_;
  std::unique_ptr<Terminal> inner_;
  bool standing_in_ = false;
  std::vector<std::string> lines_;
};

std::unique_ptr<Terminal> HostTap::Create(Status* error) {
  sim::SimTerminalFactory sims(host_);
  std::unique_ptr<Terminal> inner = sims.Create(error);
  if (inner == nullptr) return nullptr;
  return std::make_unique<TapTerminal>(*this, std::move(inner));
}

void HostTap::Intercept(std::string prefix, std::vector<std::string> lines, int times, int skip) {
  stands_.push_back({std::move(prefix), std::move(lines), times, false, skip});
}

void HostTap::Rewrite(std::string prefix, std::vector<std::string> lines, int times) {
  stands_.push_back({std::move(prefix), std::move(lines), times, true});
}

void HostTap::OnEntry(std::string prefix, std::function<void()> action) {
  hooks_.emplace_back(std::move(prefix), std::move(action));
}

std::vector<std::string> HostTap::TakeEntries() {
  std::vector<std::string> out(entries_.begin() + static_cast<std::ptrdiff_t>(taken_),
                               entries_.end());
  taken_ = entries_.size();
  return out;
}

// The window's events as the application hands them on: the Cancel button reaches frmMain.
class ProgramStart::Events : public WindowEvents {
 public:
  explicit Events(frmMain& form) : form_(form) {}
  void OnCloseRequest() override {}
  void OnActionLogDoubleClick() override {}
  void OnCancelClick(bool confirmed) override { form_.cmdCancel_Click(confirmed); }

 private:
  frmMain& form_;
};

ProgramStart::ProgramStart(std::string program_folder, std::string_view scenario, bool state_file,
                           const StartSettings& settings)
    : folder(std::move(program_folder)),
      env(folder),
      logs(env, JoinPath(folder, "logs")),
      form(env, window, logs),
      alerts(form, mailers),
      events_(std::make_unique<Events>(form)) {
  (void)CreateFolder(JoinPath(folder, "logs"));
  window.SetEventHandler(events_.get());
  logs.SetSizeLimit(1 << 30);
  form.log_file_size = 1 << 30;
  if (!FileExists(JoinPath(folder, "settings.ini"))) {
    (void)WriteFile(JoinPath(folder, "settings.ini"),
                    "[FailQueue]\r\nEmailAlert1=failq@agency.example\r\n"
                    "[EMails]\r\nEmailInternal=ops@agency.example\r\n"
                    "[MailSetting]\r\nSMTPServerString=smtp.agency.example\r\n"
                    "FromString=ambervale@agency.example\r\nSubjectString=Ambervale alert\r\n");
  }
  form.strUserName = settings.user_name;
  form.strAgentID = settings.agent_id;
  form.FailQueueActivated = settings.fail_queue;
  form.FailQueueNo = settings.fail_queue_no;
  form.FailQueueCategory = settings.fail_category;
  form.blnTAUCheck = settings.tau_check;
  form.strTAUDate = settings.tau_date;
  form.blnMustMove = settings.must_move;
  form.SendEmailAfterEveryIteration = settings.email_every_run;
  form.strPNRMoveMode = settings.pnr_mode;

  Status status;
  host = state_file ? sim::SimHost::Open("", JoinPath(folder, "host_state.json"), env, &status)
                    : nullptr;
  if (state_file && host == nullptr) {
    // No state file yet: the world starts from the scenario, and is kept from now on.
    const std::string scenario_path = JoinPath(folder, "scenario.json");
    (void)WriteFile(scenario_path, scenario);
    host = sim::SimHost::Open(scenario_path, JoinPath(folder, "host_state.json"), env, &status);
  } else if (!state_file) {
    host = sim::SimHost::FromScenarioText(scenario, env, &status);
  }
  if (host == nullptr) {
    ADD_FAILURE() << "no simulated host: " << status.message();
    return;
  }
  tap = std::make_unique<HostTap>(*host);
  layer = std::make_unique<HostLayer>(form, alerts, *tap);
  session = std::make_unique<Session>(Session{form, alerts, *layer});
  distribution = std::make_unique<Distribution>(
      *session, nullptr, settings.files != nullptr ? *settings.files : PosixFileSystem());
  // What start-up leaves: a terminal object, signed on, out of queue mode.
  if (layer->ConnectHost() != "OK") {
    layer->sendTECommand("SON/" + settings.agent_id);
    (void)layer->ConnectHost();
  }
  layer->sendTECommand("QX+I");
  (void)tap->TakeEntries();
}

ProgramStart::~ProgramStart() {
  if (host != nullptr) (void)host->Stop();
}

void ProgramStart::LoadConfiguration(std::string task_file) {
  form.taskMainFile = task_file;
  const Status tasks = LoadTaskMaintenanceFile(form, task_file);
  ASSERT_TRUE(tasks.ok()) << tasks.message();
  const Status mappings = LoadMappingFiles(form);
  ASSERT_TRUE(mappings.ok()) << mappings.message();
  std::string pccs;
  for (const auto& [key, rows] : form.dictFmtoMapping) {
    if (!rows.empty() && !Contains(pccs, rows.front().fldFmPCC)) {
      pccs += (pccs.empty() ? "" : ",") + rows.front().fldFmPCC;
    }
  }
  form.TaskMainPCCList = pccs + "\n";
}

std::vector<std::string> ProgramStart::Queue(std::string_view key) const {
  const std::vector<std::string>* q = world().queues.Find(key);
  return q == nullptr ? std::vector<std::string>{} : *q;
}

std::string ProgramStart::Log(std::string_view name) const {
  return ReadFile(JoinPath(JoinPath(folder, "logs"), name)).value_or("");
}

std::string ProgramStart::RunLog() const { return ScrambleLogText(Log("Ambervale_LOG_1.dat")); }

void ProgramStart::StopAtDoEvents(int n) {
  if (n <= 1) {
    window.OnNextDoEvents([this](WindowEvents&) { form.blnStopRequested = true; });
  } else {
    window.OnNextDoEvents([this, n](WindowEvents&) { StopAtDoEvents(n - 1); });
  }
}

std::string TasksCsv(const std::vector<std::string>& rows) {
  std::string text = "FROM PCC,FROM QUEUE NO,FROM CATEGORY,MAPPING FILE,ADD NOTE,NOTEPAD\r\n";
  for (const std::string& row : rows) text += row + "\r\n";
  return text;
}

std::string MappingCsv(const std::vector<std::string>& rows) {
  std::string text =
      "AGENT NAME,AGENT SINE,PREFIX AGENT SINE,DI.AC,CI,DI.X,DESTINATION PCC,QUEUE NO,CATEGORY,"
      "DISTRIBUTED BY\r\n";
  for (const std::string& row : rows) text += row + "\r\n";
  return text;
}

std::string Scenario(const std::vector<std::string>& pnrs,
                     const std::map<std::string, std::vector<std::string>>& queues,
                     std::string_view faults, bool signed_in,
                     const std::vector<std::string>& refused_pccs) {
  std::string json = std::string("{\"agent_ids\": [\"1234\"], \"signed_in\": ") +
                     (signed_in ? "true" : "false") + ", \"pccs\": {";
  const char* kPccs[] = {"ABC1", "DEF3", "XYZ9", "P1", "P2"};
  for (size_t i = 0; i < std::size(kPccs); ++i) {
    const bool refused =
        std::find(refused_pccs.begin(), refused_pccs.end(), kPccs[i]) != refused_pccs.end();
    json += std::string(i ? ", " : "") + "\"" + kPccs[i] +
            "\": {\"emulation\": " + (refused ? "false" : "true") + "}";
  }
  json += "}, \"pnrs\": [";
  for (size_t i = 0; i < pnrs.size(); ++i) json += (i ? ", " : "") + pnrs[i];
  json += "], \"queues\": {";
  bool first = true;
  for (const auto& [key, locators] : queues) {
    json += std::string(first ? "" : ", ") + "\"" + key + "\": [";
    for (size_t i = 0; i < locators.size(); ++i) {
      json += std::string(i ? ", " : "") + "\"" + locators[i] + "\"";
    }
    json += "]";
    first = false;
  }
  json += "}, \"faults\": " + std::string(faults) + "}";
  return json;
}

std::string Pnr(std::string_view locator, std::string_view sine, std::string_view name,
                std::string_view more) {
  std::string json = "{\"locator\": \"" + std::string(locator) +
                     "\", \"owner_pcc\": \"ABC1\", \"sine\": \"" + std::string(sine) +
                     "\", \"name\": \"" + std::string(name) + "\"";
  if (!more.empty()) json += ", " + std::string(more);
  return json + "}";
}

::testing::AssertionResult EveryPnrPlaced(const sim::World& world, std::string_view fail_queue,
                                          std::string_view fail_queue_log,
                                          const std::vector<std::string>& sources) {
  for (const auto& [locator, pnr] : world.pnrs) {
    std::vector<std::string> on;
    for (const auto& [key, locators] : world.queues) {
      if (std::find(locators.begin(), locators.end(), locator) != locators.end()) {
        on.push_back(key);
      }
    }
    std::string where;
    for (const std::string& key : on) where += " " + key;
    if (on.empty()) return ::testing::AssertionFailure() << locator << " is on no queue";
    const bool held = std::any_of(on.begin(), on.end(), [&](const std::string& key) {
      return key == fail_queue || std::find(sources.begin(), sources.end(), key) != sources.end();
    });
    if (held && on.size() > 1) {
      return ::testing::AssertionFailure() << locator << " is on several queues:" << where;
    }
    if (on.front() == fail_queue &&
        fail_queue_log.find("," + locator + ",") == std::string_view::npos) {
      return ::testing::AssertionFailure()
             << locator << " is on the Fail Queue without a Fail Queue Log row";
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace ambervale::testing
