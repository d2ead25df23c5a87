#pragma once

// The texts of a program folder (settings.ini, the Task Maintenance and mapping files), their
// rows as the loaders give them, and the simulated host's scenario, as the tests write them.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/rows.h"
#include "sim/world.h"

namespace ambervale::testing {

// The header lines, CR LF ended: the Task Maintenance file's six columns of the distribution,
// all eight, and the three of the unticketed mode; the mapping file's.
inline constexpr char kTaskHeader[] =
    "FROM PCC,FROM QUEUE NO,FROM CATEGORY,MAPPING FILE,ADD NOTE,NOTEPAD\r\n";
inline constexpr char kTaskCsvHeader[] =
    "FROM PCC,FROM QUEUE NO,FROM CATEGORY,MAPPING FILE,ADD NOTE,NOTEPAD,AIRLINE,DAYS\r\n";
inline constexpr char kUnticketedTaskHeader[] = "FROM PCC,AIRLINE,DAYS\r\n";
inline constexpr char kMappingHeader[] =
    "AGENT NAME,AGENT SINE,PREFIX AGENT SINE,DI.AC,CI,DI.X,DESTINATION PCC,QUEUE NO,CATEGORY,"
    "DISTRIBUTED BY\r\n";

// `header` and `rows`, each row ended by CR LF.
std::string Csv(std::string_view header, const std::vector<std::string>& rows);
// Task rows "PCC,queue,category,mapping file,add note,note[,airline,days]".
inline std::string TasksCsv(const std::vector<std::string>& rows) {
  return Csv(kTaskCsvHeader, rows);
}
// Agent rows "name,sine,prefix,DI.AC,CI,DI.X,destination PCC,queue,category,distributed by".
inline std::string MappingCsv(const std::vector<std::string>& rows) {
  return Csv(kMappingHeader, rows);
}

// Rows of the Task Maintenance and agent mapping tables built in code, and whole tables shown as
// one text to compare at once.
// A mapping row distributed by `by` whose identifier of that kind is `value`.
clsAgentQueue AgentRow(std::string_view by, std::string_view value, std::string_view pcc = "XYZ9",
                       int16_t queue = 10, std::string_view category = "");
// The rows filed under their identifiers, as the loader files them, lines numbered from 2.
AgentTable AgentRows(const std::vector<clsAgentQueue>& rows);

// "KEY: row; row | KEY: row", each task row as PCC/queue/category/file/note/notepad@line, or
// PCC/airline/days@line without a mapping file (the unticketed mode).
std::string ShowTasks(const TaskTable& table);
// "ID: row; row | ID: row", each agent row as by:name/sine/PCC/queue/category@line.
std::string ShowAgents(const AgentTable& table);

// The Fail Queue Log's header block as a start on 2026/12/06 at `time` writes it, for Fail
// Queue 50 and `category`.
std::string FailQueueLogHead(std::string_view time, std::string_view category = "");

// settings.ini keys as "Section/Key" -> value; nullopt leaves the key out.
using SettingsOverrides = std::map<std::string, std::optional<std::string>>;
// settings.ini with CR LF line ends: defaults that start cleanly in the distribution mode on
// the in-process simulator (sim:host.json), with `overrides` written (or keys left out) as the
// program's own INI writer does.
std::string SettingsText(const SettingsOverrides& overrides = {});

// A scenario: agent 1234; PCCs ABC1, DEF3, XYZ9, P1, P2 (emulation allowed except into
// `refused_pccs`); the PNRs (JSON objects), the queues (key -> locators) and faults (JSON).
std::string Scenario(const std::vector<std::string>& pnrs,
                     const std::map<std::string, std::vector<std::string>>& queues,
                     std::string_view faults = "{}", bool signed_in = true,
                     const std::vector<std::string>& refused_pccs = {});
// A PNR object of ABC1; `more` adds fields ("\"ci\": \"00123\"").
std::string Pnr(std::string_view locator, std::string_view sine, std::string_view name,
                std::string_view more = "");

// Whether every PNR of the world is placed: on its source queue (one of `sources`), on the
// Fail Queue with a row in `fail_queue_log` (the current Fail Queue Log text), or on one or more
// agents' queues (any other queue) - and on nothing else besides.
::testing::AssertionResult EveryPnrPlaced(const sim::World& world, std::string_view fail_queue,
                                          std::string_view fail_queue_log,
                                          const std::vector<std::string>& sources);

}  // namespace ambervale::testing
