#include "config/task_maintenance.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/files.h"
#include "testing/fake_env.h"
#include "testing/fake_file_system.h"
#include "testing/program_files.h"
#include "testing/recording_window.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

constexpr char kStamp[] = "##### 2026/12/06 10:00:00";

// Each case: the file, then the groups loaded as text, or "error: " and the problem that
// stopped the load, which the debug log holds too (after `debug_before`). No box, no run log.
TEST(TaskFileTest, LoadsTheGroupsOrNamesFileLineColumnAndValue) {
  const std::string h = kTaskHeader;
  const std::string one = "AB12#1: AB12/1//M.CSV/N/@2 ";
  const struct {
    const char* name;
    std::string content;
    std::string want;
    bool unticketed = false;
    std::string debug_before = "";
  } kCases[] = {
      {"groups by key in file order",
       h + "abc1, 5 ,C1,map1.csv,Y,please call\r\nABC1,5,C1,MAP2.CSV,N,ignored\r\n" +
           "ABC1,5,,MAP1.CSV,y,lower y is "
           "no\r\nXYZ2,12.5,c9,map3.csv,,\r\nABC1,5,C1,map1.csv,Y,x\r\n",
       "ABC1#5*C1: ABC1/5/C1/MAP1.CSV/Y/PLEASE CALL@2; ABC1/5/C1/MAP2.CSV/N/@3; "
       "ABC1/5/C1/MAP1.CSV/Y/X@6 | "
       "ABC1#5: ABC1/5//MAP1.CSV/N/@4 | XYZ2#12*c9: XYZ2/12/c9/MAP3.CSV/N/@5 tasks.csv line 6 "
       "repeats line 2 (PCC ABC1, queue 5, category \"C1\", mapping file MAP1.CSV)"},
      {"header names trimmed and upper-cased, in any order, the later of two wins",
       "notepad, add note ,Mapping File,from category,From Queue No,from pcc,X,FROM QUEUE NO\r\n"
       ",N,M.CSV,,7,ab12,x,1\r\n",
       one},
      {"a blank FROM PCC ends the data",
       h + "AB12,1,,M.CSV,N,\r\n   ,2,,M.CSV,N,\r\nAB12,3,,M.CSV,N,\r\n", one},
      {"unless FROM PCC is not the first column",
       "FROM QUEUE NO,FROM PCC,FROM CATEGORY,MAPPING FILE,ADD "
       "NOTE,NOTEPAD\r\n1,AB12,,M.CSV,N,\r\n\r\n",
       "error: tasks.csv line 3 has 1 cell, too few for column \"FROM PCC\" (column 2)"},
      {"empty file", "", "error: tasks.csv is empty: it has no header row"},
      {"mapping file empty", h + "AB12,1,, ,N,\r\n",
       "error: tasks.csv line 2, column \"MAPPING FILE\": the cell is empty; every task needs a "
       "mapping file"},
      {"UTF-8 mark, a character outside Windows-1252",
       "\xEF\xBB\xBF" + h + "AB12,1,,M.CSV,Y,caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\x80\r\n",
       "error: tasks.csv line 2, column 24: the file starts with the UTF-8 byte-order mark, but "
       "this character is not UTF-8 or has no Windows-1252 form"},
      {"notepad empty", h + "AB12,1,,M.CSV,Y,  \r\n",
       "error: tasks.csv line 2, column \"NOTEPAD\": the cell is empty, but \"ADD NOTE\" is \"Y\"",
       false, std::string(kStamp) + ". Notepad field Empty #####\r\n"},
      {"unticketed: days not a number", "FROM PCC,AIRLINE,DAYS\r\nAB12,AA,three\r\n",
       "error: tasks.csv line 2, column \"DAYS\": \"three\" is not a number", true},
  };
  for (const auto& c : kCases) {
    TestProgram p;
    p.form.taskMainFile = "tasks.csv";
    if (c.unticketed) p.form.strPNRMoveMode = "utk", p.form.UTKToQueue = "50";
    p.dir.Write("tasks.csv", c.content);
    std::string name = " tasks.csv ";
    const LoadOutcome s = LoadTaskMaintenanceFile(p.form, &name);
    EXPECT_EQ(name, "tasks.csv") << c.name;  // trimmed in place
    const std::string debug = p.Log("debug_log_1.txt");
    std::string repeated;  // rows of one group repeat when PCC, queue, category and file agree
    if (s.ok()) (void)CheckTaskDuplicates(p.form, &repeated);
    EXPECT_EQ(s.ok() ? ShowTasks(p.form.dictFmtoMapping) + " " + repeated : "error: " + s.message(),
              c.want)
        << c.name;
    EXPECT_EQ(debug, s.ok() ? "" : c.debug_before + kStamp + ". " + s.message() + " #####\r\n")
        << c.name;
    EXPECT_TRUE(p.window.boxes().empty() && p.RunLog().empty()) << c.name;
  }
}

// A name is looked for as given (against the working directory), then in the program folder; a
// load that fails leaves no task of an earlier one.
TEST(TaskFileTest, WhereTheFileIsLookedFor) {
  TestProgram p;
  TempDir elsewhere;
  elsewhere.Write("tasks.csv", std::string(kTaskHeader) + "FAR1,1,,M.CSV,N,\r\n");
  p.dir.Write("tasks.csv", std::string(kTaskHeader) + "NEAR,1,,M.CSV,N,\r\n");
  const auto load = [&p](std::string name) {
    const LoadOutcome s = LoadTaskMaintenanceFile(p.form, &name);
    return s.ok() ? p.form.dictFmtoMapping.at(0).first : s.message();
  };
  const std::filesystem::path old_cwd = std::filesystem::current_path();
  std::filesystem::current_path(elsewhere.path());
  const std::string from_cwd = load("tasks.csv");
  std::filesystem::current_path(old_cwd);
  EXPECT_EQ(from_cwd, "FAR1#1");
  EXPECT_EQ(load("tasks.csv"), "NEAR#1");
  EXPECT_EQ(load("nowhere.csv"),
            "Task Maintenance file \"nowhere.csv\" was not found (looked for \"" +
                AbsolutePath("nowhere.csv") + "\" and \"" + p.dir.File("nowhere.csv") + "\")");
  EXPECT_TRUE(p.form.dictFmtoMapping.empty());
}

// The operator is asked; Yes keeps the row as written, No stops the start-up after its lines.
TEST(TaskFileTest, InvalidCategoryAsksWhetherToGoOn) {
  const std::string question =
      "2026/12/06 10:00:00 - Task Maintenance file contains invalid values for category";
  TestProgram yes;
  yes.dir.Write("tasks.csv", std::string(kTaskHeader) + "ABC1,1,X5,MAP1.CSV,N,\r\n");
  yes.window.QueueAnswer(BoxAnswer::kYes);
  std::string name = "tasks.csv";
  ASSERT_TRUE(LoadTaskMaintenanceFile(yes.form, &name).ok());
  EXPECT_EQ(ShowTasks(yes.form.dictFmtoMapping), "ABC1#1*X5: ABC1/1/X5/MAP1.CSV/N/@2");
  EXPECT_EQ(yes.RunLog(), question + "\r\n");
  ASSERT_EQ(yes.window.boxes().size(), 1u);
  EXPECT_EQ(yes.window.boxes()[0].text,
            "Task Maintenance file contains invalid values for category.\r\nWould you like to "
            "continue?");

  TestProgram no(false);
  no.WriteStartupFiles();
  no.dir.Write("tasks.csv", std::string(kTaskHeader) + "ABC1,1,X5,MAP1.CSV,N,\r\n");
  no.window.QueueAnswer(BoxAnswer::kNo);
  EXPECT_TRUE(no.Load().has_value());
  EXPECT_NE(no.Log("action_log_1.txt").find(question + " - X5\r\n"), std::string::npos);
  EXPECT_NE(no.Log("debug_log_1.txt")
                .find(std::string(kStamp) + " X5. Invalid Category Found! #####\r\n" + kStamp +
                      ". tasks.csv line 2, column \"FROM CATEGORY\": \"X5\" is not a category (C "
                      "and a digit, C and two digits or C and two letters); the operator chose "
                      "to stop #####\r\n"),
            std::string::npos);
}

TEST(TaskFileTest, Categories) {
  for (std::string yes : {"", "c5", "CAB", " c12 "}) EXPECT_TRUE(IsValidCategory(&yes)) << yes;
  for (std::string no : {"X5", "C", "C1A", "C123", "CA1"}) EXPECT_FALSE(IsValidCategory(&no)) << no;
}

// The loaders read through the program's file system: a file it cannot read (a disk error,
// whoever runs the test) is named, and is not taken for a missing one.
TEST(TaskFileTest, AFileThatCannotBeReadIsNamed) {
  FakeEnv env("/agency");
  FakeFileSystem files(env);
  Logs logs(env, "/agency/logs", files);
  RecordingWindow window;
  frmMain form(env, window, logs);
  ASSERT_TRUE(files.WriteAtomically("/agency/tasks.csv", std::string(kTaskHeader)).ok());
  files.Fail(FileOp::kRead, "/agency/tasks.csv");
  std::string name = "tasks.csv";
  EXPECT_EQ(LoadTaskMaintenanceFile(form, &name).message(),
            "Task Maintenance file \"/agency/tasks.csv\" cannot be read");
}

}  // namespace
}  // namespace ambervale::testing
