#include "testing/program_files.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "platform/classic_text.h"
#include "platform/ini.h"
#include "testing/fake_env.h"
#include "testing/fake_file_system.h"

namespace ambervale::testing {

std::string Csv(std::string_view header, const std::vector<std::string>& rows) {
  std::string text(header);
  for (const std::string& row : rows) text += row + "\r\n";
  return text;
}

std::string SettingsText(const SettingsOverrides& overrides) {
  FakeEnv env;
  FakeFileSystem files(env);
  const std::string ini = "settings.ini";
  (void)files.WriteAtomically(
      ini,
      "[LOG]\r\nLOGFILESIZE=1000000\r\n[TIMER]\r\nCOUNTER=60\r\n[USER]\r\nNAME=ROBOT\r\n"
      "[AGENT]\r\nID=1234\r\n[DebugMode]\r\ndebugString=\r\n[MOVE]\r\nMUSTMOVE=N\r\n"
      "[TAU]\r\nTAUCHECK=N\r\nDATE=5\r\n[MOVEMODE]\r\nPNRMODE=\r\n[ToQueue]\r\nDestQueue=70\r\n"
      "[FILE]\r\nTASKMAINTAIN=tasks.csv\r\n[FailQueue]\r\nFailQueueActivated=N\r\n"
      "FailQueueNo=\r\nFailQueueCategoryNo=\r\nEmailAlert1=\r\n[Others]\r\nPCCCheck=N\r\n"
      "SendEmailAfterEveryIteration=N\r\n[Terminal]\r\nConnection=sim:host.json\r\n");
  const clsINI writer(files);
  for (const auto& [name, value] : overrides) {
    const std::string section = name.substr(0, name.find('/'));
    const std::string key = name.substr(section.size() + 1);
    EXPECT_FALSE(value ? writer.WriteToINI(section, key, *value, ini)
                       : writer.DeleteKey(section, key, ini))
        << name;
  }
  return files.Contents(ini).value_or("");
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
