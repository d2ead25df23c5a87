#include "testing/test_program.h"

#include "config/agent_mapping.h"
#include "config/cross_checks.h"
#include "config/task_maintenance.h"
#include "platform/classic_text.h"
#include "platform/files.h"
#include "testing/golden.h"

namespace ambervale::testing {
namespace {

// The exit code when the program ended, nullopt when it goes on.
std::optional<int> ExitCode(const ProgramEnd& end) {
  return end ? std::optional<int>(end.exit_code()) : std::nullopt;
}

}  // namespace

TestProgram::TestProgram(bool logs_folder, std::string folder)
    : dir(std::move(folder)),
      env(dir.path()),
      logs(env, dir.File("logs")),
      form(env, window, logs),
      alerts(form, mailers) {
  if (!logs_folder) return;
  (void)CreateFolder(dir.File("logs"));
  logs.SetSizeLimit(1 << 30);
  form.log_file_size = 1 << 30;
}

TestProgram::~TestProgram() {
  cycle.reset();
  if (host != nullptr) (void)host->Stop();
  if (terminals != nullptr) terminals->Stop();
}

std::string TestProgram::Log(std::string_view name) const {
  return dir.Read("logs/" + std::string(name));
}

std::string TestProgram::RunLog() const { return ScrambleLogText(Log("Ambervale_LOG_1.dat")); }

std::string TestProgram::Transcript(const std::vector<std::string>& names) const {
  std::string out;
  for (const std::string& name : names) out += "== " + name + "\n" + GoldenLines(Log(name));
  out += "== run log\n" + GoldenLines(RunLog());
  for (const RecordedMail& mail : mailers.sent()) {
    out += "== mail\n" + Replace(Describe(mail), "\r\n", "\n");
  }
  return Replace(out, dir.path(), "DIR");
}

void TestProgram::WriteStartupFiles(const SettingsOverrides& overrides) const {
  dir.Write("settings.ini", SettingsText(overrides));
  dir.Write("tasks.csv", TasksCsv({"ABC1,40,,MAP1.CSV,N,"}));
  dir.Write("MAP1.CSV", MappingCsv({"JANE SHAW,JS,,,,,ABC1,50,,SINE"}));
  dir.Write("host.json", R"({"agent_ids": ["1234"], "pccs": {"ABC1": {}, "DEF3": {}}})");
}

RunCycle& TestProgram::Cycle() {
  if (cycle == nullptr) {
    cycle = std::make_unique<RunCycle>(form, front_end, [this] {
      if (runs++ == 0) shown_at_first_run = front_end.shown();
      return on_run ? on_run() : ProgramEnd::GoOn();
    });
  }
  return *cycle;
}

std::optional<int> TestProgram::Load() {
  terminals = ChooseTerminal(form.SettingsPath(), env);
  tap = std::make_unique<HostTap>(terminals->factory());
  layer = std::make_unique<HostLayer>(form, alerts, *tap);
  return ExitCode(Form_Load(form, *layer, Cycle(), lock));
}

void TestProgram::Connect(std::string_view scenario, bool state_file, FileSystem* files) {
  if (!dir.Exists("settings.ini")) {
    dir.Write("settings.ini",
              "[FailQueue]\r\nEmailAlert1=failq@agency.example\r\n"
              "[EMails]\r\nEmailInternal=ops@agency.example\r\n"
              "[MailSetting]\r\nSMTPServerString=smtp.agency.example\r\n"
              "FromString=ambervale@agency.example\r\nSubjectString=Ambervale alert\r\n");
  }
  for (auto [field, value] : {std::pair{&form.strUserName, "AMBERVALE"},
                              {&form.strAgentID, "1234"},
                              {&form.FailQueueNo, "50"},
                              {&form.strTAUDate, "5"}}) {
    if (field->empty()) *field = value;
  }
  form.FailQueueActivated = true;

  Status status;
  if (state_file) {  // the scenario is read only while there is no state file
    dir.Write("scenario.json", scenario);
    host = sim::SimHost::Open(dir.File("scenario.json"), dir.File("host_state.json"), env, &status);
  } else {
    host = sim::SimHost::FromScenarioText(scenario, env, &status);
  }
  ASSERT_NE(host, nullptr) << "no simulated host: " << status.message();
  sim_terminals = std::make_unique<sim::SimTerminalFactory>(*host);
  tap = std::make_unique<HostTap>(*sim_terminals);
  layer = std::make_unique<HostLayer>(form, alerts, *tap);
  session = std::make_unique<Session>(Session{form, alerts, *layer});
  unticketed = std::make_unique<UnticketedRun>(*session);
  distribution = std::make_unique<Distribution>(*session, unticketed.get(),
                                                files != nullptr ? *files : PosixFileSystem());
  on_run = [this] { return distribution->MoveQueue(); };
  (void)Cycle();  // the window's events reach the form as in the program
  // What start-up leaves: a terminal object, signed on, out of queue mode.
  if (ConnectState(*layer) != "OK") {
    ASSERT_FALSE(layer->sendTECommand("SON/" + form.strAgentID));
    (void)ConnectState(*layer);
  }
  ASSERT_FALSE(layer->sendTECommand("QX+I"));
  (void)tap->TakeEntries();
}

void TestProgram::LoadConfiguration(std::string task_file) {
  form.taskMainFile = task_file;
  const LoadOutcome tasks = LoadTaskMaintenanceFile(form, &task_file);
  ASSERT_TRUE(tasks.ok()) << tasks.message();
  const LoadOutcome mappings = LoadMappingFiles(form);
  ASSERT_TRUE(mappings.ok()) << mappings.message();
  (void)BuildPCCCheck(form);  // the PCC list of the mails, as start-up builds it
}

std::optional<int> TestProgram::MoveQueue() { return ExitCode(distribution->MoveQueue()); }

std::vector<std::string> TestProgram::Queue(std::string_view key) const {
  const std::vector<std::string>* q = world().queues.Find(key);
  return q == nullptr ? std::vector<std::string>{} : *q;
}

std::string ConnectState(HostLayer& host) {
  std::string state;
  EXPECT_FALSE(host.ConnectHost(&state));
  return state;
}

}  // namespace ambervale::testing
