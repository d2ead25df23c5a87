// `ambervale --check` on the demo agency with one thing broken at a time: the program prints
// the problem (naming the file, line or value where it can) and exits 1; the program's logs
// are left alone. The demo itself checks clean.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "tests/e2e/program_folder.h"

namespace ambervale::e2e {
namespace {

using ::testing::HasSubstr;

// Replaces the first `from` in the folder's file `name` by `to`.
void Replace(const ProgramFolder& folder, const std::string& name, const std::string& from,
             const std::string& to) {
  std::string text = folder.Read(name);
  const size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from << " not in " << name;
  folder.Write(name, text.replace(at, from.size(), to));
}

TEST(ConfigCheckE2eTest, TheDemoIsUsable) {
  ProgramFolder folder;
  folder.CopyDemo();
  const RunResult result = folder.RunAmbervale({"--check"});
  EXPECT_EQ(result.code, 0) << result.out << result.err;
  EXPECT_EQ(result.out,
            "Checking " + folder.File("settings.ini") + "\nThe configuration is usable.\n");
  EXPECT_FALSE(folder.Exists("logs"));
}

TEST(ConfigCheckE2eTest, EachBrokenConfigurationIsReported) {
  using Mutation = std::function<void(const ProgramFolder&)>;
  const auto setting = [](std::string section, std::string key, std::string value) -> Mutation {
    return [=](const ProgramFolder& f) { f.SetSetting(section, key, value); };
  };
  const struct {
    const char* name;
    Mutation mutate;
    std::vector<std::string> printed;
    int problems = 1;
  } kCases[] = {
      {"missing settings.ini",
       [](const ProgramFolder& f) { f.Remove("settings.ini"); },
       {"problem: Settings.ini cannot be found.",
        "  It must be located in the same path as Ambervale."}},
      {"log size with a unit",
       setting("LOG", "LOGFILESIZE", "10MB"),
       {"problem: [LOG] LOGFILESIZE = \"10MB\": Error Reading Max log file size from "
        "Settings.ini"}},
      {"counter not a number",
       setting("TIMER", "COUNTER", "sixty"),
       {"Error Reading Counter from Settings.ini"}},
      {"no user name", setting("USER", "NAME", ""), {"Error Reading User Name from Settings.ini"}},
      {"no agent id", setting("AGENT", "ID", ""), {"Error Reading Agent ID from Settings.ini"}},
      {"no TAU period",
       setting("TAU", "DATE", ""),
       {"Error Reading TAU Period time from settings.ini."}},
      {"missing task file",
       setting("FILE", "TASKMAINTAIN", "nothere.csv"),
       {"Task maintenance file \"nothere.csv\" cannot be found."}},
      {"bad task row",
       [](const ProgramFolder& f) { Replace(f, "TaskMaintenance.csv", "LON1,40,", "LON1,4x,"); },
       {"problem: Errors are found in task maintenance.",
        "TaskMaintenance.csv line 2, column \"FROM QUEUE NO\": \"4x\" is not a number"}},
      {"repeated task row",
       [](const ProgramFolder& f) {
         Replace(f, "TaskMaintenance.csv", "LON1,41,C5,CORPORATE.CSV", "LON1,40,,SALES_LON.CSV");
       },
       // The check goes on and finds the repeated mapping file's rows twice for the queue.
       {"problem: Repeated values in Task Maintenance file.",
        "TaskMaintenance.csv line 3 repeats line 2"},
       2},
      {"missing mapping file",
       [](const ProgramFolder& f) { f.Remove("GROUPS.CSV"); },
       {"problem: Errors are found in mapping file(s).",
        "Mapping file GROUPS.CSV (named on TaskMaintenance.csv line 5) was not found"}},
      {"missing mapping column",
       [](const ProgramFolder& f) { Replace(f, "GROUPS.CSV", ",DI.X,", ",DIX,"); },
       {"problem: Errors are found in mapping file(s).",
        "GROUPS.CSV line 1: the header row has no column \"DI.X\""}},
      {"duplicated mapping entry",
       [](const ProgramFolder& f) {
         f.Write("SALES_LON.CSV", f.Read("SALES_LON.CSV") + "JANE SHAW,JS,,,,,LON1,50,,SINE\r\n");
       },
       {"problem: Duplicated mapping entries are found in mapping file(s)."}},
      {"Fail Queue is an agent's queue",
       setting("FailQueue", "FailQueueNo", "50"),
       {"problem: Queue 50 already assigned as a Fail Queue and cannot be used in Task "
        "Maintenance and Mapping file.",
        "1) SALES_LON.CSV", "2) MAN_SALES.CSV", "3) LEISURE.CSV"}},
      {"Fail Queue is a source queue",
       setting("FailQueue", "FailQueueNo", "40"),
       {"problem: Queue 40 already assigned as a Fail Queue", "1)TaskMaintenance.csv"}},
      {"Fail Queue number out of range",
       setting("FailQueue", "FailQueueNo", "25"),
       {"Value defined for Fail Queue is invalid."}},
      {"Fail Queue category in lower case",
       setting("FailQueue", "FailQueueCategoryNo", "c1"),
       {"Value defined for Fail Queue Category is invalid."}},
      {"no Fail Queue alert address",
       setting("FailQueue", "EmailAlert1", ""),
       {"Email Alert1 not found in Settings.ini file."}},
      {"no host connection",
       setting("Terminal", "Connection", ""),
       {"problem: [Terminal] Connection is missing in settings.ini"}},
      {"bad host time-out",
       setting("Terminal", "TimeoutSeconds", "0"),
       {"problem: [Terminal] TimeoutSeconds \"0\" is not a number of seconds from 1 to 3600"}},
      {"host scenario missing",
       [](const ProgramFolder& f) { f.Remove("host.json"); },
       {"problem: [Terminal] Connection: the scenario file", "host.json\" was not found"}},
  };
  for (const auto& c : kCases) {
    ProgramFolder folder;
    folder.CopyDemo();
    c.mutate(folder);
    const RunResult result = folder.RunAmbervale({"--check"});
    EXPECT_EQ(result.code, 1) << c.name << "\n" << result.out << result.err;
    for (const std::string& text : c.printed) {
      EXPECT_THAT(result.out, HasSubstr(text)) << c.name;
    }
    const std::string summary =
        c.problems == 1 ? "1 problem found." : std::to_string(c.problems) + " problems found.";
    EXPECT_THAT(result.out, HasSubstr(summary)) << c.name;
    EXPECT_FALSE(folder.Exists("logs/debug_log_1.txt")) << c.name;
  }
}

TEST(ConfigCheckE2eTest, EveryProblemIsReportedInOneCheck) {
  ProgramFolder folder;
  folder.CopyDemo();
  folder.SetSetting("TIMER", "COUNTER", "sixty");
  folder.SetSetting("AGENT", "ID", "");
  folder.Remove("LEISURE.CSV");
  const RunResult result = folder.RunAmbervale({"--check"});
  EXPECT_EQ(result.code, 1);
  EXPECT_THAT(result.out, HasSubstr("Error Reading Counter from Settings.ini"));
  EXPECT_THAT(result.out, HasSubstr("Error Reading Agent ID from Settings.ini"));
  EXPECT_THAT(result.out, HasSubstr("Mapping file LEISURE.CSV"));
  EXPECT_THAT(result.out, HasSubstr("3 problems found."));
}

}  // namespace
}  // namespace ambervale::e2e
