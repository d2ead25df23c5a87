#include "config/cross_checks.h"

#include <gtest/gtest.h>

#include <string>

#include "config/task_maintenance.h"
#include "logs/logs.h"
#include "testing/fake_env.h"
#include "testing/test_program.h"

namespace ambervale {
namespace {

constexpr char kStamp[] = "2026/12/06 10:00:00 - ";
const std::string kPccHead =
    "Ambervale has found PCC(s) entered in Task Maintenance/Mapping files to be different.\n"
    "The list below displays the different PCC(s) in Task Maintenance/Mapping file(s).\n"
    "\n"
    "File Name                              PCC(s)\n";
const std::string kPccQuestion =
    "\n\nDo you want the application to run with the defined settings ?";

class CrossCheckTest : public ::testing::Test {
 protected:
  CrossCheckTest() { p.form.taskMainFile = "tasks.csv"; }

  void Task(const std::string& pcc, int16_t queue, const std::string& category,
            const std::string& file) {
    clsFromQueue row;
    row.fldFmPCC = pcc;
    row.fldFmQueueNo = queue;
    row.fldFmCategory = category;
    row.fldMappingFileName = file;
    p.form.dictFmtoMapping.GetOrAdd(TaskKey(p.form, row)).push_back(row);
  }
  void Agent(const std::string& file, const std::string& sine, const std::string& pcc,
             int16_t queue, const std::string& category = "") {
    clsAgentQueue row;
    row.fldAgentSine = sine;
    row.fldDistributedBy = "SINE";
    row.fldDestPCC = pcc;
    row.fldQueueNo = queue;
    row.fldCatagory = category;
    p.form.dictAgentMapping.GetOrAdd(file).GetOrAdd(sine).push_back(row);
  }

  TestProgram p;
};

TEST_F(CrossCheckTest, TwoSourcePccsAskTheQuestion) {
  Task("ABC1", 5, "", "MAP1.CSV");
  Task("XYZ2", 6, "", "MAP1.CSV");
  Agent("MAP1.CSV", "AB", "ABC1", 10);
  p.window.QueueAnswer(BoxAnswer::kYes);
  RunPCCCheck(p.form, true);

  const std::string report = kPccHead + "1) tasks.csv" + std::string(22, ' ') +
                             "ABC1,XYZ2\n2) MAP1.CSV" + std::string(18, ' ') + "ABC1\n" +
                             kPccQuestion;
  ASSERT_EQ(p.window.boxes().size(), 1u);
  EXPECT_EQ(p.window.boxes()[0].text, report);
  EXPECT_EQ(p.window.boxes()[0].buttons, BoxButtons::kYesNo);
  EXPECT_EQ(p.window.boxes()[0].icon, BoxIcon::kNone);
  EXPECT_EQ(p.dir.Read("tempPCCCheck.log"), report + "\r\n");
  EXPECT_EQ(p.RunLog(),
            std::string(kStamp) + "PCC Check in task maintenance/mapping file(s) is enabled\r\n");
  EXPECT_EQ(p.form.TaskMainPCCList, "ABC1,XYZ2\n");
  EXPECT_EQ(p.form.TaskMainQueueList, "5,6,");
  EXPECT_EQ(p.form.taskMainFile, "tasks.csv" + std::string(22, ' '));
  EXPECT_EQ(p.env.end_count(), 0);
}

TEST_F(CrossCheckTest, NoEndsTheProgramAndKeepsTheReport) {
  Task("ABC1", 5, "", "MAP1.CSV");
  Task("XYZ2", 6, "", "MAP1.CSV");
  Agent("MAP1.CSV", "AB", "ABC1", 10);
  p.window.QueueAnswer(BoxAnswer::kNo);
  EXPECT_THROW(RunPCCCheck(p.form, true), ProgramEnded);
  EXPECT_TRUE(p.dir.Exists("tempPCCCheck.log"));
  EXPECT_EQ(p.RunLog(),
            std::string(kStamp) + "PCC Check in task maintenance/mapping file(s) is enabled\r\n");
}

TEST_F(CrossCheckTest, WhenTheQuestionIsAsked) {
  const struct {
    const char* name;
    std::vector<std::vector<std::string>> agents;  // file, sine, pcc
    bool asked;
    int16_t diff;
  } kCases[] = {
      {"one file with two PCCs", {{"A.CSV", "AB", "ABC1"}, {"A.CSV", "CD", "XYZ2"}}, true, 2},
      {"files with one PCC each, different",
       {{"A.CSV", "AB", "ABC1"}, {"B.CSV", "CD", "XYZ2"}},
       false,
       1},
      {"the second file has two",
       {{"A.CSV", "AB", "ABC1"}, {"B.CSV", "CD", "XYZ2"}, {"B.CSV", "EF", "ABC1"}},
       true,
       2},
      {"the first with two decides the count",
       {{"A.CSV", "AB", "ABC1"},
        {"A.CSV", "CD", "XYZ2"},
        {"B.CSV", "CD", "XYZ2"},
        {"B.CSV", "EF", "ABC1"},
        {"B.CSV", "GH", "QQQ1"}},
       true,
       2},
  };
  for (const auto& c : kCases) {
    TestProgram fresh;
    fresh.form.taskMainFile = "tasks.csv";
    for (const char* file : {"A.CSV", "B.CSV"}) {
      clsFromQueue row;
      row.fldFmPCC = "ABC1";
      row.fldFmQueueNo = file[0] == 'A' ? 1 : 2;
      row.fldMappingFileName = file;
      fresh.form.dictFmtoMapping.GetOrAdd(TaskKey(fresh.form, row)).push_back(row);
    }
    for (const auto& a : c.agents) {
      clsAgentQueue row;
      row.fldAgentSine = a[1];
      row.fldDistributedBy = "SINE";
      row.fldDestPCC = a[2];
      fresh.form.dictAgentMapping.GetOrAdd(a[0]).GetOrAdd(a[1]).push_back(row);
    }
    fresh.window.QueueAnswer(BoxAnswer::kYes);
    const PccCheck check = BuildPCCCheck(fresh.form);
    EXPECT_EQ(check.DiffMappPCC, c.diff) << c.name;
    fresh.form.taskMainFile = "tasks.csv";
    RunPCCCheck(fresh.form, true);
    EXPECT_EQ(fresh.window.boxes().size(), c.asked ? 1u : 0u) << c.name;
    EXPECT_EQ(fresh.dir.Exists("tempPCCCheck.log"), c.asked) << c.name;
  }
}

TEST_F(CrossCheckTest, SwitchedOffStillBuildsTheLists) {
  Task("ABC1", 5, "", "MAP1.CSV");
  Task("XYZ2", 6, "", "MAP2.CSV");
  Agent("MAP1.CSV", "AB", "ABC1", 10);
  Agent("MAP1.CSV", "CD", "XYZ2", 10);
  Agent("MAP2.CSV", "AB", "QQQ1", 10);
  RunPCCCheck(p.form, false);
  EXPECT_TRUE(p.window.boxes().empty());
  EXPECT_FALSE(p.dir.Exists("tempPCCCheck.log"));
  EXPECT_EQ(p.RunLog(),
            std::string(kStamp) + "PCC Check in task maintenance/mapping file(s) is disabled\r\n");
  EXPECT_EQ(p.form.TaskMainPCCList, "ABC1,XYZ2\n");
  EXPECT_EQ(p.form.MappingPCCList, "2) MAP1.CSV" + std::string(18, ' ') + "ABC1,XYZ2\n" +
                                       "3) MAP2.CSV" + std::string(18, ' ') + "QQQ1\n");
}

TEST_F(CrossCheckTest, NamesLongerThanTheFillWidthAreKeptWhole) {
  const std::string long_map = "ABCDEFGHIJKLMNOPQRSTUVWXY1.CSV";         // 30 characters
  const std::string long_task = "/data/ambervale/task-maintenance.csv";  // 36 characters
  p.form.taskMainFile = long_task;
  Task("ABC1", 5, "", long_map);
  Task("XYZ2", 6, "", long_map);
  Agent(long_map, "AB", "ABC1", 10);
  const PccCheck check = BuildPCCCheck(p.form);
  EXPECT_EQ(check.report,
            kPccHead + "1) " + long_task + "ABC1,XYZ2\n2) " + long_map + "ABC1\n" + kPccQuestion);
}

TEST_F(CrossCheckTest, EachMappingFileIsListedOnceEvenWhenItsNameIsInAnother) {
  Task("ABC1", 1, "", "SALESMAP.CSV");
  Task("ABC1", 2, "", "MAP.CSV");
  Task("ABC1", 3, "", "SALESMAP.CSV");
  Agent("SALESMAP.CSV", "AB", "ABC1", 10);
  Agent("MAP.CSV", "AB", "ABC1", 10);
  Agent("MAP.CSV", "CD", "XYZ2", 10);
  const PccCheck check = BuildPCCCheck(p.form);
  EXPECT_EQ(p.form.MappingPCCList, "2) SALESMAP.CSV" + std::string(14, ' ') + "ABC1\n" +
                                       "3) MAP.CSV" + std::string(19, ' ') + "ABC1,XYZ2\n");
  EXPECT_TRUE(check.MustAsk());
}

TEST_F(CrossCheckTest, UnticketedModeListsNoMappingFiles) {
  p.form.strPNRMoveMode = "UTK";
  p.form.UTKToQueue = "50";
  Task("ABC1", 0, "", "");
  Task("XYZ2", 0, "", "");
  p.window.QueueAnswer(BoxAnswer::kYes);
  RunPCCCheck(p.form, true);
  ASSERT_EQ(p.window.boxes().size(), 1u);
  EXPECT_EQ(p.window.boxes()[0].text,
            kPccHead + "1) tasks.csv" + std::string(22, ' ') + "ABC1,XYZ2\n" + kPccQuestion);
  EXPECT_EQ(p.form.MappingPCCList, "");
}

TEST_F(CrossCheckTest, QueueListAndItsTrailingComma) {
  Task("ABC1", 5, "C1", "A.CSV");
  Task("ABC1", 5, "", "A.CSV");
  Task("ABC1", 6, "c2", "A.CSV");
  Task("ABC1", 5, "C1 ", "B.CSV");
  (void)BuildPCCCheck(p.form);
  EXPECT_EQ(p.form.TaskMainQueueList, "5,6,");
  TrimTaskMainQueueList(p.form);
  EXPECT_EQ(p.form.TaskMainQueueList, "5,6");
  TrimTaskMainQueueList(p.form);
  EXPECT_EQ(p.form.TaskMainQueueList, "5,6");

  TestProgram with_category;
  with_category.form.FailQueueCategory = "C9";
  for (const char* category : {"C1", "", "c1"}) {
    clsFromQueue row;
    row.fldFmPCC = "ABC1";
    row.fldFmQueueNo = 5;
    row.fldFmCategory = category;
    with_category.form.dictFmtoMapping.GetOrAdd(TaskKey(with_category.form, row)).push_back(row);
  }
  (void)BuildPCCCheck(with_category.form);
  EXPECT_EQ(with_category.form.TaskMainQueueList, "5/C1,");  // "5/" and "5/c1" are in it
}

// The Fail Queue conflict check.

const std::string kNoCategoryHead =
    "Queue 26 already assigned as a Fail Queue and cannot be used in Task Maintenance and Mapping "
    "file.\nPlease modify the following file(s) to continue\n\nFile Name" +
    std::string(25, ' ') + "Queue/Category Number\n";
const std::string kCategoryHead =
    "Queue/Category 26/C1 already assigned as a Fail Queue,  and cannot be used in Task "
    "Maintenance\nand Mapping file.\nPlease modify the following file(s) to continue\n\nFile "
    "Name" +
    std::string(25, ' ') + "Queue/Category Number\n";

TEST_F(CrossCheckTest, FailQueueUsedAsSourceQueueEndsTheProgram) {
  for (const int16_t queue : {26, 126}) {
    TestProgram fresh;
    fresh.form.taskMainFile = "tasks.csv";
    fresh.form.FailQueueNo = "26";
    clsFromQueue row;
    row.fldFmPCC = "ABC1";
    row.fldFmQueueNo = queue;
    row.fldMappingFileName = "A.CSV";
    fresh.form.dictFmtoMapping.GetOrAdd("k").push_back(row);
    clsAgentQueue agent;
    agent.fldDestPCC = "ABC1";
    agent.fldQueueNo = 30;
    fresh.form.dictAgentMapping.GetOrAdd("A.CSV").GetOrAdd("AB").push_back(agent);
    (void)BuildPCCCheck(fresh.form);
    TrimTaskMainQueueList(fresh.form);
    EXPECT_THROW(RunFailQueueConflictCheck(fresh.form), ProgramEnded) << queue;

    const std::string report = kNoCategoryHead + "1)tasks.csv" + std::string(22, ' ') + "26\n";
    ASSERT_EQ(fresh.window.boxes().size(), 1u) << queue;
    EXPECT_EQ(fresh.window.boxes()[0].text, report) << queue;
    EXPECT_EQ(fresh.window.boxes()[0].buttons, BoxButtons::kOk);
    EXPECT_EQ(fresh.window.boxes()[0].icon, BoxIcon::kNone);
    EXPECT_EQ(fresh.dir.Read("tempFailQueueCheck.log"), report + "\r\n") << queue;
    EXPECT_EQ(fresh.RunLog(),
              std::string(kStamp) +
                  "Queue/Category already assigned as a Fail Queue and cannot be used\r\n")
        << queue;
  }
}

TEST_F(CrossCheckTest, MappingFilesUsingTheFailQueueAreNumbered) {
  const struct {
    const char* name;
    int16_t task_queue;
    const char* first_number;
  } kCases[] = {{"no Task Maintenance conflict", 5, "1) "},
                {"with a Task Maintenance conflict", 26, "2) "}};
  for (const auto& c : kCases) {
    TestProgram fresh;
    fresh.form.taskMainFile = "tasks.csv";
    fresh.form.FailQueueNo = "26";
    fresh.form.FailQueueCategory = "C1";
    const char* files[] = {"A.CSV", "B.CSV", "C.CSV", "A.CSV"};
    for (int i = 0; i < 4; ++i) {
      clsFromQueue row;
      row.fldFmPCC = "ABC1";
      row.fldFmQueueNo = static_cast<int16_t>(c.task_queue + i * 100);
      row.fldFmCategory = "C1";
      row.fldMappingFileName = files[i];
      fresh.form.dictFmtoMapping.GetOrAdd(TaskKey(fresh.form, row)).push_back(row);
    }
    const auto agent = [&fresh](const char* file, int16_t queue, const char* category) {
      clsAgentQueue row;
      row.fldDestPCC = "XYZ9";
      row.fldQueueNo = queue;
      row.fldCatagory = category;
      fresh.form.dictAgentMapping.GetOrAdd(file)
          .GetOrAdd(std::to_string(queue) + category)
          .push_back(row);
    };
    agent("A.CSV", 26, " C1 ");
    agent("B.CSV", 26, "");  // 26 without category is another queue address
    agent("C.CSV", 10, "");
    agent("C.CSV", 26, "C1");
    (void)BuildPCCCheck(fresh.form);
    TrimTaskMainQueueList(fresh.form);
    const FailQueueConflicts found = FindFailQueueConflicts(fresh.form);
    EXPECT_TRUE(found.conflict) << c.name;
    const std::string second = c.first_number[0] == '1' ? "2) " : "3) ";
    std::string want = kCategoryHead;
    if (c.task_queue == 26) want += "1)tasks.csv" + std::string(22, ' ') + "26/C1\n";
    want += c.first_number + std::string("A.CSV") + std::string(21, ' ') + "26/C1\n" + second +
            "C.CSV" + std::string(21, ' ') + "26/C1\n";
    EXPECT_EQ(found.report, want) << c.name;
  }
}

TEST_F(CrossCheckTest, NoConflictGoesOn) {
  p.form.FailQueueNo = "26";
  Task("ABC1", 5, "", "A.CSV");
  Agent("A.CSV", "AB", "ABC1", 27);
  (void)BuildPCCCheck(p.form);
  RunFailQueueConflictCheck(p.form);
  EXPECT_TRUE(p.window.boxes().empty());
  EXPECT_FALSE(p.dir.Exists("tempFailQueueCheck.log"));
  EXPECT_EQ(p.form.MappingQueueList, "");
}

}  // namespace
}  // namespace ambervale
