#include "config/config_csv.h"

#include <algorithm>

#include "config/settings.h"
#include "platform/classic_text.h"
#include "platform/cp1252.h"

namespace ambervale {
namespace {

constexpr std::string_view kTaskColumns[] = {"FROM PCC"};
constexpr std::string_view kTaskDistributionColumns[] = {"FROM CATEGORY", "MAPPING FILE",
                                                         "FROM QUEUE NO", "ADD NOTE", "NOTEPAD"};
constexpr std::string_view kTaskUnticketedColumns[] = {"AIRLINE", "DAYS"};
constexpr std::string_view kMappingColumns[] = {
    "PREFIX AGENT SINE", "AGENT NAME", "AGENT SINE", "DI.AC",         "CI", "DI.X",
    "DESTINATION PCC",   "QUEUE NO",   "CATEGORY",   "DISTRIBUTED BY"};

template <size_t N>
void AddColumns(ColumnTable& table, const std::string_view (&names)[N]) {
  for (std::string_view name : names) table.Add(name, 0);
}

// Lines are parsed in blocks of about this many bytes.
constexpr size_t kBlockBytes = 1 << 20;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

std::optional<std::string> ConfigCsvText(std::string_view file, std::string text,
                                         std::string& problem) {
  if (!std::string_view(text).starts_with(kUtf8Bom)) return text;
  const std::string_view utf8 = std::string_view(text).substr(kUtf8Bom.size());
  size_t at = 0;
  std::optional<std::string> converted = Utf8ToCp1252(utf8, &at);
  if (converted) return converted;
  const std::string_view before = utf8.substr(0, at);
  const size_t line_start = before.rfind('\n') + 1;  // 0 on the first line
  const auto line = std::count(before.begin(), before.end(), '\n') + 1;
  const auto column = std::count_if(before.begin() + static_cast<std::ptrdiff_t>(line_start),
                                    before.end(), [](char c) { return (c & 0xC0) != 0x80; }) +
                      1;
  problem = std::string(file) + " line " + std::to_string(line) + ", column " +
            std::to_string(column) +
            ": the file starts with the UTF-8 byte-order mark, but this character is not "
            "UTF-8 or has no Windows-1252 form";
  return std::nullopt;
}

bool ForEachCsvRow(std::string_view text, const std::function<bool(int, const CsvRow&)>& row) {
  int line = 0;
  size_t start = 0;
  while (start < text.size()) {
    // A block ends just after a line feed, so no line is cut and each block parses as the
    // same lines would within the whole text.
    size_t end = text.size();
    if (text.size() - start > kBlockBytes) {
      const size_t lf = text.find('\n', start + kBlockBytes);
      if (lf != std::string_view::npos) end = lf + 1;
    }
    for (const CsvRow& cells : ParseCsvText(text.substr(start, end - start))) {
      if (!row(++line, cells)) return false;
    }
    start = end;
  }
  return true;
}

ConfigColumns InitColumnNames(const FormSettings& form) {
  ConfigColumns columns;
  AddColumns(columns.task, kTaskColumns);
  if (form.IsUnticketedMode()) {
    AddColumns(columns.task, kTaskUnticketedColumns);
  } else {
    AddColumns(columns.task, kTaskDistributionColumns);
    AddColumns(columns.mapping, kMappingColumns);
  }
  return columns;
}

bool HasMissingColumn(const ColumnTable& columns) { return !FirstMissingColumn(columns).empty(); }

std::string FirstMissingColumn(const ColumnTable& columns) {
  for (const auto& [name, index] : columns) {
    if (index == 0) return name;
  }
  return "";
}

void ReadHeaderRow(const CsvRow& header, ColumnTable& columns) {
  for (auto& entry : columns) entry.second = 0;
  for (size_t j = 0; j < header.size(); ++j) {
    const std::string name = UCase(Trim(header[j]));
    if (name.empty()) continue;
    if (int* index = columns.Find(name)) *index = static_cast<int>(j) + 1;
  }
}

CsvRowReader::CsvRowReader(std::string_view file, int line, const CsvRow& row,
                           const ColumnTable& columns)
    : file_(file), line_(line), row_(row), columns_(columns) {}

std::string CsvRowReader::Where() const { return file_ + " line " + std::to_string(line_); }

std::optional<std::string> CsvRowReader::Cell(std::string_view column) {
  if (failed()) return std::nullopt;
  const int* index = columns_.Find(column);
  if (index == nullptr || *index == 0) {
    problem_ = file_ + ": the header row has no column " + Quoted(column);
    return std::nullopt;
  }
  if (static_cast<size_t>(*index) > row_.size()) {
    problem_ = Where() + " has " + std::to_string(row_.size()) +
               (row_.size() == 1 ? " cell" : " cells") + ", too few for column " + Quoted(column) +
               " (column " + std::to_string(*index) + ")";
    return std::nullopt;
  }
  return Trim(row_[static_cast<size_t>(*index) - 1]);
}

std::optional<int16_t> CsvRowReader::Number(std::string_view column) {
  const std::optional<std::string> text = Cell(column);
  if (!text) return std::nullopt;
  if (!IsNumeric(*text)) {
    if (text->empty()) {
      FailEmpty(column, "; a number is needed");
    } else {
      FailValue(column, *text, "is not a number");
    }
    return std::nullopt;
  }
  const std::optional<int16_t> value = ToInt16(*text);
  if (!value) FailValue(column, *text, "is outside -32768 to 32767");
  return value;
}

void CsvRowReader::FailValue(std::string_view column, std::string_view value,
                             std::string_view what) {
  if (failed()) return;
  problem_ =
      Where() + ", column " + Quoted(column) + ": " + Quoted(value) + " " + std::string(what);
}

void CsvRowReader::FailEmpty(std::string_view column, std::string_view rest) {
  if (failed()) return;
  problem_ = Where() + ", column " + Quoted(column) + ": the cell is empty" + std::string(rest);
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

void WriteProblemLine(frmMain& form, std::string_view problem) {
  form.logs().WriteDebugLog(DebugStopText(form.env().LocalNow(), ". " + std::string(problem)));
}

}  // namespace ambervale
