#include "testing/program_files.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "platform/classic_text.h"

namespace ambervale::testing {

std::string Csv(std::string_view header, const std::vector<std::string>& rows) {
  std::string text(header);
  for (const std::string& row : rows) text += row + "\r\n";
  return text;
}

std::string SettingsText(const SettingsOverrides& overrides) {
  std::vector<std::pair<std::string, std::optional<std::string>>> keys = {
      {"LOG/LOGFILESIZE", "1000000"},
      {"TIMER/COUNTER", "60"},
      {"USER/NAME", "ROBOT"},
      {"AGENT/ID", "1234"},
      {"DebugMode/debugString", ""},
      {"MOVE/MUSTMOVE", "N"},
      {"TAU/TAUCHECK", "N"},
      {"TAU/DATE", "5"},
      {"MOVEMODE/PNRMODE", ""},
      {"ToQueue/DestQueue", "70"},
      {"FILE/TASKMAINTAIN", "tasks.csv"},
      {"FailQueue/FailQueueActivated", "N"},
      {"FailQueue/FailQueueNo", ""},
      {"FailQueue/FailQueueCategoryNo", ""},
      {"FailQueue/EmailAlert1", ""},
      {"Others/PCCCheck", "N"},
      {"Others/SendEmailAfterEveryIteration", "N"},
      {"Terminal/Connection", "sim:host.json"},
  };
  for (const auto& entry : overrides) {
    const std::string& name = entry.first;
    auto it = std::find_if(keys.begin(), keys.end(), [&](auto& k) { return k.first == name; });
    if (it == keys.end()) it = keys.insert(keys.end(), {name, std::nullopt});
    it->second = entry.second;
  }
  // One block per section, in the order of first mention; keys the defaults lack come last.
  std::vector<std::pair<std::string, std::string>> sections;
  for (const auto& [name, value] : keys) {
    if (!value) continue;
    const std::string section = name.substr(0, name.find('/'));
    auto it = std::find_if(sections.begin(), sections.end(),
                           [&](const auto& s) { return s.first == section; });
    if (it == sections.end()) it = sections.insert(sections.end(), {section, ""});
    it->second += name.substr(section.size() + 1) + "=" + *value + "\r\n";
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

clsAgentQueue AgentRow(std::string_view by, std::string_view value, std::string_view pcc,
                       int16_t queue, std::string_view category) {
  clsAgentQueue row;
  row.fldDistributedBy = by;
  const std::string kind = UCase(by);
  std::string* field = kind == "NAME"    ? &row.fldAgentName
                       : kind == "DI.AC" ? &row.fldDI_AC
                       : kind == "CI"    ? &row.fldCI
                       : kind == "DI.X"  ? &row.fldDI_X_QD
                                         : &row.fldAgentSine;
  *field = value;
  row.fldDestPCC = pcc;
  row.fldQueueNo = queue;
  row.fldCatagory = category;
  return row;
}

AgentTable AgentRows(const std::vector<clsAgentQueue>& rows) {
  AgentTable table;
  int line = 2;
  for (clsAgentQueue row : rows) {
    row.line_number = line++;
    table.GetOrAdd(row.fldAgentId()).push_back(row);
  }
  return table;
}

namespace {

template <typename Table, typename Show>
std::string ShowTable(const Table& table, Show show) {
  std::string out;
  for (const auto& [key, rows] : table) {
    out += (out.empty() ? "" : " | ") + key + ":";
    for (size_t i = 0; i < rows.size(); ++i) out += (i == 0 ? " " : "; ") + show(rows[i]);
  }
  return out;
}

}  // namespace

std::string ShowTasks(const TaskTable& table) {
  return ShowTable(table, [](const clsFromQueue& r) {
    const std::string fields = r.fldMappingFileName.empty()
                                   ? r.fldAirline + "/" + std::to_string(r.fldDays)
                                   : std::to_string(r.fldFmQueueNo) + "/" + r.fldFmCategory + "/" +
                                         r.fldMappingFileName + "/" + (r.fldAddNote ? "Y" : "N") +
                                         "/" + r.fldNotePad;
    return r.fldFmPCC + "/" + fields + "@" + std::to_string(r.line_number);
  });
}

std::string ShowAgents(const AgentTable& table) {
  return ShowTable(table, [](const clsAgentQueue& r) {
    return r.fldDistributedBy + ":" + r.fldAgentName + "/" + r.fldAgentSine + "/" + r.fldDestPCC +
           "/" + std::to_string(r.fldQueueNo) + "/" + r.fldCatagory + "@" +
           std::to_string(r.line_number);
  });
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
      if (std::ranges::find(locators, locator) != locators.end()) on.push_back(key);
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
