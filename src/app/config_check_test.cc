#include "app/config_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "app/startup_test_util.h"
#include "platform/files.h"

namespace ambervale {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct Checked {
  int code;
  std::string out;
};

Checked Check(StartupFolder& f) {
  std::ostringstream out;
  const int code = CheckConfiguration(f.env, out);
  return {code, out.str()};
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(CheckConfigurationTest, AGoodConfigurationIsUsableAndNothingIsWritten) {
  StartupFolder f;
  f.WriteFiles();
  f.WriteSettings();
  const Checked c = Check(f);
  EXPECT_EQ(c.code, 0) << c.out;
  EXPECT_EQ(c.out, "Checking " + f.dir.File("settings.ini") + "\nThe configuration is usable.\n");
  EXPECT_FALSE(FolderExists(f.dir.File("logs")));
  EXPECT_FALSE(f.dir.Exists(".ambervale.lock"));
  EXPECT_EQ(f.env.end_count(), 0);
}

TEST(CheckConfigurationTest, TheTerminalProblemIsOneMoreProblem) {
  StartupFolder f;
  f.WriteFiles();
  f.WriteSettings({{"TIMER/COUNTER", "x"}});
  std::ostringstream out;
  EXPECT_EQ(CheckConfiguration(f.env, out, false, "[Terminal] Connection is missing"), 1);
  EXPECT_THAT(out.str(),
              HasSubstr("problem: [Terminal] Connection is missing\n2 problems found.\n"));
  // Without settings.ini only that one is reported.
  (void)DeleteFile(f.dir.File("settings.ini"));
  std::ostringstream missing;
  EXPECT_EQ(CheckConfiguration(f.env, missing, false, "[Terminal] Connection is missing"), 1);
  EXPECT_THAT(missing.str(), Not(HasSubstr("[Terminal]")));
}

TEST(CheckConfigurationTest, MissingSettingsFile) {
  StartupFolder f;
  const Checked c = Check(f);
  EXPECT_EQ(c.code, 1);
  EXPECT_THAT(c.out, HasSubstr("problem: Settings.ini cannot be found.\n  It must be located"));
  EXPECT_THAT(c.out, HasSubstr("1 problem found.\n"));
}

TEST(CheckConfigurationTest, ReportsEverySettingsProblemAndGoesOn) {
  StartupFolder f;
  f.WriteFiles();
  f.dir.Write("tasks.csv", std::string(kTaskHeader) + "AB12,4x,,MAP1.CSV,N,,,\r\n");
  f.WriteSettings({{"LOG/LOGFILESIZE", "1 MB"},
                   {"TIMER/COUNTER", "x"},
                   {"USER/NAME", ""},
                   {"AGENT/ID", std::nullopt},
                   {"TAU/DATE", ""}});
  const Checked c = Check(f);
  EXPECT_EQ(c.code, 1);
  for (const char* part :
       {"problem: [LOG] LOGFILESIZE = \"1 MB\": Error Reading Max log file size",
        "problem: [TIMER] COUNTER = \"x\": Error Reading Counter from Settings.ini\n",
        "problem: [USER] NAME = \"\": Error Reading User Name from Settings.ini\n",
        "problem: [AGENT] ID = \"\": Error Reading Agent ID from Settings.ini\n",
        "problem: [TAU] DATE = \"\":  Error Reading TAU Period time from settings.ini.\n",
        "problem: Errors are found in task maintenance.\n"
        "  Please check or contact administrator.\n  \n"
        "  tasks.csv line 2, column \"FROM QUEUE NO\": \"4x\" is not a number\n",
        "6 problems found.\n"}) {
    EXPECT_THAT(c.out, HasSubstr(part));
  }
}

TEST(CheckConfigurationTest, TaskFileNotFound) {
  StartupFolder f;
  f.WriteFiles();
  f.WriteSettings({{"FILE/TASKMAINTAIN", "none.csv"}});
  const Checked c = Check(f);
  EXPECT_EQ(c.code, 1);
  EXPECT_THAT(c.out, HasSubstr("problem: [FILE] TASKMAINTAIN = \"none.csv\": Task maintenance "
                               "file \"none.csv\" cannot be found.\n"));
}

TEST(CheckConfigurationTest, MappingProblemsThatWouldEndTheProgramAreReported) {
  StartupFolder f;
  f.WriteFiles();
  // An invalid category (start-up asks), a row without sine and two identical agent rows.
  f.dir.Write("tasks.csv", std::string(kTaskHeader) + "AB12,40,X,MAP1.CSV,N,,,\r\n");
  f.dir.Write("MAP1.CSV", std::string(kMappingHeader) +
                              "JANE SHAW,,,,,,AB12,50,,SINE\r\n"
                              "ALI KHAN,AK,,,,,AB12,51,,SINE\r\n"
                              "ALI KHAN,AK,,,,,AB12,51,,SINE\r\n");
  f.WriteSettings();
  const Checked c = Check(f);
  EXPECT_EQ(c.code, 1);
  EXPECT_THAT(c.out, HasSubstr("problem: Task Maintenance file contains invalid values for "
                               "category.\n  Would you like to continue?\n"));
  EXPECT_THAT(c.out, HasSubstr("problem: Ambervale has found missing values in Mapping file(s)."));
  EXPECT_THAT(c.out,
              HasSubstr("problem: Duplicated mapping entries are found in mapping file(s)."));
  EXPECT_THAT(c.out, HasSubstr("3 problems found.\n"));
  EXPECT_EQ(f.env.end_count(), 0);
}

TEST(CheckConfigurationTest, ThePccQuestionAndAnOddTauPeriodAreNoProblems) {
  StartupFolder f;
  f.WriteFiles();
  f.dir.Write("tasks.csv",
              std::string(kTaskHeader) + "AB12,40,,MAP1.CSV,N,,,\r\nCD34,41,,MAP1.CSV,N,,,\r\n");
  f.WriteSettings({{"Others/PCCCheck", "Y"}, {"TAU/DATE", "-5"}});
  const Checked c = Check(f);
  EXPECT_EQ(c.code, 0) << c.out;
  EXPECT_THAT(c.out, HasSubstr("warning: [TAU] DATE = \"-5\": a negative number of days"));
  f.WriteSettings({{"TAU/DATE", "3 days"}});
  const Checked words = Check(f);
  EXPECT_EQ(words.code, 0) << words.out;
  EXPECT_THAT(words.out, HasSubstr("warning: [TAU] DATE = \"3 days\": not a number of days; "
                                   "ticketing dates are checked as if it were 0\n"));
  EXPECT_THAT(c.out,
              HasSubstr("note: start-up will ask whether to go on:\n  Ambervale has found "
                        "PCC(s) entered in Task Maintenance/Mapping files to be different."));
  EXPECT_THAT(c.out, HasSubstr("  1) tasks.csv"));
  EXPECT_FALSE(f.dir.Exists("tempPCCCheck.log"));
}

TEST(CheckConfigurationTest, FailQueueFindings) {
  const struct {
    const char* name;
    SettingsOverrides settings;
    std::vector<std::string> parts;
    int problems;
  } kCases[] = {
      {"conflict and no alert address",
       {{"FailQueue/FailQueueActivated", "Y"}, {"FailQueue/FailQueueNo", "40"}},
       {"problem: Queue 40 already assigned as a Fail Queue",
        "problem: [FailQueue] EmailAlert1 = \"\": Email Alert1 not found in Settings.ini file."},
       2},
      {"invalid number",
       {{"FailQueue/FailQueueActivated", "Y"},
        {"FailQueue/FailQueueNo", "100"},
        {"FailQueue/EmailAlert1", "fq@agency.example"}},
       {"problem: [FailQueue] FailQueueNo = \"100\", FailQueueCategoryNo = \"\": Value defined "
        "for Fail Queue is invalid."},
       1},
      {"inactive fail queue is not checked",
       {{"FailQueue/FailQueueNo", "100"}},
       {"The configuration is usable."},
       0},
  };
  for (const auto& k : kCases) {
    StartupFolder f;
    f.WriteFiles();
    f.WriteSettings(k.settings);
    const Checked c = Check(f);
    EXPECT_EQ(c.code, k.problems == 0 ? 0 : 1) << k.name;
    for (const std::string& part : k.parts) EXPECT_THAT(c.out, HasSubstr(part)) << k.name;
    EXPECT_EQ(Count(c.out, "problem: "), k.problems) << k.name << "\n" << c.out;
  }
}

TEST(CheckConfigurationTest, UnticketedModeNeedsNoMappingFiles) {
  StartupFolder f;
  f.WriteFiles();
  f.dir.Write("tasks.csv", std::string(kTaskHeader) + "AB12,,,NOMAP.CSV,,,ALL,3\r\n");
  f.WriteSettings({{"MOVEMODE/PNRMODE", "UTK"}, {"FailQueue/FailQueueActivated", "Y"}});
  const Checked c = Check(f);
  EXPECT_EQ(c.code, 0) << c.out;
  EXPECT_THAT(c.out, Not(HasSubstr("problem")));
}

}  // namespace
}  // namespace ambervale
