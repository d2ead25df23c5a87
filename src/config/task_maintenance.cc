#include "config/task_maintenance.h"

#include <optional>
#include <unordered_map>
#include <utility>

#include "config/csv.h"
#include "config/settings.h"
#include "logs/logs.h"
#include "platform/classic_text.h"
#include "platform/file_system.h"
#include "platform/files.h"

namespace ambervale {
namespace {

constexpr std::string_view kInvalidCategory =
    "Task Maintenance file contains invalid values for category";

// kStopped: the operator chose to stop at an invalid category (the dialog has written its lines).
enum class RowOutcome { kRow, kEndOfData, kFailed, kStopped };

Status Fail(frmMain& form, const std::string& problem) {
  WriteProblemLine(form, problem);
  return Status::Error(problem);
}

// The name itself when it exists (relative to the working directory), else beside the program.
std::string ResolveTaskFile(frmMain& form, const std::string& name) {
  if (KindAt(form.files(), name) == FileInfo::Kind::kFile) return AbsolutePath(name);
  return JoinPath(form.env().ProgramFolder(), name);
}

// True when the operator keeps the row; false on No, after the lines of the stop.
bool InvalidCategoryDialog(frmMain& form, const clsFromQueue& row, const CsvRowReader& reader) {
  form.AddActionLog(kInvalidCategory, kRunLogPrefix, true);
  const BoxAnswer answer = form.window().ShowMessageBox(
      std::string(kInvalidCategory) + ".\r\nWould you like to continue?", BoxButtons::kYesNo,
      BoxIcon::kNone, "");
  if (answer == BoxAnswer::kYes) return true;
  form.AddActionLog(std::string(kInvalidCategory) + " - " + row.fldFmCategory, "", true);
  form.logs().WriteDebugLog(
      DebugStopText(form.env().LocalNow(), " " + row.fldFmCategory + ". Invalid Category Found!"));
  WriteProblemLine(form, reader.Where() +
                             ", column \"FROM CATEGORY\": " + Quoted(row.fldFmCategory) +
                             " is not a category (C and a digit, C and two digits or C and two "
                             "letters); the operator chose to stop");
  return false;
}

RowOutcome ReadDistributionFields(frmMain& form, CsvRowReader& reader, clsFromQueue& row) {
  const std::optional<std::string> mapping_file = reader.Cell("MAPPING FILE");
  if (!mapping_file) return RowOutcome::kFailed;
  row.fldMappingFileName = UCase(*mapping_file);
  const std::optional<int16_t> queue = reader.Number("FROM QUEUE NO");
  if (!queue) return RowOutcome::kFailed;
  row.fldFmQueueNo = *queue;
  const std::optional<std::string> category = reader.Cell("FROM CATEGORY");
  if (!category) return RowOutcome::kFailed;
  row.fldFmCategory = *category;
  std::string copy = row.fldFmCategory;
  if (!IsValidCategory(&copy) && !InvalidCategoryDialog(form, row, reader)) {
    return RowOutcome::kStopped;
  }

  const std::optional<std::string> note = reader.Cell("ADD NOTE");
  if (!note) return RowOutcome::kFailed;
  if (*note == "Y") {
    row.fldAddNote = true;
    const std::optional<std::string> notepad = reader.Cell("NOTEPAD");
    if (!notepad) return RowOutcome::kFailed;
    if (notepad->empty()) {
      form.logs().WriteDebugLog(DebugStopText(form.env().LocalNow(), ". Notepad field Empty"));
      reader.FailEmpty("NOTEPAD", ", but \"ADD NOTE\" is \"Y\"");
      return RowOutcome::kFailed;
    }
    row.fldNotePad = UCase(*notepad);
  } else {
    row.fldAddNote = false;
    row.fldNotePad.clear();
  }
  if (row.fldMappingFileName.empty()) {
    reader.FailEmpty("MAPPING FILE", "; every task needs a mapping file");
    return RowOutcome::kFailed;
  }
  return RowOutcome::kRow;
}

RowOutcome ReadUnticketedFields(CsvRowReader& reader, clsFromQueue& row) {
  const std::optional<std::string> airline = reader.Cell("AIRLINE");
  if (!airline) return RowOutcome::kFailed;
  row.fldAirline = UCase(*airline);
  const std::optional<int16_t> days = reader.Number("DAYS");
  if (!days) return RowOutcome::kFailed;
  row.fldDays = *days;
  return RowOutcome::kRow;
}

RowOutcome ReadTaskRow(frmMain& form, CsvRowReader& reader, clsFromQueue& row) {
  const std::optional<std::string> pcc = reader.Cell("FROM PCC");
  if (!pcc) return RowOutcome::kFailed;
  if (pcc->empty()) return RowOutcome::kEndOfData;
  row.fldFmPCC = UCase(*pcc);
  return form.IsUnticketedMode() ? ReadUnticketedFields(reader, row)
                                 : ReadDistributionFields(form, reader, row);
}

bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

LoadOutcome LoadTaskMaintenanceFile(frmMain& form, std::string* file_name) {
  std::string& fileName = *file_name;
  fileName = Trim(fileName);
  const ConfigColumns columns_of_mode = InitColumnNames(form);
  ColumnTable columns = columns_of_mode.task;
  const std::string path = ResolveTaskFile(form, fileName);

  std::optional<std::string> file = ReadRegularFile(form.files(), path);
  form.dictFmtoMapping = TaskTable();
  if (!file) {
    if (KindAt(form.files(), path) == FileInfo::Kind::kFile)
      return Fail(form, "Task Maintenance file " + Quoted(path) + " cannot be read");
    return Fail(form, "Task Maintenance file " + Quoted(fileName) + " was not found (looked for " +
                          Quoted(AbsolutePath(fileName)) + " and " + Quoted(path) + ")");
  }
  std::string problem;
  const std::optional<std::string> text = ConfigCsvText(fileName, std::move(*file), problem);
  if (!text) return Fail(form, problem);
  const CsvRows rows = ParseCsvText(*text);
  if (rows.empty()) return Fail(form, fileName + " is empty: it has no header row");

  ReadHeaderRow(rows.front(), columns);
  if (HasMissingColumn(columns)) {
    return Fail(form, fileName + " line 1: the header row has no column " +
                          Quoted(FirstMissingColumn(columns)));
  }

  for (size_t i = 1; i < rows.size(); ++i) {
    const int line = static_cast<int>(i) + 1;
    CsvRowReader reader(fileName, line, rows[i], columns);
    clsFromQueue row;
    row.line_number = line;
    const RowOutcome outcome = ReadTaskRow(form, reader, row);
    if (outcome == RowOutcome::kEndOfData) return Status::Ok();
    if (outcome == RowOutcome::kFailed) return Fail(form, reader.problem());
    if (outcome == RowOutcome::kStopped) return ProgramEnd::Exit(1);
    form.dictFmtoMapping.GetOrAdd(TaskKey(form, row)).push_back(std::move(row));
  }
  return Status::Ok();
}

std::string TaskKey(const FormSettings& form, const clsFromQueue& row) {
  std::string key = row.fldFmPCC + "#";
  if (form.IsUnticketedMode()) return key + form.UTKToQueue;
  key += std::to_string(row.fldFmQueueNo);
  const std::string category = Trim(row.fldFmCategory);
  if (!category.empty()) key += "*" + row.fldFmCategory;
  return key;
}

bool IsValidCategory(std::string* category) {
  *category = UCase(*category);
  const std::string t = Trim(*category);
  switch (t.size()) {
    case 0:
      return true;
    case 2:
      return t[0] == 'C' && IsDigit(t[1]);
    case 3:
      return t[0] == 'C' &&
             ((IsDigit(t[1]) && IsDigit(t[2])) || (IsUpperLetter(t[1]) && IsUpperLetter(t[2])));
    default:
      return false;
  }
}

std::string CheckTaskDuplicates(frmMain& form, std::string* problem) {
  for (const auto& [key, rows] : form.dictFmtoMapping) {
    std::unordered_map<std::string, int> seen;  // signature -> line of its first row
    for (const clsFromQueue& row : rows) {
      const std::string signature = row.fldFmPCC + '\n' + std::to_string(row.fldFmQueueNo) + '\n' +
                                    row.fldFmCategory + '\n' + row.fldMappingFileName;
      const auto [it, added] = seen.emplace(signature, row.line_number);
      if (added) continue;
      const std::string file = Trim(form.taskMainFile).empty()
                                   ? std::string("Task Maintenance file")
                                   : Trim(form.taskMainFile);
      std::string detail = file + " line " + std::to_string(row.line_number) + " repeats line " +
                           std::to_string(it->second) + " (PCC " + row.fldFmPCC + ", queue " +
                           std::to_string(row.fldFmQueueNo) + ", category " +
                           Quoted(row.fldFmCategory) + ", mapping file " + row.fldMappingFileName +
                           ")";
      WriteProblemLine(form, detail);
      if (problem != nullptr) *problem = std::move(detail);
      return "";
    }
  }
  return "OK";
}

std::vector<std::string> SplitAirlines(std::string_view airlines) {
  std::vector<std::string> codes;
  if (airlines.empty()) return codes;
  size_t start = 0;
  while (true) {
    const size_t comma = airlines.find(',', start);
    codes.emplace_back(airlines.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return codes;
}

bool CheckAirlineCount(std::string_view airlines) { return SplitAirlines(airlines).size() <= 5; }

}  // namespace ambervale
