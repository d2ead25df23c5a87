#include "config/config_csv.h"

#include <gtest/gtest.h>

#include <string>

#include "config/csv.h"
#include "config/file_lookup.h"
#include "testing/temp_dir.h"

namespace ambervale::testing {
namespace {

TEST(ForEachCsvRowTest, BlocksGiveTheRowsOfTheWholeText) {
  // Over 3 MB of lines of every kind, so several blocks end inside the text.
  const std::string kLines[] = {"a, \"q,uoted\" ,x\r\n", "\r\n", "lf only\n", ",,,\r\n",
                                std::string(100, 'z') + "\r\n"};
  std::string text;
  for (int i = 0; text.size() < (3u << 20); ++i) text += kLines[i % 5] + std::to_string(i) + ",";
  for (const std::string& whole : {text, text + "\r\n"}) {
    CsvRows got;
    EXPECT_TRUE(ForEachCsvRow(whole, [&](int line, const CsvRow& row) {
      got.push_back(row);
      return line == static_cast<int>(got.size());
    }));
    EXPECT_EQ(got, ParseCsvText(whole));
  }
  int seen = 0;
  EXPECT_FALSE(ForEachCsvRow(text, [&seen](int, const CsvRow&) { return ++seen < 3; }));
  EXPECT_EQ(seen, 3);
}

// Each case: the name looked for and what is found (a path relative to the folder).
TEST(FileLookupTest, MatchesEveryComponentIgnoringCaseAndRefusesTwoSpellings) {
  TempDir dir;
  for (const char* file : {"Maps/Sales.csv", "Maps/sub/Other.csv", "a/sales.csv", "a/SALES.csv",
                           "b/x.csv", "B/y.csv", "c/z.csv/inner", "c/Z.CSV"}) {
    dir.Write(file, "x");
  }
  const struct {
    std::string name;
    std::string found;
  } kCases[] = {
      {"MAPS/SUB/../SALES.CSV", "Maps/sub/../Sales.csv"},
      {"A/Sales.CSV", "two: a/SALES.csv a/sales.csv"},
      {"C/Z.CSV", "c/Z.CSV"},  // a folder named like the file does not count: a folder is no file
      {dir.File("maps/SALES.CSV"), "Maps/Sales.csv"},  // an absolute name ignores the folder
  };
  const auto shown = [&dir](const FileLookup& f) -> std::string {
    const auto rel = [&dir](const std::string& p) { return p.substr(dir.path().size() + 1); };
    if (f.outcome == FileLookup::kMissing) return "missing";
    if (f.outcome == FileLookup::kFound) return rel(f.path);
    return "two: " + std::min(rel(f.first), rel(f.second)) + " " +
           std::max(rel(f.first), rel(f.second));
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(shown(FindFileIgnoringCase(PosixFileSystem(), dir.path(), c.name)), c.found)
        << c.name;
  }
  // A name written with Windows separators, found in the program folder.
  EXPECT_EQ(shown(FindConfigFile(PosixFileSystem(), "MAPS\\SUB\\OTHER.CSV", dir.path())),
            "Maps/sub/Other.csv");
}

}  // namespace
}  // namespace ambervale::testing
