#include "config/cross_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "config/task_maintenance.h"
#include "platform/classic_text.h"
#include "testing/golden.h"
#include "testing/program_files.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

// A program with its tables filled in code: tasks "PCC/queue/category/file", agents
// "file/sine/PCC/queue/category".
struct Tables {
  Tables(const std::vector<std::string>& tasks, const std::vector<std::string>& agents) {
    p.form.taskMainFile = "tasks.csv";
    for (const std::string& task : tasks) {
      const std::vector<std::string> t = ItemParts(task, "/");
      clsFromQueue row;
      std::tie(row.fldFmPCC, row.fldFmCategory, row.fldMappingFileName) =
          std::tie(t[0], t[2], t[3]);
      row.fldFmQueueNo = static_cast<int16_t>(std::stoi(t[1]));
      p.form.dictFmtoMapping.GetOrAdd(TaskKey(p.form, row)).push_back(row);
    }
    for (const std::string& agent : agents) {
      const std::vector<std::string> a = ItemParts(agent, "/");
      p.form.dictAgentMapping.GetOrAdd(a[0]).GetOrAdd(a[1]).push_back(
          AgentRow("SINE", a[1], a[2], static_cast<int16_t>(std::stoi(a[3])), a[4]));
    }
  }
  TestProgram p;
};

// Names as long as their column or longer stand without padding; a file named by two tasks is
// listed once; "AB" is in "ABC1", so not listed again.
TEST(PccCheckTest, TwoSourcePccsAskTheQuestion) {
  const std::string long_map = "ABCDEFGHIJKLMNOPQRSTUVWXY1.CSV";         // 30 characters
  const std::string long_task = "/data/ambervale/task-maintenance.csv";  // 36 characters
  Tables t({"ABC1/5//" + long_map, "XYZ2/6//" + long_map},
           {long_map + "/A1/ABC1/1/", long_map + "/A2/ XYZ9 /1/", long_map + "/A3/AB/1/",
            long_map + "/A4/abc1/1/"});
  t.p.form.taskMainFile = long_task;
  t.p.window.QueueAnswer(BoxAnswer::kYes);
  EXPECT_FALSE(RunPCCCheck(t.p.form, true));
  // The file holds the box's text: whole, with its buttons and the run log line, in the
  // start-ups' golden file; here its lines of the files.
  ASSERT_EQ(t.p.window.boxes().size(), 1u);
  EXPECT_EQ(t.p.dir.Read("tempPCCCheck.log"), t.p.window.boxes()[0].text + "\r\n");
  EXPECT_TRUE(Contains(t.p.window.boxes()[0].text,
                       "\n1) " + long_task + "ABC1,XYZ2\n2) " + long_map + "ABC1,XYZ9,abc1\n\n"));
}

// Two tasks of one PCC with the files A.CSV and B.CSV; the agents decide: whether the question
// is asked, the count of destination PCCs and the mapping lines. The first file's two PCCs ask
// it; the next files' PCCs are listed, not counted.
TEST(PccCheckTest, WhenTheQuestionIsAsked) {
  const std::string a = "2) A.CSV" + std::string(21, ' ');
  const std::string b = "3) B.CSV" + std::string(21, ' ');
  const struct {
    std::vector<std::string> agents;
    std::string want;
  } kCases[] = {
      {{"A.CSV/AB/ABC1/1/", "B.CSV/CD/XYZ2/1/"}, "not asked 1 " + a + "ABC1\n" + b + "XYZ2\n"},
      {{"A.CSV/AB/ABC1/1/", "A.CSV/CD/XYZ2/1/", "B.CSV/CD/XYZ2/1/", "B.CSV/EF/ABC1/1/",
        "B.CSV/GH/QQQ1/1/"},
       "asked 2 " + a + "ABC1,XYZ2\n" + b + "XYZ2,ABC1,QQQ1\n"},
  };
  for (const auto& c : kCases) {
    Tables t({"ABC1/1//A.CSV", "ABC1/2//B.CSV"}, c.agents);
    t.p.window.QueueAnswer(BoxAnswer::kYes);
    const int16_t diff = BuildPCCCheck(t.p.form).DiffMappPCC;
    EXPECT_FALSE(RunPCCCheck(t.p.form, true));
    const bool asked = t.p.window.boxes().size() == 1 && t.p.dir.Exists("tempPCCCheck.log");
    EXPECT_EQ(
        (asked ? "asked " : "not asked ") + std::to_string(diff) + " " + t.p.form.MappingPCCList,
        c.want);
  }
}

const std::string kFailQueueTail = "Please modify the following file(s) to continue\n\nFile Name" +
                                   std::string(25, ' ') + "Queue/Category Number\n";

// Each case: the Fail Queue's category, the source queue of the four tasks' first, and the
// report ("": no conflict). The mapping files whose agents' first rows use the Fail Queue are
// numbered after the task file's line when that one conflicts too.
TEST(FailQueueConflictTest, SourceQueuesAndAgentsOnTheFailQueueAreReported) {
  const auto line = [](const std::string& n, const std::string& file, const std::string& q) {
    return n + file + std::string(file == "tasks.csv" ? 22 : 21, ' ') + q + "\n";
  };
  const std::string head_c1 =
      "Queue/Category 26/C1 already assigned as a Fail Queue,  and cannot be used in Task "
      "Maintenance\nand Mapping file.\n" +
      kFailQueueTail;
  const struct {
    std::string cat;
    std::string q;  // the first task's source queue
    std::string report;
  } kCases[] = {
      {"", "126",
       "Queue 26 already assigned as a Fail Queue and cannot be used in Task Maintenance and "
       "Mapping file.\n" +
           kFailQueueTail + line("1)", "tasks.csv", "26") + line("2) ", "B.CSV", "26")},
      {"C1", "5", head_c1 + line("1) ", "A.CSV", "26/C1") + line("2) ", "C.CSV", "26/C1")},
      {"C1", "26",
       head_c1 + line("1)", "tasks.csv", "26/C1") + line("2) ", "A.CSV", "26/C1") +
           line("3) ", "C.CSV", "26/C1")},
      {"C2", "5", ""},
  };
  for (const auto& [cat, q, report] : kCases) {
    Tables t({"ABC1/" + q + "/" + cat + "/A.CSV", "ABC1/15/" + cat + "/B.CSV",
              "ABC1/25/" + cat + "/C.CSV", "ABC1/35/" + cat + "/A.CSV"},
             // 26 without category is another queue; only the first row of an identifier counts.
             {"A.CSV/AB/XYZ9/26/ C1 ", "B.CSV/AB/XYZ9/26/", "C.CSV/AB/XYZ9/10/",
              "C.CSV/CD/XYZ9/26/C1", "B.CSV/AB/XYZ9/26/C1"});
    t.p.form.FailQueueNo = "26";
    t.p.form.FailQueueCategory = cat;
    (void)BuildPCCCheck(t.p.form);
    TrimTaskMainQueueList(t.p.form);
    const FailQueueConflicts found = FindFailQueueConflicts(t.p.form);
    EXPECT_EQ(found.conflict ? found.report : "", report) << cat << " " << q;
  }
}

}  // namespace
}  // namespace ambervale::testing
