#include "config/csv.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

namespace ambervale {
namespace {

// The cells the line splitter's defining pattern yields: a global search over line + ",",
// one cell per match, the cell being the third group.
CsvRow RegexCells(std::string_view line) {
  static const std::regex kCell("(\\s*(\"?)(.*?)(\\2)\\s*,)",
                                std::regex::ECMAScript | std::regex::icase);
  const std::string text = std::string(line) + ",";
  CsvRow cells;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), kCell);
       it != std::sregex_iterator(); ++it) {
    cells.push_back((*it)[3].str());
  }
  return cells;
}

// Every line of up to six characters over the characters that matter to the splitter, then
// random longer lines with the other white space, code page bytes and NUL.
TEST(ParseCsvLineTest, AgreesWithThePattern) {
  const std::string kShort = "a,\" \t";
  for (size_t length = 0, lines = 1; length <= 6; ++length, lines *= kShort.size()) {
    for (size_t n = 0; n < lines; ++n) {
      std::string line;
      for (size_t k = n; line.size() < length; k /= kShort.size()) line += kShort[k % 5];
      ASSERT_EQ(ParseCsvLine(line), RegexCells(line)) << ::testing::PrintToString(line);
    }
  }
  const std::string kAlphabet("ab,,\"\" \t\v\f\xB7\xA0\0", 13);
  std::mt19937 random(20121205);
  for (int n = 0; n < 20000; ++n) {
    std::string line(random() % 25, ' ');
    for (char& c : line) c = kAlphabet[random() % kAlphabet.size()];
    ASSERT_EQ(ParseCsvLine(line), RegexCells(line)) << ::testing::PrintToString(line);
  }
}

// Every cell opens a quote that never closes: without remembering the failed search, each cell
// would rescan the rest of the line.
TEST(ParseCsvLineTest, HostileLinesAreLinear) {
  std::string unclosed;
  for (int i = 0; i < 100000; ++i) unclosed += "\"a,";
  EXPECT_EQ(ParseCsvLine(unclosed).size(), 100001u);
  EXPECT_EQ(ParseCsvLine(std::string(200000, ' ') + "\"x"), CsvRow{"\"x"});
}

TEST(ParseCsvTextTest, EveryPhysicalLineIsARow) {
  const struct {
    const char* name;
    std::string text;
    CsvRows want;
  } kCases[] = {
      {"CR LF and LF lines", "a,b\r\nc\nd\r\n", {{"a", "b"}, {"c"}, {"d"}}},
      {"line break inside quotes does not join lines", "\"a\r\nb\"", {{"\"a"}, {"b\""}}},
      // Any character but a line feed may stand inside quotes, a lone CR included (the
      // comparison engine above would stop at the CR, so this case is checked here only).
      {"lone CR inside quotes", "\"a\rb\",c\r", {{"a\rb", "c"}}},
  };
  for (const auto& c : kCases) EXPECT_EQ(ParseCsvText(c.text), c.want) << c.name;
}

}  // namespace
}  // namespace ambervale
