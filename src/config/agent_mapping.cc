#include "config/agent_mapping.h"

#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "config/config_csv.h"
#include "config/csv.h"
#include "config/file_lookup.h"
#include "config/settings.h"
#include "logs/logs.h"
#include "platform/classic_text.h"
#include "platform/file_system.h"
#include "platform/files.h"

namespace ambervale {
namespace {

constexpr std::string_view kMissingFile =
    "Missing mapping file. Please check task maintenance file and the location of the mapping "
    "file.";
constexpr std::string_view kMissingValuesFile = "tempMissMappingValue.log";

// What the load found so far, for the reports made after the last file.
struct LoadReport {
  std::string text;  // one line per file with missing values
  int files_with_missing_values = 0;
  bool missing_values = false;
  bool invalid_prefix = false;
  std::string invalid_prefix_files;  // joined by "/"
};

// What one file's rows found.
struct FileReport {
  bool missing_values = false;
  std::string distributed_by;  // of the incomplete rows, joined by "/"
  bool invalid_prefix = false;
};

Status Fail(frmMain& form, const std::string& problem) {
  WriteProblemLine(form, problem);
  return Status::Error(problem);
}

std::string TaskFileLabel(const frmMain& form) {
  const std::string name = Trim(form.taskMainFile);
  return name.empty() ? "the Task Maintenance file" : name;
}

// "SALES.CSV (named on TASKS.CSV line 3)".
std::string NamedBy(const frmMain& form, const clsFromQueue& task) {
  return task.fldMappingFileName + " (named on " + TaskFileLabel(form) + " line " +
         std::to_string(task.line_number) + ")";
}

// The column that holds the identifier of a row distributed by `by`; empty when `by` is not
// one of the five kinds.
std::string_view IdentifierColumn(std::string_view by) {
  if (EqualsNoCase(by, "SINE")) return "AGENT SINE";
  if (EqualsNoCase(by, "NAME")) return "AGENT NAME";
  if (EqualsNoCase(by, "DI.AC")) return "DI.AC";
  if (EqualsNoCase(by, "CI")) return "CI";
  if (EqualsNoCase(by, "DI.X")) return "DI.X";
  return "";
}

// Why a row without identifier or destination PCC is incomplete.
std::string MissingValuesDetail(const CsvRowReader& reader, const clsAgentQueue& row) {
  std::vector<std::string> reasons;
  if (row.fldAgentId().empty()) {
    const std::string_view column = IdentifierColumn(row.fldDistributedBy);
    if (row.fldDistributedBy.empty()) {
      reasons.push_back("column \"DISTRIBUTED BY\" is empty");
    } else if (column.empty()) {
      reasons.push_back("column \"DISTRIBUTED BY\": " + Quoted(row.fldDistributedBy) +
                        " is not one of SINE, NAME, DI.AC, CI, DI.X");
    } else {
      reasons.push_back("column " + Quoted(column) + " is empty, but the row is distributed by " +
                        row.fldDistributedBy);
    }
  }
  if (row.fldDestPCC.empty()) reasons.push_back("column \"DESTINATION PCC\" is empty");
  std::string detail = reader.Where() + ": ";
  for (size_t i = 0; i < reasons.size(); ++i) detail += (i > 0 ? "; " : "") + reasons[i];
  return detail;
}

// Reads the fields of one data row in the file's order of reading; false on a failure, whose
// text the reader keeps.
bool ReadAgentRow(CsvRowReader& reader, clsAgentQueue& row) {
  const auto upper = [&reader](std::string_view column, std::string& field) {
    const std::optional<std::string> cell = reader.Cell(column);
    if (cell) field = UCase(*cell);
    return cell.has_value();
  };
  if (!upper("AGENT NAME", row.fldAgentName) || !upper("AGENT SINE", row.fldAgentSine) ||
      !upper("PREFIX AGENT SINE", row.fldPrefix_agent_Sine)) {
    return false;
  }
  row.fldAgentSine = PrefixedSine(row.fldAgentSine, row.fldPrefix_agent_Sine);
  if (!upper("DI.AC", row.fldDI_AC) || !upper("CI", row.fldCI) || !upper("DI.X", row.fldDI_X_QD) ||
      !upper("DESTINATION PCC", row.fldDestPCC)) {
    return false;
  }
  const std::optional<int16_t> queue = reader.Number("QUEUE NO");
  if (!queue) return false;
  row.fldQueueNo = *queue;
  return upper("CATEGORY", row.fldCatagory) && upper("DISTRIBUTED BY", row.fldDistributedBy);
}

// Checks one row for missing values and its prefix, writing the debug lines of a missing value.
void CheckAgentRow(frmMain& form, const clsFromQueue& task, const CsvRowReader& reader,
                   const clsAgentQueue& row, FileReport& file) {
  if (row.fldAgentId().empty() || row.fldDestPCC.empty()) {
    form.logs().WriteDebugLog(
        DebugStopText(form.env().LocalNow(), ". Error in " + task.fldMappingFileName));
    WriteProblemLine(form, MissingValuesDetail(reader, row));
    if (!file.distributed_by.empty()) file.distributed_by += "/";
    file.distributed_by += row.fldDistributedBy;
    file.missing_values = true;
  }
  if (row.fldPrefix_agent_Sine != "0" && !row.fldPrefix_agent_Sine.empty()) {
    WriteProblemLine(form, reader.Where() + ", column \"PREFIX AGENT SINE\": " +
                               Quoted(row.fldPrefix_agent_Sine) + " must be \"0\" or empty");
    file.invalid_prefix = true;
  }
}

// Loads the file of one task row into form.dictAgentMapping.
Status LoadOneFile(frmMain& form, const clsFromQueue& task, ColumnTable& columns,
                   LoadReport& report) {
  const std::string& name = task.fldMappingFileName;
  const FileLookup lookup = FindConfigFile(form.files(), name, form.env().ProgramFolder());
  if (lookup.outcome == FileLookup::kAmbiguous) {
    return Fail(form, "Mapping file " + NamedBy(form, task) +
                          ": two files have that name in different letter case, " +
                          Quoted(lookup.first) + " and " + Quoted(lookup.second) +
                          "; rename or remove one of them");
  }
  if (lookup.outcome == FileLookup::kMissing) {
    form.logs().WriteDebugLog(DebugStopText(form.env().LocalNow(), kMissingFile));
    return Fail(form, "Mapping file " + NamedBy(form, task) +
                          " was not found in the working directory or in the program folder " +
                          Quoted(form.env().ProgramFolder()));
  }

  // The file is read whole (a read that fails part-way reads nothing) and parsed a block of
  // lines at a time, so a large file's cells are never all held beside its table.
  std::optional<std::string> bytes = ReadRegularFile(form.files(), lookup.path);
  if (!bytes) return Fail(form, "Mapping file " + NamedBy(form, task) + " cannot be read");
  std::string problem;
  const std::optional<std::string> text = ConfigCsvText(name, std::move(*bytes), problem);
  if (!text) return Fail(form, problem);

  AgentTable table;
  FileReport file;
  bool header = false;
  const auto read_row = [&](int line, const CsvRow& cells) {
    if (line == 1) {
      header = true;
      ReadHeaderRow(cells, columns);
      if (!HasMissingColumn(columns)) return true;
      form.logs().WriteDebugLog(
          DebugStopText(form.env().LocalNow(), ". Agent Mapping File configure Error."));
      problem =
          name + " line 1: the header row has no column " + Quoted(FirstMissingColumn(columns));
      return false;
    }
    CsvRowReader reader(name, line, cells, columns);
    clsAgentQueue row;
    row.line_number = line;
    if (!ReadAgentRow(reader, row)) {
      problem = reader.problem();
      return false;
    }
    CheckAgentRow(form, task, reader, row, file);
    table.GetOrAdd(row.fldAgentId()).push_back(std::move(row));
    return true;
  };
  if (!ForEachCsvRow(*text, read_row)) return Fail(form, problem);
  if (!header) return Fail(form, name + " is empty: it has no header row");
  form.dictAgentMapping.Add(name, std::move(table));

  if (file.missing_values) {
    ++report.files_with_missing_values;
    report.missing_values = true;
    report.text += std::to_string(report.files_with_missing_values) + ") " + name +
                   std::string(20, ' ') + file.distributed_by + "\r\n";
  }
  if (file.invalid_prefix) {
    report.invalid_prefix = true;
    if (!report.invalid_prefix_files.empty()) report.invalid_prefix_files += "/";
    report.invalid_prefix_files += name;
  }
  return Status::Ok();
}

ProgramEnd ReportMissingValues(frmMain& form, const LoadReport& report) {
  form.logs().WriteDebugLog(DebugStopText(form.env().LocalNow(), report.text));
  form.AddActionLog(report.text, kRunLogPrefix, true);
  const std::string message =
      "Ambervale has found missing values in Mapping file(s). The list below displays "
      "Mapping\r\nfiles and columns for which values are missing.\r\n\r\nFile Name" +
      std::string(38, ' ') + "Columns with missing values\r\n" + report.text +
      "\r\nPlease click ok to exit.";
  const std::string report_path = JoinPath(form.env().ProgramFolder(), kMissingValuesFile);
  if (!form.files().WriteAtomically(report_path, message + "\r\n").ok()) {
    WriteProblemLine(form, std::string(kMissingValuesFile) + " cannot be written in " +
                               Quoted(form.env().ProgramFolder()));
  }
  (void)form.window().ShowMessageBox(message, BoxButtons::kOk, BoxIcon::kNone, "");
  return ProgramEnd::Exit(1);
}

ProgramEnd ReportInvalidPrefix(frmMain& form, const LoadReport& report) {
  (void)form.window().ShowMessageBox(
      "Invalid values for Prefix agent sine entered.\r\n\r\n"
      "Please rectify the " +
          report.invalid_prefix_files + " file to continue.",
      BoxButtons::kOk, BoxIcon::kNone, "");
  return ProgramEnd::Exit(1);
}

}  // namespace

std::string PrefixedSine(const std::string& sine, const std::string& prefix) {
  if (sine.size() == 1 && sine[0] >= '0' && sine[0] <= '9') return prefix + sine;
  return sine;
}

LoadOutcome LoadMappingFiles(frmMain& form) {
  form.dictAgentMapping = AgentMapping();
  ColumnTable columns = InitColumnNames(form).mapping;
  LoadReport report;
  for (const auto& [key, tasks] : form.dictFmtoMapping) {
    for (const clsFromQueue& task : tasks) {
      if (form.dictAgentMapping.Contains(task.fldMappingFileName)) continue;
      Status loaded = LoadOneFile(form, task, columns, report);
      if (!loaded.ok()) return loaded;
    }
  }
  if (report.missing_values) return ReportMissingValues(form, report);
  if (report.invalid_prefix) return ReportInvalidPrefix(form, report);
  return Status::Ok();
}

std::string CheckMappingDuplicates(frmMain& form, std::string* problem) {
  for (const auto& [key, tasks] : form.dictFmtoMapping) {
    // signature -> "FILE line N" of the first row that had it
    std::unordered_map<std::string, std::string> seen;
    for (const clsFromQueue& task : tasks) {
      const AgentTable* table = form.dictAgentMapping.Find(task.fldMappingFileName);
      if (table == nullptr) continue;
      for (const auto& [id, rows] : *table) {
        for (const clsAgentQueue& row : rows) {
          // Separated, so that "AB" + "CD12" and "ABC" + "D12" stay two different rows.
          const std::string signature = row.fldAgentId() + '\n' + row.fldDestPCC + '\n' +
                                        std::to_string(row.fldQueueNo) + '\n' + row.fldCatagory;
          const std::string where =
              task.fldMappingFileName + " line " + std::to_string(row.line_number);
          const auto [it, added] = seen.emplace(signature, where);
          if (added) continue;
          const clsFromQueue& last = tasks.back();
          std::string detail =
              where + " repeats " + it->second + " (identifier " + Quoted(row.fldAgentId()) +
              ", destination " + row.fldDestPCC + "/" + std::to_string(row.fldQueueNo) +
              (row.fldCatagory.empty() ? "" : "*" + row.fldCatagory) + ") for source " +
              last.fldFmPCC + " queue " + std::to_string(last.fldFmQueueNo);
          WriteProblemLine(form, detail);
          if (problem != nullptr) *problem = std::move(detail);
          return "Duplicated mapping entries are found towards pseudo " + last.fldFmPCC +
                 " source queue " + std::to_string(last.fldFmQueueNo) + ".";
        }
      }
    }
  }
  return "OK";
}

}  // namespace ambervale
