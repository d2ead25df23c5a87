#include "app/config_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "platform/files.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

using ::testing::HasSubstr;

struct Checked {
  int code;
  std::string out;
};

Checked Check(TestProgram& f) {
  std::ostringstream out;
  const int code = CheckConfiguration(f.env, out);
  return {code, out.str()};
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(CheckConfigurationTest, TheTerminalProblemIsOneMoreProblem) {
  TestProgram f(false);
  f.WriteStartupFiles({{"TIMER/COUNTER", "x"}});
  std::ostringstream out;
  EXPECT_EQ(CheckConfiguration(f.env, out, false, "[Terminal] Connection is missing"), 1);
  EXPECT_THAT(out.str(),
              HasSubstr("problem: [Terminal] Connection is missing\n2 problems found.\n"));
  // Without settings.ini only that one is reported.
  (void)DeleteFile(f.dir.File("settings.ini"));
  std::ostringstream missing;
  EXPECT_EQ(CheckConfiguration(f.env, missing, false, "[Terminal] Connection is missing"), 1);
  EXPECT_THAT(missing.str(),
              HasSubstr("problem: Settings.ini cannot be found.\n  It must be located"));
  EXPECT_THAT(missing.str(), HasSubstr("1 problem found.\n"));
}

// Each case: settings, files written over the start-up files, the texts expected in the report
// and the number of problems (0: usable).
TEST(CheckConfigurationTest, ReportsEveryProblemAndGoesOn) {
  const struct {
    const char* name;
    SettingsOverrides settings;
    std::map<std::string, std::string> files;
    std::vector<std::string> parts;
    int problems;
  } kCases[] = {
      {"the start-up files", {}, {}, {"settings.ini\nThe configuration is usable.\n"}, 0},
      {"settings and task file",
       {{"LOG/LOGFILESIZE", "1 MB"},
        {"TIMER/COUNTER", "x"},
        {"USER/NAME", ""},
        {"AGENT/ID", std::nullopt},
        {"TAU/DATE", ""}},
       {{"tasks.csv", TasksCsv({"ABC1,4x,,MAP1.CSV,N,,,"})}},
       {"problem: [LOG] LOGFILESIZE = \"1 MB\": Error Reading Max log file size",
        "problem: [TIMER] COUNTER = \"x\": Error Reading Counter from Settings.ini\n",
        "problem: [USER] NAME = \"\": Error Reading User Name from Settings.ini\n",
        "problem: [AGENT] ID = \"\": Error Reading Agent ID from Settings.ini\n",
        "problem: [TAU] DATE = \"\":  Error Reading TAU Period time from settings.ini.\n",
        "problem: Errors are found in task maintenance.\n"
        "  Please check or contact administrator.\n  \n"
        "  tasks.csv line 2, column \"FROM QUEUE NO\": \"4x\" is not a number\n",
        "6 problems found.\n"},
       6},
      {"task file not found",
       {{"FILE/TASKMAINTAIN", "none.csv"}},
       {},
       {"problem: [FILE] TASKMAINTAIN = \"none.csv\": Task maintenance file \"none.csv\" cannot "
        "be found.\n"},
       1},
      // An invalid category (start-up asks), a row without sine and two identical agent rows.
      {"mapping problems that would end the program",
       {},
       {{"tasks.csv", TasksCsv({"ABC1,40,X,MAP1.CSV,N,,,"})},
        {"MAP1.CSV", MappingCsv({"JANE SHAW,,,,,,ABC1,50,,SINE", "ALI KHAN,AK,,,,,ABC1,51,,SINE",
                                 "ALI KHAN,AK,,,,,ABC1,51,,SINE"})}},
       {"problem: Task Maintenance file contains invalid values for category.\n  Would you like "
        "to continue?\n",
        "problem: Ambervale has found missing values in Mapping file(s).",
        "problem: Duplicated mapping entries are found in mapping file(s).", "3 problems found.\n"},
       3},
      {"the PCC question and an odd TAU period are no problems",
       {{"Others/PCCCheck", "Y"}, {"TAU/DATE", "-5"}},
       {{"tasks.csv", TasksCsv({"ABC1,40,,MAP1.CSV,N,,,", "DEF3,41,,MAP1.CSV,N,,,"})}},
       {"note: start-up will ask whether to go on:\n  Ambervale has found PCC(s) entered in Task "
        "Maintenance/Mapping files to be different.",
        "  1) tasks.csv", "warning: [TAU] DATE = \"-5\": a negative number of days"},
       0},
      {"fail queue conflict and no alert address",
       {{"FailQueue/FailQueueActivated", "Y"}, {"FailQueue/FailQueueNo", "40"}},
       {},
       {"problem: Queue 40 already assigned as a Fail Queue",
        "problem: [FailQueue] EmailAlert1 = \"\": Email Alert1 not found in Settings.ini file."},
       2},
      {"invalid fail queue number",
       {{"FailQueue/FailQueueActivated", "Y"},
        {"FailQueue/FailQueueNo", "100"},
        {"FailQueue/EmailAlert1", "fq@agency.example"}},
       {},
       {"problem: [FailQueue] FailQueueNo = \"100\", FailQueueCategoryNo = \"\": Value defined "
        "for Fail Queue is invalid."},
       1},
      {"unticketed mode needs no mapping files",
       {{"MOVEMODE/PNRMODE", "UTK"}, {"FailQueue/FailQueueActivated", "Y"}},
       {{"tasks.csv", TasksCsv({"ABC1,,,NOMAP.CSV,,,ALL,3"})}},
       {"The configuration is usable."},
       0},
  };
  for (const auto& k : kCases) {
    TestProgram f(false);
    f.WriteStartupFiles(k.settings);
    for (const auto& [name, text] : k.files) f.dir.Write(name, text);
    const Checked c = Check(f);
    EXPECT_EQ(c.code, k.problems == 0 ? 0 : 1) << k.name;
    for (const std::string& part : k.parts) EXPECT_THAT(c.out, HasSubstr(part)) << k.name;
    EXPECT_EQ(Count(c.out, "problem: "), k.problems) << k.name << "\n" << c.out;
    // A check writes nothing: no logs, no lock, no report file.
    EXPECT_FALSE(FolderExists(f.dir.File("logs")) || f.dir.Exists(".ambervale.lock") ||
                 f.dir.Exists("tempPCCCheck.log"))
        << k.name;
  }
}

}  // namespace
}  // namespace ambervale::testing
