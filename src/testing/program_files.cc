#include "testing/program_files.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace ambervale::testing {

std::string Csv(std::string_view header, const std::vector<std::string>& rows) {
  std::string text = std::string(header) + "\r\n";
  for (const std::string& row : rows) text += row + "\r\n";
  return text;
}

std::string SettingsText(const SettingsOverrides& overrides) {
  static const char* const kDefaults[][3] = {
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
  // One block per section, in the order of first mention; keys the defaults lack come last.
  std::vector<std::pair<std::string, std::string>> sections;
  const auto add = [&](const std::string& section, const std::string& key,
                       const std::optional<std::string>& value) {
    if (!value) return;
    auto it = std::find_if(sections.begin(), sections.end(),
                           [&](const auto& s) { return s.first == section; });
    if (it == sections.end()) it = sections.insert(sections.end(), {section, ""});
    it->second += key + "=" + *value + "\r\n";
  };
  SettingsOverrides rest = overrides;
  for (const auto& [section, key, value] : kDefaults) {
    const auto it = rest.find(std::string(section) + "/" + key);
    add(section, key, it == rest.end() ? std::optional<std::string>(value) : it->second);
    if (it != rest.end()) rest.erase(it);
  }
  for (const auto& [name, value] : rest) {
    add(name.substr(0, name.find('/')), name.substr(name.find('/') + 1), value);
  }
  std::string text;
  for (const auto& [section, lines] : sections) text += "[" + section + "]\r\n" + lines;
  return text;
}

std::string Scenario(const std::vector<std::string>& pnrs,
                     const std::map<std::string, std::vector<std::string>>& queues,
                     std::string_view faults, bool signed_in,
                     const std::vector<std::string>& refused_pccs) {
  nlohmann::ordered_json json = {{"agent_ids", {"1234"}}, {"signed_in", signed_in}};
  for (const char* pcc : {"ABC1", "DEF3", "XYZ9", "P1", "P2"}) {
    json["pccs"][pcc]["emulation"] =
        std::find(refused_pccs.begin(), refused_pccs.end(), pcc) == refused_pccs.end();
  }
  json["pnrs"] = nlohmann::ordered_json::array();
  for (const std::string& pnr : pnrs) json["pnrs"].push_back(nlohmann::ordered_json::parse(pnr));
  json["queues"] = nlohmann::ordered_json::object();
  for (const auto& [key, locators] : queues) json["queues"][key] = locators;
  json["faults"] = nlohmann::ordered_json::parse(faults);
  return json.dump();
}

std::string FailQueueLogHead(std::string_view time, std::string_view category) {
  return "From PCC, From Queue,To Queue,To Category,PNR,Failed PNRs Time,Reason for Failure,SINE,"
         "NAME,DI.AC,CI,DI.X\r\n2026/12/06 " +
         std::string(time) + " - Started by Agent,,,,,,,,,,,\r\nFail Queue assigned : ,,50," +
         std::string(category) + ",,,,,,,,\r\n";
}

std::string Pnr(std::string_view locator, std::string_view sine, std::string_view name,
                std::string_view more) {
  return "{\"locator\": \"" + std::string(locator) + "\", \"owner_pcc\": \"ABC1\", \"sine\": \"" +
         std::string(sine) + "\", \"name\": \"" + std::string(name) + "\"" +
         (more.empty() ? "" : ", " + std::string(more)) + "}";
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
    if (on.empty()) return ::testing::AssertionFailure() << locator << " is on no queue";
    const bool held = std::any_of(on.begin(), on.end(), [&](const std::string& key) {
      return key == fail_queue || std::find(sources.begin(), sources.end(), key) != sources.end();
    });
    if (held && on.size() > 1) {
      return ::testing::AssertionFailure()
             << locator << " is on several queues: " << ::testing::PrintToString(on);
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
