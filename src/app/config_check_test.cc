#include "app/config_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "platform/files.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

using ::testing::HasSubstr;

// The check's findings that only start-up's questions and warnings give (each plain settings,
// task file, Fail Queue and terminal problem is in the end-to-end start-up transcript). Each
// case: settings, files written over the start-up files, the texts expected in the report, its
// count of problems among them, and the exit code.
TEST(CheckConfigurationTest, ReportsEveryProblemAndGoesOn) {
  const struct {
    const char* name;
    SettingsOverrides settings;
    std::map<std::string, std::string> files;
    std::vector<std::string> parts;
    int code;
  } kCases[] = {
      // An invalid category: start-up asks; the check counts it and goes on to the mapping file.
      {"a question that would end the program",
       {},
       {{"tasks.csv", TasksCsv({"ABC1,40,X,MAP1.CSV,N,,,"})},
        {"MAP1.CSV",
         MappingCsv({"ALI KHAN,AK,,,,,ABC1,51,,SINE", "ALI KHAN,AK,,,,,ABC1,51,,SINE"})}},
       {"problem: Task Maintenance file contains invalid values for category.\n  Would you like "
        "to continue?\n",
        "problem: Duplicated mapping entries are found in mapping file(s).", "2 problems found.\n"},
       1},
      {"the PCC question and an odd TAU period are no problems",
       {{"Others/PCCCheck", "Y"}, {"TAU/DATE", "-5"}},
       {{"tasks.csv", TasksCsv({"ABC1,40,,MAP1.CSV,N,,,", "DEF3,41,,MAP1.CSV,N,,,"})}},
       {"note: start-up will ask whether to go on:\n  Ambervale has found PCC(s) entered in Task "
        "Maintenance/Mapping files to be different.",
        "  1) tasks.csv", "warning: [TAU] DATE = \"-5\": a negative number of days",
        "The configuration is usable."},
       0},
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
    std::ostringstream out;
    EXPECT_EQ(CheckConfiguration(f.env, out), k.code) << k.name;
    for (const std::string& part : k.parts) EXPECT_THAT(out.str(), HasSubstr(part)) << k.name;
    // A check writes nothing: no logs, no lock, no report file.
    EXPECT_FALSE(FolderExists(f.dir.File("logs")) || f.dir.Exists(".ambervale.lock") ||
                 f.dir.Exists("tempPCCCheck.log"))
        << k.name;
  }
}

}  // namespace
}  // namespace ambervale::testing
