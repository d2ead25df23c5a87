#include "testing/config_rows.h"

#include "platform/classic_text.h"

namespace ambervale::testing {

clsFromQueue TaskRow(std::string_view pcc, int16_t queue, std::string_view category,
                     std::string_view mapping_file) {
  clsFromQueue row;
  row.fldFmPCC = pcc;
  row.fldFmQueueNo = queue;
  row.fldFmCategory = category;
  row.fldMappingFileName = mapping_file;
  return row;
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

}  // namespace ambervale::testing
