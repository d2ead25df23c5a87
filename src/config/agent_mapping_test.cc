#include "config/agent_mapping.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "config/task_maintenance.h"
#include "testing/fake_env.h"
#include "testing/test_program.h"

namespace ambervale {
namespace {

using ::testing::HasSubstr;

constexpr char kTaskHeader[] =
    "FROM PCC,FROM QUEUE NO,FROM CATEGORY,MAPPING FILE,ADD NOTE,NOTEPAD\r\n";
constexpr char kHeader[] =
    "AGENT NAME,AGENT SINE,PREFIX AGENT SINE,DI.AC,CI,DI.X,DESTINATION PCC,QUEUE NO,CATEGORY,"
    "DISTRIBUTED BY\r\n";
constexpr char kDebugStamp[] = "##### 2026/12/06 10:00:00";

// A program folder with tasks.csv naming mapping files that the test writes.
class MappingTest : public ::testing::Test {
 protected:
  // Loads tasks.csv with one task row per "PCC,queue,category,file" line.
  void Tasks(const std::vector<std::string>& rows) {
    std::string text = kTaskHeader;
    for (const std::string& row : rows) text += row + ",N,\r\n";
    p.dir.Write("tasks.csv", text);
    p.form.taskMainFile = "tasks.csv";
    std::string name = "tasks.csv";
    const Status s = LoadTaskMaintenanceFile(p.form, name);
    ASSERT_TRUE(s.ok()) << s.message();
  }
  void Mapping(const std::string& file, const std::string& rows) {
    p.dir.Write(file, std::string(kHeader) + rows);
  }
  std::string Debug() const { return p.Log("debug_log_1.txt"); }
  const AgentTable& Table(std::string_view file) const {
    const AgentTable* table = p.form.dictAgentMapping.Find(file);
    EXPECT_NE(table, nullptr) << file;
    static const AgentTable kEmpty;
    return table == nullptr ? kEmpty : *table;
  }

  TestProgram p;
};

TEST_F(MappingTest, ReadsRowsGroupedByIdentifierInFirstSeenOrder) {
  Tasks({"ABC1,5,,sales.csv"});
  Mapping("SALES.CSV",
          " smith , ab ,,,,,xyz9,12, c1 ,name\r\n"
          ",ab,,,,,XYZ9,13,,Sine\r\n"
          ",,,12*,,,XYZ9,14,,DI.AC\r\n"
          ",,,,00#,,XYZ9,15,,ci\r\n"
          ",,,,,acme,XYZ9,16,,di.x\r\n"
          "AB,,,,,,XYZ9,17,,NAME\r\n");
  const Status s = LoadMappingFiles(p.form);
  ASSERT_TRUE(s.ok()) << s.message();
  ASSERT_EQ(p.form.dictAgentMapping.size(), 1u);
  const AgentTable& table = Table("SALES.CSV");
  ASSERT_EQ(table.size(), 5u);
  EXPECT_EQ(table.at(0).first, "SMITH");
  EXPECT_EQ(table.at(1).first, "AB");
  EXPECT_EQ(table.at(2).first, "12*");
  EXPECT_EQ(table.at(3).first, "00#");
  EXPECT_EQ(table.at(4).first, "ACME");

  const clsAgentQueue& smith = table.at(0).second.front();
  EXPECT_EQ(smith.fldAgentName, "SMITH");
  EXPECT_EQ(smith.fldAgentSine, "AB");
  EXPECT_EQ(smith.fldDestPCC, "XYZ9");
  EXPECT_EQ(smith.fldQueueNo, 12);
  EXPECT_EQ(smith.fldCatagory, "C1");
  EXPECT_EQ(smith.fldDistributedBy, "NAME");
  EXPECT_EQ(smith.line_number, 2);
  // A SINE row and a NAME row with the same value share one collection, in file order.
  const auto& ab = table.at(1).second;
  ASSERT_EQ(ab.size(), 2u);
  EXPECT_EQ(ab[0].fldDistributedBy, "SINE");
  EXPECT_EQ(ab[0].line_number, 3);
  EXPECT_EQ(ab[1].fldDistributedBy, "NAME");
  EXPECT_EQ(ab[1].line_number, 7);
  EXPECT_EQ(Debug(), "");
}

TEST_F(MappingTest, PrefixRule) {
  const struct {
    const char* sine;
    const char* prefix;
    const char* stored;
  } kCases[] = {{"5", "0", "05"},  {"5", "", "5"},    {"05", "0", "05"},
                {"AB", "0", "AB"}, {"12", "0", "12"}, {"", "0", ""}};
  for (const auto& c : kCases) {
    EXPECT_EQ(PrefixedSine(c.sine, c.prefix), c.stored) << c.sine << " " << c.prefix;
  }
  Tasks({"ABC1,5,,M.CSV"});
  Mapping("M.CSV", ",5,0,,,,XYZ9,1,,SINE\r\n,7,,,,,XYZ9,1,,SINE\r\n");
  ASSERT_TRUE(LoadMappingFiles(p.form).ok());
  EXPECT_EQ(Table("M.CSV").at(0).first, "05");
  EXPECT_EQ(Table("M.CSV").at(1).first, "7");
}

TEST_F(MappingTest, FilesOfTwoTasksWithTheirOwnColumnOrders) {
  Tasks({"ABC1,5,,A.CSV", "ABC1,6,,B.CSV", "XYZ2,1,,a.csv"});
  Mapping("A.CSV", ",AB,,,,,XYZ9,1,,SINE\r\n");
  p.dir.Write("B.CSV",
              "DISTRIBUTED BY,CATEGORY,QUEUE NO,DESTINATION PCC,DI.X,CI,DI.AC,PREFIX AGENT SINE,"
              "AGENT SINE,AGENT NAME,NOTES\r\nSINE,,2,XYZ9,,,,,CD,,x\r\n");
  ASSERT_TRUE(LoadMappingFiles(p.form).ok());
  ASSERT_EQ(p.form.dictAgentMapping.size(), 2u);  // A.CSV is read once for both tasks
  EXPECT_EQ(Table("B.CSV").at(0).second.front().fldAgentSine, "CD");
  EXPECT_EQ(Table("B.CSV").at(0).second.front().fldQueueNo, 2);
}

TEST_F(MappingTest, LoadFailuresReturnFalseWithTheirLines) {
  const std::string configure =
      std::string(kDebugStamp) + ". Agent Mapping File configure Error. #####\r\n";
  const std::string missing =
      std::string(kDebugStamp) +
      "Missing mapping file. Please check task maintenance file and the location of the mapping "
      "file. #####\r\n";
  const struct {
    const char* name;
    const char* file_b;  // nullptr: B.CSV is not written
    std::string spec_line;
    const char* problem;
  } kCases[] = {
      {"missing file", nullptr, missing,
       "Mapping file B.CSV (named on tasks.csv line 3) was not found in the working directory or "
       "in the program folder"},
      {"empty file", "", "", "B.CSV is empty: it has no header row"},
      {"column missing in the second file",
       "AGENT NAME,AGENT SINE,PREFIX AGENT SINE,DI.AC,CI,DESTINATION PCC,QUEUE NO,CATEGORY,"
       "DISTRIBUTED BY\r\n",
       configure, "B.CSV line 1: the header row has no column \"DI.X\""},
      {"queue not a number", ",AB,,,,,XYZ9,Q1,,SINE\r\n", "",
       "B.CSV line 2, column \"QUEUE NO\": \"Q1\" is not a number"},
      {"queue out of range", ",AB,,,,,XYZ9,40000,,SINE\r\n", "",
       "B.CSV line 2, column \"QUEUE NO\": \"40000\" is outside -32768 to 32767"},
      {"line of commas at the end", ",AB,,,,,XYZ9,1,,SINE\r\n,,,,,,,,,\r\n", "",
       "B.CSV line 3, column \"QUEUE NO\": the cell is empty; a number is needed"},
      {"UTF-8 mark, a character outside Windows-1252",
       "\xEF\xBB\xBF"
       "DISTRIBUTED BY,AGENT SINE,AGENT NAME,PREFIX AGENT SINE,DI.AC,CI,DI.X,DESTINATION PCC,"
       "QUEUE "
       "NO,CATEGORY\r\nSINE,AB,M\xC3\xBCller,,,,,XYZ9,1,\r\nSINE,AC,\xE4\xB8\x80,,,,,XYZ9,1,\r\n",
       "", "B.CSV line 3, column 9: the file starts with the UTF-8 byte-order mark"},
      {"row too short", ",AB,,,,,XYZ9\r\n", "",
       "B.CSV line 2 has 7 cells, too few for column \"QUEUE NO\" (column 8)"},
  };
  for (const auto& c : kCases) {
    TestProgram fresh;
    fresh.dir.Write("tasks.csv",
                    std::string(kTaskHeader) + "ABC1,5,,A.CSV,N,\r\nABC1,6,,B.CSV,N,\r\n");
    fresh.form.taskMainFile = "tasks.csv";
    std::string name = "tasks.csv";
    ASSERT_TRUE(LoadTaskMaintenanceFile(fresh.form, name).ok());
    fresh.dir.Write("A.CSV", std::string(kHeader) + ",AB,,,,,XYZ9,1,,SINE\r\n");
    if (c.file_b != nullptr) {
      const std::string body = c.file_b;
      fresh.dir.Write("B.CSV", body.find("DISTRIBUTED BY") != std::string::npos || body.empty()
                                   ? body
                                   : std::string(kHeader) + body);
    }
    const Status s = LoadMappingFiles(fresh.form);
    EXPECT_FALSE(s.ok()) << c.name;
    EXPECT_THAT(s.message(), ::testing::StartsWith(c.problem)) << c.name;
    EXPECT_EQ(fresh.Log("debug_log_1.txt"),
              c.spec_line + kDebugStamp + ". " + s.message() + " #####\r\n")
        << c.name;
    EXPECT_TRUE(fresh.window.boxes().empty()) << c.name;
    EXPECT_EQ(fresh.RunLog(), "") << c.name;
  }
}

TEST_F(MappingTest, MissingValuesReportEndsTheProgram) {
  Tasks({"ABC1,5,,SALES.CSV", "ABC1,6,,GROUPS.CSV", "ABC1,7,,OK.CSV"});
  Mapping("SALES.CSV",
          ",,,,,,XYZ9,1,,SINE\r\n"
          ",AB,,,,,XYZ9,1,,SINE\r\n"
          ",,,,,,,2,,NAME\r\n");
  Mapping("GROUPS.CSV", ",AB,,,,,XYZ9,1,,DI.AC\r\n,AB,,,,,XYZ9,1,,EMAIL\r\n,AB,,,,,XYZ9,1,,CI\r\n");
  Mapping("OK.CSV", ",AB,1,,,,XYZ9,1,,SINE\r\n");  // an invalid prefix: outranked
  EXPECT_THROW((void)LoadMappingFiles(p.form), ProgramEnded);

  const std::string report = "1) SALES.CSV" + std::string(20, ' ') + "SINE/NAME\r\n" +
                             "2) GROUPS.CSV" + std::string(20, ' ') + "DI.AC/EMAIL/CI\r\n";
  const std::string message =
      "Ambervale has found missing values in Mapping file(s). The list below displays Mapping\r\n"
      "files and columns for which values are missing.\r\n\r\nFile Name" +
      std::string(38, ' ') + "Columns with missing values\r\n" + report +
      "\r\nPlease click ok to exit.";
  ASSERT_EQ(p.window.boxes().size(), 1u);
  EXPECT_EQ(p.window.boxes()[0].text, message);
  EXPECT_EQ(p.window.boxes()[0].buttons, BoxButtons::kOk);
  EXPECT_EQ(p.window.boxes()[0].icon, BoxIcon::kNone);
  EXPECT_EQ(p.dir.Read("tempMissMappingValue.log"), message + "\r\n");
  EXPECT_EQ(p.RunLog(), "2026/12/06 10:00:00 - " + report + "\r\n");
  EXPECT_EQ(p.env.end_count(), 1);

  const std::string d = Debug();
  const std::string error_sales = std::string(kDebugStamp) + ". Error in SALES.CSV #####\r\n";
  EXPECT_THAT(d, ::testing::StartsWith(
                     error_sales + kDebugStamp +
                     ". SALES.CSV line 2: column \"AGENT SINE\" is empty, but the row is "
                     "distributed by SINE #####\r\n" +
                     error_sales + kDebugStamp +
                     ". SALES.CSV line 4: column \"AGENT NAME\" is empty, but the row is "
                     "distributed by NAME; column \"DESTINATION PCC\" is empty #####\r\n"));
  EXPECT_THAT(d, HasSubstr(". GROUPS.CSV line 3: column \"DISTRIBUTED BY\": \"EMAIL\" is not one "
                           "of SINE, NAME, DI.AC, CI, DI.X #####"));
  EXPECT_THAT(d, HasSubstr(". GROUPS.CSV line 4: column \"CI\" is empty, but the row is "
                           "distributed by CI #####"));
  EXPECT_THAT(d, HasSubstr(kDebugStamp + ("1) SALES.CSV" + std::string(20, ' '))));
  EXPECT_THAT(d, ::testing::EndsWith("DI.AC/EMAIL/CI\r\n #####\r\n"));
}

TEST_F(MappingTest, EmptyDistributedByAddsAnEmptyEntry) {
  Tasks({"ABC1,5,,M.CSV"});
  Mapping("M.CSV", ",,,,,,XYZ9,1,,\r\n,,,,,,XYZ9,1,,SINE\r\n,,,,,,XYZ9,1,,\r\n");
  EXPECT_THROW((void)LoadMappingFiles(p.form), ProgramEnded);
  EXPECT_THAT(p.dir.Read("tempMissMappingValue.log"),
              HasSubstr("1) M.CSV" + std::string(20, ' ') + "SINE/\r\n"));
  EXPECT_THAT(Debug(), HasSubstr("M.CSV line 2: column \"DISTRIBUTED BY\" is empty"));
}

TEST_F(MappingTest, InvalidPrefixEndsTheProgramNamingTheFiles) {
  Tasks({"ABC1,5,,A.CSV", "ABC1,6,,B.CSV", "ABC1,7,,C.CSV"});
  Mapping("A.CSV", ",5,1,,,,XYZ9,1,,SINE\r\n,6,X,,,,XYZ9,1,,SINE\r\n");
  Mapping("B.CSV", ",5,0,,,,XYZ9,1,,SINE\r\n");
  Mapping("C.CSV", ",AB,00,,,,XYZ9,1,,SINE\r\n");
  EXPECT_THROW((void)LoadMappingFiles(p.form), ProgramEnded);
  ASSERT_EQ(p.window.boxes().size(), 1u);
  EXPECT_EQ(p.window.boxes()[0].text,
            "Invalid values for Prefix agent sine entered.\r\n\r\nPlease rectify the A.CSV/C.CSV "
            "file to continue.");
  EXPECT_EQ(p.window.boxes()[0].buttons, BoxButtons::kOk);
  EXPECT_FALSE(p.dir.Exists("tempMissMappingValue.log"));
  EXPECT_EQ(Table("A.CSV").at(0).first, "15");  // the rule applies whatever the prefix
  EXPECT_THAT(Debug(), HasSubstr("A.CSV line 3, column \"PREFIX AGENT SINE\": \"X\" must be "
                                 "\"0\" or empty"));
  EXPECT_EQ(p.RunLog(), "");
}

TEST_F(MappingTest, FileNamesAreFoundWhateverTheirCase) {
  Tasks({"ABC1,5,,sales.csv", "ABC1,6,,maps/Groups.csv"});
  p.dir.Write("Sales.Csv", std::string(kHeader) + ",AB,,,,,XYZ9,1,,SINE\r\n");
  p.dir.Write("Maps/groups.CSV", std::string(kHeader) + ",CD,,,,,XYZ9,1,,SINE\r\n");
  const Status s = LoadMappingFiles(p.form);
  ASSERT_TRUE(s.ok()) << s.message();
  EXPECT_EQ(Table("SALES.CSV").at(0).first, "AB");
  EXPECT_EQ(Table("MAPS/GROUPS.CSV").at(0).first, "CD");
}

TEST_F(MappingTest, TwoNamesDifferingOnlyInCaseAreRefused) {
  Tasks({"ABC1,5,,sales.csv"});
  p.dir.Write("sales.csv", std::string(kHeader) + ",AB,,,,,XYZ9,1,,SINE\r\n");
  p.dir.Write("SALES.CSV", std::string(kHeader) + ",CD,,,,,XYZ9,1,,SINE\r\n");
  const Status s = LoadMappingFiles(p.form);
  EXPECT_FALSE(s.ok());
  EXPECT_THAT(s.message(), HasSubstr("Mapping file SALES.CSV (named on tasks.csv line 2): two "
                                     "files have that name in different letter case"));
  EXPECT_THAT(s.message(), HasSubstr(p.dir.File("sales.csv")));
  EXPECT_THAT(s.message(), HasSubstr(p.dir.File("SALES.CSV")));
  EXPECT_THAT(Debug(), HasSubstr("two files have that name"));
}

TEST_F(MappingTest, WorkingDirectoryComesBeforeTheProgramFolder) {
  Tasks({"ABC1,5,,m.csv"});
  Mapping("M.CSV", ",AB,,,,,XYZ9,1,,SINE\r\n");
  TempDir cwd;
  cwd.Write("m.csv", std::string(kHeader) + ",CD,,,,,XYZ9,1,,SINE\r\n");
  char old_cwd[4096];
  ASSERT_NE(getcwd(old_cwd, sizeof old_cwd), nullptr);
  ASSERT_EQ(chdir(cwd.path().c_str()), 0);
  const Status s = LoadMappingFiles(p.form);
  ASSERT_EQ(chdir(old_cwd), 0);
  ASSERT_TRUE(s.ok()) << s.message();
  EXPECT_EQ(Table("M.CSV").at(0).first, "CD");
}

TEST_F(MappingTest, CheckMappingDuplicatesLooksAcrossTheFilesOfOneSource) {
  Tasks({"ABC1,5,,A.CSV", "ABC1,5,,B.CSV", "XYZ2,7,,C.CSV"});
  Mapping("A.CSV", ",AB,,,,,XYZ9,1,,SINE\r\nAB,,,,,,XYZ9,2,,NAME\r\n");
  Mapping("B.CSV", ",CD,,,,,XYZ9,1,,SINE\r\n");
  Mapping("C.CSV", ",AB,,,,,XYZ9,1,,SINE\r\n");  // the same row, another source
  ASSERT_TRUE(LoadMappingFiles(p.form).ok());
  EXPECT_EQ(CheckMappingDuplicates(p.form), "OK");

  TestProgram dup;
  dup.dir.Write("tasks.csv", std::string(kTaskHeader) + "XYZ2,7,,C.CSV,N,\r\nABC1,5,,A.CSV,N,\r\n" +
                                 "ABC1,5,,B.CSV,N,\r\n");
  dup.form.taskMainFile = "tasks.csv";
  std::string name = "tasks.csv";
  ASSERT_TRUE(LoadTaskMaintenanceFile(dup.form, name).ok());
  dup.dir.Write("C.CSV", std::string(kHeader) + ",AB,,,,,XYZ9,1,,SINE\r\n");
  dup.dir.Write("A.CSV", std::string(kHeader) + ",AB,,,,,XYZ9,1,,SINE\r\n");
  // Distributed by NAME with the same value, destination and category: a duplicate.
  dup.dir.Write("B.CSV", std::string(kHeader) + "EF,,,,,,XYZ9,3,,NAME\r\nAB,,,,,,XYZ9,1,,NAME\r\n");
  ASSERT_TRUE(LoadMappingFiles(dup.form).ok());
  std::string problem;
  EXPECT_EQ(CheckMappingDuplicates(dup.form, &problem),
            "Duplicated mapping entries are found towards pseudo ABC1 source queue 5.");
  EXPECT_EQ(problem,
            "B.CSV line 3 repeats A.CSV line 2 (identifier \"AB\", destination XYZ9/1) for source "
            "ABC1 queue 5");
  EXPECT_THAT(dup.Log("debug_log_1.txt"), HasSubstr(problem));
}

TEST_F(MappingTest, DuplicateSignaturesDoNotRunFieldsTogether) {
  Tasks({"ABC1,5,,A.CSV"});
  // "AB" + "CD12" and "ABC" + "D12" would read alike if the fields were simply joined.
  Mapping("A.CSV",
          ",AB,,,,,CD12,1,,SINE\r\n,ABC,,,,,D12,1,,SINE\r\n,AB,,,,,XYZ9,1,2,SINE\r\n"
          ",AB,,,,,XYZ9,12,,SINE\r\n");
  ASSERT_TRUE(LoadMappingFiles(p.form).ok());
  EXPECT_EQ(CheckMappingDuplicates(p.form), "OK");
}

}  // namespace
}  // namespace ambervale
