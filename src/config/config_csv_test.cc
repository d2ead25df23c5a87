#include "config/config_csv.h"

#include <gtest/gtest.h>

#include <string>

#include "config/csv.h"
#include "config/file_lookup.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

TEST(ForEachCsvRowTest, BlocksGiveTheRowsOfTheWholeText) {
  // Over 3 MB of lines of every kind, so several blocks end inside the text.
  std::string text;
  for (int i = 0; text.size() < (3u << 20); ++i) {
    switch (i % 5) {
      case 0:
        text += "a" + std::to_string(i) + ", \"q,uoted\" ,x\r\n";
        break;
      case 1:
        text += "\r\n";
        break;
      case 2:
        text += "lf only," + std::to_string(i) + "\n";
        break;
      case 3:
        text += ",,,\r\n";
        break;
      default:
        text += std::string(100, 'z') + "\r\n";
        break;
    }
  }
  for (const std::string& whole : {text, text + "last line without break"}) {
    const CsvRows want = ParseCsvText(whole);
    CsvRows got;
    int last_line = 0;
    EXPECT_TRUE(ForEachCsvRow(whole, [&](int line, const CsvRow& row) {
      EXPECT_EQ(line, last_line + 1);
      last_line = line;
      got.push_back(row);
      return true;
    }));
    EXPECT_EQ(got, want);
  }
  int seen = 0;
  EXPECT_FALSE(ForEachCsvRow(text, [&seen](int, const CsvRow&) { return ++seen < 3; }));
  EXPECT_EQ(seen, 3);
  EXPECT_TRUE(ForEachCsvRow("", [](int, const CsvRow&) { return false; }));
}

TEST(ColumnTableTest, HeaderCellsNameColumnsAndTheLaterOneWins) {
  ColumnTable columns;
  columns.Add("FROM PCC", 7);
  columns.Add("DAYS", 0);
  EXPECT_TRUE(HasMissingColumn(columns));
  EXPECT_EQ(FirstMissingColumn(columns), "DAYS");
  ReadHeaderRow({" days ", "From Pcc", "", "DAYS"}, columns);
  EXPECT_EQ(*columns.Find("FROM PCC"), 2);
  EXPECT_EQ(*columns.Find("DAYS"), 4);
  EXPECT_FALSE(HasMissingColumn(columns));
  ReadHeaderRow({"OTHER"}, columns);  // indexes from an earlier header do not stay
  EXPECT_EQ(FirstMissingColumn(columns), "FROM PCC");
}

TEST(CsvRowReaderTest, FirstProblemIsKept) {
  ColumnTable columns;
  columns.Add("A", 1);
  columns.Add("N", 2);
  columns.Add("FAR", 9);
  const CsvRow row = {" x ", "1e3"};
  CsvRowReader reader("F.CSV", 7, row, columns);
  EXPECT_EQ(reader.Cell("A"), "x");
  EXPECT_EQ(reader.Number("N"), 1000);
  EXPECT_FALSE(reader.failed());
  EXPECT_EQ(reader.Cell("FAR"), std::nullopt);
  EXPECT_EQ(reader.problem(), "F.CSV line 7 has 2 cells, too few for column \"FAR\" (column 9)");
  EXPECT_EQ(reader.Cell("A"), std::nullopt);  // reads after a failure give nothing
  reader.FailValue("A", "x", "is wrong");
  EXPECT_EQ(reader.problem(), "F.CSV line 7 has 2 cells, too few for column \"FAR\" (column 9)");
}

class FileLookupTest : public ::testing::Test {
 protected:
  TempDir dir;
};

TEST_F(FileLookupTest, MatchesEveryComponentIgnoringCase) {
  dir.Write("Maps/Sales.csv", "x");
  dir.Write("Maps/sub/Other.csv", "y");
  const struct {
    const char* name;
    FileLookup::Outcome outcome;
    const char* path;  // relative to dir
  } kCases[] = {
      {"MAPS/SALES.CSV", FileLookup::kFound, "Maps/Sales.csv"},
      {"maps/sales.csv", FileLookup::kFound, "Maps/Sales.csv"},
      {"Maps/Sales.csv", FileLookup::kFound, "Maps/Sales.csv"},
      {"MAPS//SUB/./OTHER.CSV", FileLookup::kFound, "Maps/sub/./Other.csv"},
      {"MAPS/SUB/../SALES.CSV", FileLookup::kFound, "Maps/sub/../Sales.csv"},
      {"MAPS", FileLookup::kMissing, ""},  // a folder is not a file
      {"MAPS/SALES.CSV/X", FileLookup::kMissing, ""},
      {"NONE/SALES.CSV", FileLookup::kMissing, ""},
      {"", FileLookup::kMissing, ""},
  };
  for (const auto& c : kCases) {
    const FileLookup found = FindFileIgnoringCase(dir.path(), c.name);
    EXPECT_EQ(found.outcome, c.outcome) << c.name;
    if (c.outcome == FileLookup::kFound) {
      EXPECT_EQ(found.path, dir.File(c.path)) << c.name;
    }
  }
  // An absolute name ignores the folder.
  const std::string absolute = dir.File("maps/SALES.CSV");
  EXPECT_EQ(FindFileIgnoringCase("/nowhere", absolute).path, dir.File("Maps/Sales.csv"));
  EXPECT_EQ(FindConfigFile(absolute, "/nowhere").path, dir.File("Maps/Sales.csv"));
  // A name written with Windows separators, found in the program folder.
  EXPECT_EQ(FindConfigFile("MAPS\\SUB\\OTHER.CSV", dir.path()).path,
            dir.File("Maps/sub/Other.csv"));
}

TEST_F(FileLookupTest, TwoSpellingsOfOneNameAreAmbiguous) {
  dir.Write("a/sales.csv", "1");
  dir.Write("a/SALES.csv", "2");
  dir.Write("b/x.csv", "3");
  dir.Write("B/y.csv", "4");
  dir.Write("c/z.csv/inner", "a folder named like the file does not count");
  dir.Write("c/Z.CSV", "5");
  const FileLookup files = FindFileIgnoringCase(dir.path(), "A/Sales.CSV");
  EXPECT_EQ(files.outcome, FileLookup::kAmbiguous);
  EXPECT_NE(files.first, files.second);
  for (const std::string& p : {files.first, files.second}) {
    EXPECT_TRUE(p == dir.File("a/sales.csv") || p == dir.File("a/SALES.csv")) << p;
  }
  EXPECT_EQ(FindFileIgnoringCase(dir.path(), "b/x.csv").outcome, FileLookup::kAmbiguous);
  EXPECT_EQ(FindFileIgnoringCase(dir.path(), "C/Z.CSV").path, dir.File("c/Z.CSV"));
}

}  // namespace
}  // namespace ambervale
