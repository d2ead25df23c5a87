#include "config/csv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>
#include <string>

#include "testing/temp_dir.h"

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

std::string Show(std::string_view s) {
  std::string out;
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) {
      out.push_back(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", u);
      out += buf;
    }
  }
  return "[" + out + "]";
}

TEST(ParseCsvLineTest, SplitsAsTheFilesNeedIt) {
  const struct {
    const char* name;
    std::string line;
    CsvRow want;
  } kCases[] = {
      {"plain", "a,b,c", {"a", "b", "c"}},
      {"blanks around unquoted cells", "  a , b\t,c  ", {"a", "b", "c"}},
      {"inner blanks kept", "a b , c  d", {"a b", "c  d"}},
      {"quoted cell with a comma", "ABC1, 5 ,\"AA,BB\"", {"ABC1", "5", "AA,BB"}},
      {"quoted cell keeps its blanks", "\"  x  \"", {"  x  "}},
      {"blanks outside the quotes dropped", "  \"x\"  ,y", {"x", "y"}},
      {"doubled quote not unescaped", "\"a\"\"b\"", {"a\"\"b"}},
      {"unclosed quote stays in the cell", "\"abc,def", {"\"abc", "def"}},
      {"quote inside an unquoted cell", "ab\"c,d", {"ab\"c", "d"}},
      {"empty line", "", {""}},
      {"trailing comma", "a,", {"a", ""}},
      {"three commas", ",,,", {"", "", "", ""}},
      {"blank cells", " , ", {"", ""}},
      {"empty quoted cell", "\"\",x", {"", "x"}},
      {"lone quote", "\"", {"\""}},
      {"text after closing quote", "\"a\"x,b", {"\"a\"x", "b"}},
      {"closing quote found beyond a comma", "\"a\"x,\"b\"", {"a\"x,\"b"}},
      {"closing quote with blanks before the comma", "\"a\" \t,b", {"a", "b"}},
      {"other white space trimmed", "\va\f,\tb", {"a", "b"}},
      {"CR inside a line is white space", "a\r,b", {"a", "b"}},
      {"non-breaking space is text",
       "\xA0"
       "a\xA0",
       {"\xA0"
        "a\xA0"}},
      {"code page bytes", "Caf\xE9,\xB7", {"Caf\xE9", "\xB7"}},
      {"quote after blanks opens a quoted cell", "  \"a,b\"  ", {"a,b"}},
      {"five airlines", "ABC1,\"AA,BA,LH,QF,SQ\",3", {"ABC1", "AA,BA,LH,QF,SQ", "3"}},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ParseCsvLine(c.line), c.want) << c.name;
    EXPECT_EQ(RegexCells(c.line), c.want) << c.name << " (pattern)";
  }
}

// Every line of up to six characters over the characters that matter to the splitter.
TEST(ParseCsvLineTest, AgreesWithThePatternOnEveryShortLine) {
  const std::string kAlphabet = "a,\" \t";
  std::string line;
  int checked = 0;
  const auto check = [&](const auto& self, size_t length) -> void {
    if (line.size() == length) {
      ++checked;
      ASSERT_EQ(ParseCsvLine(line), RegexCells(line)) << Show(line);
      return;
    }
    for (const char c : kAlphabet) {
      line.push_back(c);
      self(self, length);
      line.pop_back();
      if (HasFatalFailure()) return;
    }
  };
  for (size_t length = 0; length <= 6; ++length) {
    check(check, length);
    if (HasFatalFailure()) return;
  }
  EXPECT_EQ(checked, 19531);
}

TEST(ParseCsvLineTest, AgreesWithThePatternOnRandomLines) {
  static constexpr char kChars[] = "ab,,\"\" \t\v\f\xB7\xA0";  // and a nul, added below
  const std::string kAlphabet = std::string(kChars, sizeof kChars - 1) + std::string(1, '\0');
  std::mt19937 random(20121205);
  std::uniform_int_distribution<size_t> pick(0, kAlphabet.size() - 1);
  std::uniform_int_distribution<size_t> length(0, 24);
  for (int n = 0; n < 20000; ++n) {
    std::string line(length(random), ' ');
    for (char& c : line) c = kAlphabet[pick(random)];
    ASSERT_EQ(ParseCsvLine(line), RegexCells(line)) << Show(line);
  }
}

TEST(ParseCsvLineTest, HugeAndHostileLinesAreLinear) {
  const std::string wide(1 << 20, 'x');
  EXPECT_EQ(ParseCsvLine(wide), CsvRow{wide});

  const std::string quotes(100000, '"');
  const CsvRow q = ParseCsvLine(quotes);
  ASSERT_EQ(q.size(), 1u);
  EXPECT_EQ(q[0], std::string(99998, '"'));

  // Every cell opens a quote that never closes: without remembering the failed search, each
  // cell would rescan the rest of the line.
  std::string unclosed;
  for (int i = 0; i < 100000; ++i) unclosed += "\"a,";
  const CsvRow u = ParseCsvLine(unclosed);
  ASSERT_EQ(u.size(), 100001u);
  EXPECT_EQ(u.front(), "\"a");
  EXPECT_EQ(u.back(), "");

  std::string blanks(200000, ' ');
  blanks += "\"x";
  EXPECT_EQ(ParseCsvLine(blanks), CsvRow{"\"x"});

  std::string commas(300000, ',');
  EXPECT_EQ(ParseCsvLine(commas).size(), 300001u);
}

TEST(ParseCsvTextTest, EveryPhysicalLineIsARow) {
  const struct {
    const char* name;
    std::string text;
    CsvRows want;
  } kCases[] = {
      {"empty text", "", {}},
      {"CR LF lines", "a,b\r\nc\r\n", {{"a", "b"}, {"c"}}},
      {"LF lines", "a,b\nc", {{"a", "b"}, {"c"}}},
      {"mixed", "a\r\nb\nc\r\n", {{"a"}, {"b"}, {"c"}}},
      {"a single line break", "\r\n", {{""}}},
      {"empty line in the middle", "a\r\n\r\nb", {{"a"}, {""}, {"b"}}},
      {"line break inside quotes does not join lines", "\"a\r\nb\"", {{"\"a"}, {"b\""}}},
      {"lone CR stays in the line", "a\rb,c", {{"a\rb", "c"}}},
      // Any character but a line feed may stand inside quotes, a lone CR included (the
      // comparison engine above would stop at the CR, so this case is checked here only).
      {"lone CR inside quotes", "\"a\rb\",c", {{"a\rb", "c"}}},
      {"CR at the very end", "a\r", {{"a"}}},
  };
  for (const auto& c : kCases) EXPECT_EQ(ParseCsvText(c.text), c.want) << c.name;
}

TEST(ReadCsvFileTest, MissingAndEmptyFiles) {
  TempDir dir;
  EXPECT_EQ(ReadCsvFile(dir.File("missing.csv")), std::nullopt);
  EXPECT_EQ(ReadCsvFile(dir.path()), std::nullopt);

  dir.Write("empty.csv", "");
  const std::optional<CsvRows> empty = ReadCsvFile(dir.File("empty.csv"));
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->empty());

  dir.Write("tasks.csv", "FROM PCC,FROM QUEUE NO\r\n ABC1 , 12 \r\n");
  EXPECT_EQ(ReadCsvFile(dir.File("tasks.csv")),
            (CsvRows{{"FROM PCC", "FROM QUEUE NO"}, {"ABC1", "12"}}));
}

}  // namespace
}  // namespace ambervale
