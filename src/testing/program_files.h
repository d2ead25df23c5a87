#pragma once

// The texts of a program folder (settings.ini, the Task Maintenance and mapping files) and of
// the simulated host's scenario, as the tests write them.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/world.h"

namespace ambervale::testing {

inline constexpr char kTaskCsvHeader[] =
    "FROM PCC,FROM QUEUE NO,FROM CATEGORY,MAPPING FILE,ADD NOTE,NOTEPAD,AIRLINE,DAYS";
inline constexpr char kUnticketedTaskHeader[] = "FROM PCC,AIRLINE,DAYS";
inline constexpr char kMappingCsvHeader[] =
    "AGENT NAME,AGENT SINE,PREFIX AGENT SINE,DI.AC,CI,DI.X,DESTINATION PCC,QUEUE NO,CATEGORY,"
    "DISTRIBUTED BY";

// `header` and `rows`, each line ended by CR LF.
std::string Csv(std::string_view header, const std::vector<std::string>& rows);
// Task rows "PCC,queue,category,mapping file,add note,note[,airline,days]".
inline std::string TasksCsv(const std::vector<std::string>& rows) {
  return Csv(kTaskCsvHeader, rows);
}
// Agent rows "name,sine,prefix,DI.AC,CI,DI.X,destination PCC,queue,category,distributed by".
inline std::string MappingCsv(const std::vector<std::string>& rows) {
  return Csv(kMappingCsvHeader, rows);
}

// The Fail Queue Log's header block as a start on 2026/12/06 at `time` writes it, for Fail
// Queue 50 and `category`.
std::string FailQueueLogHead(std::string_view time, std::string_view category = "");

// settings.ini keys as "Section/Key" -> value; nullopt leaves the key out.
using SettingsOverrides = std::map<std::string, std::optional<std::string>>;
// settings.ini with CR LF line ends: defaults that start cleanly in the distribution mode on
// the in-process simulator (sim:host.json), with `overrides` applied.
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
