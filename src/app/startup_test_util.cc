#include "app/startup_test_util.h"

#include "logs/logs.h"
#include "platform/classic_text.h"

namespace ambervale {
namespace {

struct DefaultSetting {
  const char* section;
  const char* key;
  const char* value;
};

constexpr DefaultSetting kDefaults[] = {
    {"LOG", "LOGFILESIZE", "1000000"},
    {"TIMER", "COUNTER", "60"},
    {"USER", "NAME", "ROBOT"},
    {"AGENT", "ID", "1234"},
    {"DebugMode", "debugString", ""},
    {"MOVE", "MUSTMOVE", "N"},
    {"TAU", "TAUCHECK", "N"},
    {"TAU", "DATE", "5"},
    {"MOVEMODE", "PNRMODE", ""},
    {"ToQueue", "DestQueue", "70"},
    {"FILE", "TASKMAINTAIN", "tasks.csv"},
    {"FailQueue", "FailQueueActivated", "N"},
    {"FailQueue", "FailQueueNo", ""},
    {"FailQueue", "FailQueueCategoryNo", ""},
    {"FailQueue", "EmailAlert1", ""},
    {"Others", "PCCCheck", "N"},
    {"Others", "SendEmailAfterEveryIteration", "N"},
    {"Terminal", "Connection", "sim:host.json"},
};

}  // namespace

std::string SettingsText(const SettingsOverrides& overrides) {
  std::map<std::string, std::string> sections;  // keeps one block per section
  std::vector<std::string> order;
  auto add = [&](const std::string& section, const std::string& line) {
    if (!sections.count(section)) order.push_back(section);
    sections[section] += line + "\r\n";
  };
  for (const DefaultSetting& d : kDefaults) {
    const std::string name = std::string(d.section) + "/" + d.key;
    const auto it = overrides.find(name);
    if (it == overrides.end()) {
      add(d.section, std::string(d.key) + "=" + d.value);
    } else if (it->second) {
      add(d.section, std::string(d.key) + "=" + *it->second);
    }
  }
  for (const auto& [name, value] : overrides) {
    const size_t slash = name.find('/');
    bool known = false;
    for (const DefaultSetting& d : kDefaults) {
      known = known || name == std::string(d.section) + "/" + d.key;
    }
    if (!known && value) add(name.substr(0, slash), name.substr(slash + 1) + "=" + *value);
  }
  std::string text;
  for (const std::string& section : order) text += "[" + section + "]\r\n" + sections[section];
  return text;
}

StartupFolder::StartupFolder()
    : env(dir.path()),
      logs(env, dir.File("logs")),
      form(env, window, logs),
      alerts(form, mailers) {}

void StartupFolder::WriteSettings(const SettingsOverrides& overrides) const {
  dir.Write("settings.ini", SettingsText(overrides));
}

void StartupFolder::WriteFiles() const {
  dir.Write("tasks.csv", std::string(kTaskHeader) + "AB12,40,,MAP1.CSV,N,,,\r\n");
  dir.Write("MAP1.CSV", std::string(kMappingHeader) + "JANE SHAW,JS,,,,,AB12,50,,SINE\r\n");
  dir.Write("host.json", R"({"agent_ids": ["1234"], "pccs": {"AB12": {}, "CD34": {}}})");
}

std::optional<int> StartupFolder::Load() {
  terminals = ChooseTerminal(form.SettingsPath(), env);
  host = std::make_unique<HostLayer>(form, alerts, terminals->factory());
  cycle = std::make_unique<RunCycle>(form, front_end, [this] {
    if (runs++ == 0) shown_at_first_run = front_end.shown();
  });
  try {
    Form_Load(form, *host, *cycle, lock);
  } catch (const ProgramEnded& ended) {
    return ended.exit_code;
  }
  return std::nullopt;
}

std::string StartupFolder::RunLog() const {
  return ScrambleLogText(dir.Read("logs/Ambervale_LOG_1.dat"));
}

std::vector<std::string> StartupFolder::Entries() const {
  std::vector<std::string> entries;
  const std::string debug = Debug();
  size_t at = 0;
  while ((at = debug.find("\r\n<FORMAT>", at)) != std::string::npos) {
    at += 10;
    const size_t end = debug.find("</FORMAT>", at);
    entries.push_back(debug.substr(at, end - at));
  }
  return entries;
}

std::vector<std::string> StartupFolder::ListMessages() const {
  std::vector<std::string> out;
  for (const std::string& line : window.list()) out.push_back(Mid(line, 23));
  return out;
}

}  // namespace ambervale
