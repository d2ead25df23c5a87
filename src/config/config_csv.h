#pragma once

// What the Task Maintenance file and the agent mapping files share: columns found by their
// header name, cells read by column name with the row's line number at hand, and the one
// readable sentence that tells the operator what was wrong with a file.
//
// Problem texts name the file as the operator wrote it, the line (1-based, the header row is
// line 1), the column and the value, for example:
//   TASKS.CSV line 4, column "FROM QUEUE NO": "Q1" is not a number

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "config/csv.h"
#include "form/frm_main.h"
#include "platform/ordered_dict.h"

namespace ambervale {

// Calls `row` with the 1-based line number and cells of every line of `text`, split exactly as
// ParseCsvText splits it, parsing a block of lines at a time so that a large file's rows are
// never all held at once. Stops early (and returns false) when `row` returns false.
bool ForEachCsvRow(std::string_view text, const std::function<bool(int, const CsvRow&)>& row);

// The text of a configuration CSV file as Windows-1252. A text that starts with the UTF-8
// byte-order mark (what spreadsheets save as "CSV UTF-8") is UTF-8: the mark is dropped and the
// rest converted. A character Windows-1252 cannot hold (or bytes that are not UTF-8) give
// nullopt and a `problem` naming `file`, the line and the column (both 1-based, the column
// counted in characters). Any other text is returned as it stands.
[[nodiscard]] std::optional<std::string> ConfigCsvText(std::string_view file, std::string text,
                                                       std::string& problem);

// Column name (upper case) -> 1-based index in the header row; 0 while the header row has not
// named the column.
using ColumnTable = OrderedDict<int>;

// The column tables of both configuration formats. The mapping table is empty in the
// unticketed mode, where mapping files are never read.
struct ConfigColumns {
  ColumnTable task;
  ColumnTable mapping;
};

// Fresh column tables for the current mode (strPNRMoveMode), every index empty.
[[nodiscard]] ConfigColumns InitColumnNames(const FormSettings& form);

// True when some column of the table has no index.
[[nodiscard]] bool HasMissingColumn(const ColumnTable& columns);
// The first column without index, in the table's order; empty when none.
[[nodiscard]] std::string FirstMissingColumn(const ColumnTable& columns);

// Clears every index, then sets the index of each header cell (trimmed, upper case) that names
// a column of the table. When a name appears twice the later column wins.
void ReadHeaderRow(const CsvRow& header, ColumnTable& columns);

// Reads the cells of one data row by column name. The first failure is kept as a problem text
// and every later read answers nullopt, so a caller can read a row's cells in order and check
// once.
class CsvRowReader {
 public:
  // `file` is the file name as the operator wrote it, `line` the row's 1-based line number.
  // Neither `row` nor `columns` is copied; both must outlive the reader.
  CsvRowReader(std::string_view file, int line, const CsvRow& row, const ColumnTable& columns);

  // The cell of `column`, trimmed; nullopt when the row has fewer cells than the column's
  // index (or the column is unknown).
  [[nodiscard]] std::optional<std::string> Cell(std::string_view column);
  // The trimmed cell as a 16-bit number (classic numeric test, rounded half to even);
  // nullopt when the cell is missing, not numeric or out of range.
  [[nodiscard]] std::optional<int16_t> Number(std::string_view column);

  bool failed() const { return !problem_.empty(); }
  const std::string& problem() const { return problem_; }
  // Records a problem with a value of this row: `FILE line N, column "C": "V" <what>`.
  void FailValue(std::string_view column, std::string_view value, std::string_view what);
  // Records an empty cell: `FILE line N, column "C": the cell is empty` + rest.
  void FailEmpty(std::string_view column, std::string_view rest);

  // "FILE line N" (also for problems about the row as a whole).
  std::string Where() const;

 private:
  std::string file_;
  int line_;
  const CsvRow& row_;
  const ColumnTable& columns_;
  std::string problem_;
};

// `text` in double quotes.
[[nodiscard]] std::string Quoted(std::string_view text);

// Writes "##### yyyy/mm/dd hh:mm:ss. " + problem + " #####" to the debug log: the detail
// line that accompanies every configuration failure.
void WriteProblemLine(frmMain& form, std::string_view problem);

}  // namespace ambervale
