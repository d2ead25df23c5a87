#pragma once

// Rows of the Task Maintenance and agent mapping tables for the configuration tests: the files'
// header lines, rows built in code, and whole tables shown as one text to compare at once.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/rows.h"

namespace ambervale::testing {

inline constexpr char kTaskHeader[] =
    "FROM PCC,FROM QUEUE NO,FROM CATEGORY,MAPPING FILE,ADD NOTE,NOTEPAD\r\n";
inline constexpr char kMappingHeader[] =
    "AGENT NAME,AGENT SINE,PREFIX AGENT SINE,DI.AC,CI,DI.X,DESTINATION PCC,QUEUE NO,CATEGORY,"
    "DISTRIBUTED BY\r\n";

// A Task Maintenance row.
clsFromQueue TaskRow(std::string_view pcc, int16_t queue, std::string_view category = "",
                     std::string_view mapping_file = "");

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

}  // namespace ambervale::testing
