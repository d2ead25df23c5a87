#pragma once

// The CSV reader behind the Task Maintenance and agent mapping files. Every physical line is
// one row (lines end at CR LF or LF); a line is split into cells exactly as a global search
// of the pattern (\s*("?)(.*?)(\2)\s*,) over the line with one "," appended splits it:
//  - a line with n commas gives n + 1 cells, an empty line one empty cell;
//  - an unquoted cell loses the white space (blank, tab, CR, vertical tab, form feed) around
//    it;
//  - a cell whose first non-blank character is a double quote runs to the first later double
//    quote that is followed only by white space and a comma; the text between the quotes is
//    the cell, kept as it is (commas, blanks and doubled quotes included). Such a closing
//    quote may lie beyond later commas: "a"x,"b" is the one cell a"x,"b;
//  - when no such closing quote follows, the opening quote is an ordinary character of an
//    unquoted cell.
// The scanner runs in time linear in the line's length and never fails on odd input.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ambervale {

using CsvRow = std::vector<std::string>;
using CsvRows = std::vector<CsvRow>;

// The cells of one line (without its line break).
[[nodiscard]] CsvRow ParseCsvLine(std::string_view line);

// The rows of a whole text. A line break at the very end does not start another row; an
// empty text gives no rows.
[[nodiscard]] CsvRows ParseCsvText(std::string_view text);

// The rows of the file at `path`; nullopt when there is no such file or it cannot be read.
[[nodiscard]] std::optional<CsvRows> ReadCsvFile(const std::string& path);

}  // namespace ambervale
