#include "config/task_maintenance.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "logs/logs.h"
#include "testing/fake_env.h"
#include "testing/test_program.h"

namespace ambervale {
namespace {

using ::testing::HasSubstr;

constexpr char kHeader[] = "FROM PCC,FROM QUEUE NO,FROM CATEGORY,MAPPING FILE,ADD NOTE,NOTEPAD\r\n";
constexpr char kDebugStamp[] = "##### 2026/12/06 10:00:00";

// A program folder with a Task Maintenance file "tasks.csv" in it.
class TaskFileTest : public ::testing::Test {
 protected:
  Status Load(const std::string& content, std::string name = "tasks.csv") {
    p.dir.Write("tasks.csv", content);
    return LoadTaskMaintenanceFile(p.form, name);
  }
  std::string Debug() const { return p.Log("debug_log_1.txt"); }
  const std::vector<clsFromQueue>* Group(std::string_view key) const {
    return p.form.dictFmtoMapping.Find(key);
  }

  TestProgram p;
};

TEST_F(TaskFileTest, ReadsRowsIntoGroupsByKeyInFileOrder) {
  const Status s = Load(std::string(kHeader) +
                        "abc1, 5 ,C1,map1.csv,Y,please call\r\n"
                        "ABC1,5,C1,MAP2.CSV,N,ignored\r\n"
                        "ABC1,5,,MAP1.CSV,y,lower y is no\r\n"
                        "XYZ2,12.5,c9,map3.csv,,\r\n");
  ASSERT_TRUE(s.ok()) << s.message();
  ASSERT_EQ(p.form.dictFmtoMapping.size(), 3u);
  EXPECT_EQ(p.form.dictFmtoMapping.at(0).first, "ABC1#5*C1");
  EXPECT_EQ(p.form.dictFmtoMapping.at(1).first, "ABC1#5");
  EXPECT_EQ(p.form.dictFmtoMapping.at(2).first, "XYZ2#12*c9");

  const auto& group = *Group("ABC1#5*C1");
  ASSERT_EQ(group.size(), 2u);
  EXPECT_EQ(group[0].fldFmPCC, "ABC1");
  EXPECT_EQ(group[0].fldFmQueueNo, 5);
  EXPECT_EQ(group[0].fldMappingFileName, "MAP1.CSV");
  EXPECT_TRUE(group[0].fldAddNote);
  EXPECT_EQ(group[0].fldNotePad, "PLEASE CALL");
  EXPECT_EQ(group[0].line_number, 2);
  EXPECT_EQ(group[1].fldMappingFileName, "MAP2.CSV");
  EXPECT_FALSE(group[1].fldAddNote);
  EXPECT_EQ(group[1].fldNotePad, "");
  EXPECT_EQ(group[1].line_number, 3);

  const clsFromQueue& lower_y = Group("ABC1#5")->front();
  EXPECT_FALSE(lower_y.fldAddNote);
  EXPECT_EQ(lower_y.fldNotePad, "");
  const clsFromQueue& rounded = Group("XYZ2#12*c9")->front();
  EXPECT_EQ(rounded.fldFmQueueNo, 12);     // 12.5 rounds to the even 12
  EXPECT_EQ(rounded.fldFmCategory, "c9");  // the category keeps its case
  EXPECT_EQ(rounded.line_number, 5);
  EXPECT_EQ(Debug(), "");
}

TEST_F(TaskFileTest, HeaderNamesAreTrimmedAndUpperCasedAndOrderIsFree) {
  const Status s = Load(
      "notepad, add note ,Mapping File,from category,From Queue No,from pcc,EXTRA\r\n"
      ",N,M.CSV,,7,ab12,x\r\n");
  ASSERT_TRUE(s.ok()) << s.message();
  ASSERT_NE(Group("AB12#7"), nullptr);
  EXPECT_EQ(Group("AB12#7")->front().fldMappingFileName, "M.CSV");
}

TEST_F(TaskFileTest, LaterColumnOfTheSameNameWins) {
  const Status s = Load(std::string("FROM PCC,FROM QUEUE NO,FROM CATEGORY,MAPPING FILE,ADD NOTE,") +
                        "NOTEPAD,FROM QUEUE NO\r\nAB12,1,,M.CSV,N,,9\r\n");
  ASSERT_TRUE(s.ok()) << s.message();
  EXPECT_NE(Group("AB12#9"), nullptr);
}

TEST_F(TaskFileTest, HeaderOnlyLoadsAnEmptyTable) {
  p.form.dictFmtoMapping.GetOrAdd("OLD#1");
  ASSERT_TRUE(Load(kHeader).ok());
  EXPECT_TRUE(p.form.dictFmtoMapping.empty());
}

TEST_F(TaskFileTest, BlankFromPccEndsTheData) {
  const struct {
    const char* name;
    std::string content;
    bool ok;
    size_t groups;
  } kCases[] = {
      {"blank cell",
       std::string(kHeader) + "AB12,1,,M.CSV,N,\r\n   ,2,,M.CSV,N,\r\nAB12,3,,M.CSV,N,\r\n", true,
       1},
      {"line of commas", std::string(kHeader) + "AB12,1,,M.CSV,N,\r\n,,,,,\r\nAB12,3,,M.CSV,N,\r\n",
       true, 1},
      {"empty line, FROM PCC first",
       std::string(kHeader) + "AB12,1,,M.CSV,N,\r\n\r\nAB12,3,,M.CSV,N,\r\n", true, 1},
      {"UTF-8 with its byte-order mark",
       "\xEF\xBB\xBF" + std::string(kHeader) + "AB12,1,,M.CSV,Y,caf\xC3\xA9 \xE2\x82\xAC\r\n", true,
       1},
      {"empty line, FROM PCC second",
       "FROM QUEUE NO,FROM PCC,FROM CATEGORY,MAPPING FILE,ADD "
       "NOTE,NOTEPAD\r\n1,AB12,,M.CSV,N,\r\n\r\n",
       false, 1},
  };
  for (const auto& c : kCases) {
    TestProgram fresh;
    fresh.dir.Write("tasks.csv", c.content);
    std::string name = "tasks.csv";
    EXPECT_EQ(LoadTaskMaintenanceFile(fresh.form, name).ok(), c.ok) << c.name;
    EXPECT_EQ(fresh.form.dictFmtoMapping.size(), c.groups) << c.name;
  }
}

TEST_F(TaskFileTest, FailureRowsGiveFalseWithTheirMessages) {
  const struct {
    const char* name;
    std::string content;
    const char* problem;
  } kCases[] = {
      {"empty file", "", "tasks.csv is empty: it has no header row"},
      {"missing column",
       "FROM PCC,FROM QUEUE NO,FROM CATEGORY,MAPPING FILE,ADD NOTE\r\nAB12,1,,M.CSV,N\r\n",
       "tasks.csv line 1: the header row has no column \"NOTEPAD\""},
      {"two blanks in a name",
       "FROM  PCC,FROM QUEUE NO,FROM CATEGORY,MAPPING FILE,ADD NOTE,NOTEPAD\r\n",
       "tasks.csv line 1: the header row has no column \"FROM PCC\""},
      {"queue not a number", std::string(kHeader) + "AB12,1,,M.CSV,N,\r\nAB12,Q1,,M.CSV,N,\r\n",
       "tasks.csv line 3, column \"FROM QUEUE NO\": \"Q1\" is not a number"},
      {"queue empty", std::string(kHeader) + "AB12,,,M.CSV,N,\r\n",
       "tasks.csv line 2, column \"FROM QUEUE NO\": the cell is empty; a number is needed"},
      {"queue out of range", std::string(kHeader) + "AB12,99999,,M.CSV,N,\r\n",
       "tasks.csv line 2, column \"FROM QUEUE NO\": \"99999\" is outside -32768 to 32767"},
      {"mapping file empty", std::string(kHeader) + "AB12,1,, ,N,\r\n",
       "tasks.csv line 2, column \"MAPPING FILE\": the cell is empty; every task needs a mapping "
       "file"},
      {"row too short", std::string(kHeader) + "AB12,1,,M.CSV\r\n",
       "tasks.csv line 2 has 4 cells, too few for column \"ADD NOTE\" (column 5)"},
      {"UTF-8 mark, a character outside Windows-1252",
       "\xEF\xBB\xBF" + std::string(kHeader) +
           "AB12,1,,M.CSV,Y,caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\x80\r\n",
       "tasks.csv line 2, column 24: the file starts with the UTF-8 byte-order mark, but this "
       "character is not UTF-8 or has no Windows-1252 form"},
      {"notepad empty", std::string(kHeader) + "AB12,1,,M.CSV,Y,  \r\n",
       "tasks.csv line 2, column \"NOTEPAD\": the cell is empty, but \"ADD NOTE\" is \"Y\""},
  };
  for (const auto& c : kCases) {
    TestProgram fresh;
    fresh.dir.Write("tasks.csv", c.content);
    std::string name = " tasks.csv ";
    const Status s = LoadTaskMaintenanceFile(fresh.form, name);
    EXPECT_FALSE(s.ok()) << c.name;
    EXPECT_EQ(name, "tasks.csv") << c.name;  // trimmed in place
    EXPECT_EQ(s.message(), c.problem) << c.name;
    std::string want = std::string(kDebugStamp) + ". " + c.problem + " #####\r\n";
    if (std::string(c.name) == "notepad empty") {
      want = std::string(kDebugStamp) + ". Notepad field Empty #####\r\n" + want;
    }
    EXPECT_EQ(fresh.Log("debug_log_1.txt"), want) << c.name;
    EXPECT_EQ(fresh.RunLog(), "") << c.name;
    EXPECT_TRUE(fresh.window.boxes().empty()) << c.name;
  }
}

TEST_F(TaskFileTest, MissingFileNamesBothPlacesLooked) {
  std::string name = "nowhere.csv";
  const Status s = LoadTaskMaintenanceFile(p.form, name);
  EXPECT_FALSE(s.ok());
  EXPECT_THAT(s.message(), HasSubstr("Task Maintenance file \"nowhere.csv\" was not found"));
  EXPECT_THAT(s.message(), HasSubstr(p.dir.File("nowhere.csv")));
  EXPECT_THAT(Debug(), HasSubstr("was not found"));
  EXPECT_TRUE(p.form.dictFmtoMapping.empty());
}

TEST_F(TaskFileTest, PathAsGivenComesBeforeTheProgramFolder) {
  // An absolute path is used as it is.
  TempDir elsewhere;
  elsewhere.Write("tasks.csv", std::string(kHeader) + "FAR1,1,,M.CSV,N,\r\n");
  p.dir.Write("tasks.csv", std::string(kHeader) + "NEAR,1,,M.CSV,N,\r\n");
  std::string absolute = elsewhere.File("tasks.csv");
  ASSERT_TRUE(LoadTaskMaintenanceFile(p.form, absolute).ok());
  EXPECT_NE(Group("FAR1#1"), nullptr);

  // A relative name is looked for in the working directory first.
  char old_cwd[4096];
  ASSERT_NE(getcwd(old_cwd, sizeof old_cwd), nullptr);
  ASSERT_EQ(chdir(elsewhere.path().c_str()), 0);
  std::string relative = "tasks.csv";
  const bool from_cwd = LoadTaskMaintenanceFile(p.form, relative).ok() && Group("FAR1#1");
  TempDir empty;
  ASSERT_EQ(chdir(empty.path().c_str()), 0);
  relative = "tasks.csv";
  const bool from_program = LoadTaskMaintenanceFile(p.form, relative).ok() && Group("NEAR#1");
  ASSERT_EQ(chdir(old_cwd), 0);
  EXPECT_TRUE(from_cwd);
  EXPECT_TRUE(from_program);
}

TEST_F(TaskFileTest, InvalidCategoryYesKeepsTheRowAsWritten) {
  p.window.QueueAnswer(BoxAnswer::kYes);
  const Status s = Load(std::string(kHeader) + "AB12,1,c1a,M.CSV,N,\r\nAB12,2,C1,M.CSV,N,\r\n");
  ASSERT_TRUE(s.ok()) << s.message();
  ASSERT_NE(Group("AB12#1*c1a"), nullptr);
  EXPECT_EQ(Group("AB12#1*c1a")->front().fldFmCategory, "c1a");
  ASSERT_EQ(p.window.boxes().size(), 1u);
  EXPECT_EQ(p.window.boxes()[0].text,
            "Task Maintenance file contains invalid values for category.\r\nWould you like to "
            "continue?");
  EXPECT_EQ(p.window.boxes()[0].buttons, BoxButtons::kYesNo);
  EXPECT_EQ(p.RunLog(),
            "2026/12/06 10:00:00 - Task Maintenance file contains invalid values for category\r\n");
}

TEST_F(TaskFileTest, InvalidCategoryNoEndsTheProgramAfterItsLines) {
  p.window.QueueAnswer(BoxAnswer::kNo);
  EXPECT_THROW((void)Load(std::string(kHeader) + "AB12,1,X12,M.CSV,N,\r\n"), ProgramEnded);
  EXPECT_EQ(p.env.end_count(), 1);
  EXPECT_EQ(p.RunLog(),
            "2026/12/06 10:00:00 - Task Maintenance file contains invalid values for category\r\n");
  EXPECT_EQ(p.Log("action_log_1.txt"),
            "2026/12/06 10:00:00 - Task Maintenance file contains invalid values for category - "
            "X12\r\n");
  EXPECT_THAT(Debug(), ::testing::StartsWith(std::string(kDebugStamp) +
                                             " X12. Invalid Category Found! #####\r\n"));
  EXPECT_THAT(Debug(), HasSubstr("tasks.csv line 2, column \"FROM CATEGORY\": \"X12\""));
  EXPECT_TRUE(p.window.list().empty());
}

TEST_F(TaskFileTest, UnticketedModeReadsItsOwnColumnsAndGroupsByPcc) {
  p.form.strPNRMoveMode = "UTK";
  p.form.UTKToQueue = "50";
  const Status s = Load(
      "FROM PCC,AIRLINE,DAYS\r\n"
      "ab12,\"aa,bb\",3\r\n"
      "AB12,ALL,7\r\n"
      "CD34,,1\r\n");
  ASSERT_TRUE(s.ok()) << s.message();
  ASSERT_EQ(p.form.dictFmtoMapping.size(), 2u);
  const auto& group = *Group("AB12#50");
  ASSERT_EQ(group.size(), 2u);
  EXPECT_EQ(group[0].fldAirline, "AA,BB");
  EXPECT_EQ(group[0].fldDays, 3);
  EXPECT_EQ(group[0].fldMappingFileName, "");
  EXPECT_EQ(group[1].fldAirline, "ALL");
  EXPECT_NE(Group("CD34#50"), nullptr);

  TestProgram bad;
  bad.form.strPNRMoveMode = "utk";
  bad.dir.Write("tasks.csv", "FROM PCC,AIRLINE,DAYS\r\nAB12,AA,three\r\n");
  std::string name = "tasks.csv";
  const Status failed = LoadTaskMaintenanceFile(bad.form, name);
  EXPECT_EQ(failed.message(), "tasks.csv line 2, column \"DAYS\": \"three\" is not a number");
}

TEST(IsValidCategoryTest, AcceptsOnlyTheHostForms) {
  const struct {
    const char* text;
    bool valid;
    const char* after;
  } kCases[] = {{"", true, ""},
                {"C5", true, "C5"},
                {"c5", true, "C5"},
                {"CAB", true, "CAB"},
                {"C12", true, "C12"},
                {" c12 ", true, " C12 "},
                {"5", false, "5"},
                {"C", false, "C"},
                {"CA", false, "CA"},
                {"C1A", false, "C1A"},
                {"X12", false, "X12"},
                {"C123", false, "C123"},
                {"CA1", false, "CA1"},
                {"C\xE9"
                 "A",
                 false,
                 "C\xC9"
                 "A"}};
  for (const auto& c : kCases) {
    std::string text = c.text;
    EXPECT_EQ(IsValidCategory(text), c.valid) << "'" << c.text << "'";
    EXPECT_EQ(text, c.after) << "'" << c.text << "'";
  }
}

TEST_F(TaskFileTest, CheckTaskDuplicatesComparesRowsOfOneGroup) {
  p.form.taskMainFile = "tasks.csv";
  ASSERT_TRUE(Load(std::string(kHeader) +
                   "ABC1,5,C1,MAP1.CSV,N,\r\nABC1,5,C1,MAP2.CSV,N,\r\nABC1,5,,MAP1.CSV,N,\r\n")
                  .ok());
  EXPECT_EQ(CheckTaskDuplicates(p.form), "OK");

  TestProgram twice;
  twice.form.taskMainFile = "tasks.csv";
  twice.dir.Write("tasks.csv",
                  std::string(kHeader) +
                      "ABC1,5,C1,MAP1.CSV,N,\r\nXYZ2,1,,A.CSV,N,\r\nABC1,5,C1,map1.csv,Y,x\r\n");
  std::string name = "tasks.csv";
  ASSERT_TRUE(LoadTaskMaintenanceFile(twice.form, name).ok());
  std::string problem;
  EXPECT_EQ(CheckTaskDuplicates(twice.form, &problem), "");
  EXPECT_EQ(problem,
            "tasks.csv line 4 repeats line 2 (PCC ABC1, queue 5, category \"C1\", mapping file "
            "MAP1.CSV)");
  EXPECT_THAT(twice.Log("debug_log_1.txt"), HasSubstr(problem));
}

TEST(CheckAirlineCountTest, AtMostFiveCodes) {
  EXPECT_TRUE(CheckAirlineCount(""));
  EXPECT_TRUE(CheckAirlineCount("ALL"));
  EXPECT_TRUE(CheckAirlineCount("AA,BB,CC,DD,EE"));
  EXPECT_FALSE(CheckAirlineCount("AA,BB,CC,DD,EE,FF"));
  EXPECT_FALSE(CheckAirlineCount(",,,,,"));
  EXPECT_EQ(SplitAirlines("AA, BB,"), (std::vector<std::string>{"AA", " BB", ""}));
  EXPECT_TRUE(SplitAirlines("").empty());
}

}  // namespace
}  // namespace ambervale
