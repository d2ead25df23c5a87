// The demo agency with one thing broken at a time, run for real twice: `ambervale --check`
// prints the problems (naming the file, line or value where it can) and exits 1, leaving the
// logs alone; `ambervale --headless` stops at start-up: the stop's box on the console
// (stderr), its debug-log and run-log lines (read back with ambervale-logcat), the run-log
// line kept off the screen, exit 1 before any host entry.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <vector>

#include "tests/e2e/program_folder.h"

namespace ambervale::e2e {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using Change = std::function<void(const ProgramFolder&)>;

Change Setting(std::string section, std::string key, std::string value) {
  return [=](const ProgramFolder& f) { f.SetSetting(section, key, value); };
}

// Replaces the first `from` in the folder's file `name` by `to`.
Change Replace(std::string name, std::string from, std::string to) {
  return [=](const ProgramFolder& f) {
    std::string text = f.Read(name);
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from << " not in " << name;
    f.Write(name, text.replace(at, from.size(), to));
  };
}

Change Remove(std::string name) {
  return [=](const ProgramFolder& f) { f.Remove(name); };
}

const Change kDuplicatedMapping = [](const ProgramFolder& f) {
  f.Write("SALES_LON.CSV", f.Read("SALES_LON.CSV") + "JANE SHAW,JS,,,,,LON1,50,,SINE\r\n");
};

// The console's rendering of a box: its title line, then each line of the text indented.
std::string Box(bool critical, const std::vector<std::string>& lines) {
  std::string out = critical ? "[box] Ambervale (critical)\n" : "[box] Ambervale\n";
  for (const std::string& line : lines) out += "  " + line + "\n";
  return out;
}

std::string Escaped(const std::string& text) {
  return std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

struct Stop {
  bool critical = false;
  std::vector<std::string> box;  // the first lines of the box; empty: not run
  std::string debug;             // the debug-log detail; empty: no log lines at all
  std::string run_log;           // the run-log summary
  bool debug_closed = true;      // the debug line ends with " #####"
};

struct Case {
  const char* name;
  Change change;
  std::vector<std::string> check;  // what --check prints
  Stop stop = {};
  int problems = 1;
};

void ExpectCheck(const Case& c, const ProgramFolder& folder) {
  const RunResult result = folder.RunAmbervale({"--check"});
  EXPECT_EQ(result.code, 1) << result.out << result.err;
  for (const std::string& text : c.check) EXPECT_THAT(result.out, HasSubstr(text));
  EXPECT_THAT(result.out,
              HasSubstr(c.problems == 1 ? "1 problem found."
                                        : std::to_string(c.problems) + " problems found."));
  EXPECT_FALSE(folder.Exists("logs/debug_log_1.txt"));
}

void ExpectStop(const Stop& s, const ProgramFolder& folder) {
  const RunResult result = folder.RunAmbervale({"--headless"});
  EXPECT_EQ(result.code, 1);
  EXPECT_THAT(result.err, StartsWith(Box(s.critical, s.box)));
  const std::string debug_log = folder.Log("debug_log_1.txt");
  if (s.debug.empty()) {
    EXPECT_TRUE(folder.LogNames().empty());
    return;
  }
  const std::regex debug_line("(^|\n)##### \\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d" +
                              Escaped(s.debug) + (s.debug_closed ? " #####" : "") + "\r\n");
  EXPECT_TRUE(std::regex_search(debug_log, debug_line)) << debug_log;
  const std::regex run_line("(^|\n)\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d - " +
                            Escaped(s.run_log) + "\r?\n");
  const std::string run_log = folder.RunLog();
  EXPECT_TRUE(std::regex_search(run_log, run_line)) << run_log;
  EXPECT_THAT(result.out, Not(HasSubstr(s.run_log)));
  EXPECT_THAT(debug_log, Not(HasSubstr("TE REQUEST")));  // nothing reached the host
}

// The table: one broken thing a row, what --check prints and, where given, the stop.
const std::vector<Case>& Cases() {
  static const std::vector<Case> kCases = {
      {"log size with a unit",
       Setting("LOG", "LOGFILESIZE", "10MB"),
       {"problem: [LOG] LOGFILESIZE = \"10MB\": Error Reading Max log file size from "
        "Settings.ini"},
       {false, {"Error Reading Max log file size from Settings.ini"}, "", ""}},
      {"counter not a number",
       Setting("TIMER", "COUNTER", "sixty"),
       {"Error Reading Counter from Settings.ini"},
       {false,
        {"Error Reading Counter from Settings.ini"},
        ". Error Reading Counter from Settings.ini",
        "Error Reading Counter from Settings.ini"}},
      {"no user name",
       Setting("USER", "NAME", ""),
       {"Error Reading User Name from Settings.ini"},
       {false,
        {"Error Reading User Name from Settings.ini"},
        ". Error Reading User Name from Settings.ini",
        "Error Reading User Name from Settings.ini"}},
      {"no agent id",
       Setting("AGENT", "ID", ""),
       {"Error Reading Agent ID from Settings.ini"},
       {false,
        {"Error Reading Agent ID from Settings.ini"},
        ". Error Reading Agent ID from Settings.ini",
        "Error Reading Agent ID from Settings.ini"}},
      {"no TAU period",
       Setting("TAU", "DATE", ""),
       {"Error Reading TAU Period time from settings.ini."},
       {false,
        {" Error Reading TAU Period time from settings.ini."},
        ". Error reading TAU time period from Settings.ini",
        "Error Reading TAU Period time from settings.ini."}},
      {"missing task file",
       Setting("FILE", "TASKMAINTAIN", "nothere.csv"),
       {"Task maintenance file \"nothere.csv\" cannot be found."},
       {true,
        {"Task maintenance file \"nothere.csv\" cannot be found.",
         "Please check settings.ini and location of the task maintenance file."},
        ". Task maintenance file \"nothere.csv\" cannot be found. Please check settings.ini and "
        "location of the task maintenance file.",
        "Please check settings.ini and location of the task maintenance file.",
        false}},
      {"bad task row",
       Replace("TaskMaintenance.csv", "LON1,40,", "LON1,4x,"),
       {"problem: Errors are found in task maintenance.",
        "TaskMaintenance.csv line 2, column \"FROM QUEUE NO\": \"4x\" is not a number"},
       {true,
        {"Errors are found in task maintenance.", "Please check or contact administrator.", "",
         "TaskMaintenance.csv line 2, column \"FROM QUEUE NO\": \"4x\" is not a number"},
        ". Errors are found in task maintenance. Please check or contact administrator.",
        "Errors are found in task maintenance."}},
      // The check goes on and finds the repeated mapping file's rows twice for the queue.
      {"repeated task row",
       Replace("TaskMaintenance.csv", "LON1,41,C5,CORPORATE.CSV", "LON1,40,,SALES_LON.CSV"),
       {"problem: Repeated values in Task Maintenance file.",
        "TaskMaintenance.csv line 3 repeats line 2"},
       {true,
        {"Repeated values in Task Maintenance file.",
         "Please correct the Task Maintenance file to continue."},
        ". Repeated values in Task Maintenance file. Please correct the Task Maintenance file "
        "to continue.",
        "Repeated values in Task Maintenance file. Please correct the Task Maintenance file to "
        "continue."},
       2},
      {"missing mapping file",
       Remove("GROUPS.CSV"),
       {"problem: Errors are found in mapping file(s).",
        "Mapping file GROUPS.CSV (named on TaskMaintenance.csv line 5) was not found"},
       {true,
        {"Errors are found in mapping file(s).", "Please check or contact administrator."},
        ". Errors are found in mapping file(s). Please check or contact administrator.",
        "Errors are found in mapping file(s)."}},
      {"duplicated mapping entry",
       kDuplicatedMapping,
       {"problem: Duplicated mapping entries are found in mapping file(s)."},
       {true,
        {"Duplicated mapping entries are found in mapping file(s).",
         "Please check or contact administrator."},
        ". Errors are found in mapping file(s). Please check or contact administrator. "
        "Duplicated mapping entries are found towards pseudo LON1 source queue 40.",
        "Duplicated mapping entries are found in mapping file(s)."}},
      {"no Fail Queue alert address",
       Setting("FailQueue", "EmailAlert1", ""),
       {"Email Alert1 not found in Settings.ini file."},
       {true,
        {"Email Alert1 not found in Settings.ini file.",
         "Please specify a valid email id to proceed."},
        ". Email Alert1 not found in Settings.ini file. Please specify a valid email id to "
        "proceed.",
        "Email Alert1 not found in Settings.ini file."}},
      {"Fail Queue number out of range",
       Setting("FailQueue", "FailQueueNo", "25"),
       {"Value defined for Fail Queue is invalid."},
       {true,
        {"Value defined for Fail Queue is invalid.",
         "Please define a valid value for Fail Queue in Settings.ini file to continue."},
        ". Fail Queue number not found in Settings.ini file",
        "Value not defined for Fail Queue."}},
      {"missing mapping column",
       Replace("GROUPS.CSV", ",DI.X,", ",DIX,"),
       {"problem: Errors are found in mapping file(s).",
        "GROUPS.CSV line 1: the header row has no column \"DI.X\""}},
      {"Fail Queue is an agent's queue",
       Setting("FailQueue", "FailQueueNo", "50"),
       {"problem: Queue 50 already assigned as a Fail Queue and cannot be used in Task "
        "Maintenance and Mapping file.",
        "1) SALES_LON.CSV", "2) MAN_SALES.CSV", "3) LEISURE.CSV"}},
      {"Fail Queue is a source queue",
       Setting("FailQueue", "FailQueueNo", "40"),
       {"problem: Queue 40 already assigned as a Fail Queue", "1)TaskMaintenance.csv"}},
      {"Fail Queue category in lower case",
       Setting("FailQueue", "FailQueueCategoryNo", "c1"),
       {"Value defined for Fail Queue Category is invalid."}},
      {"no host connection",
       Setting("Terminal", "Connection", ""),
       {"problem: [Terminal] Connection is missing in settings.ini"}},
      {"bad host time-out",
       Setting("Terminal", "TimeoutSeconds", "0"),
       {"problem: [Terminal] TimeoutSeconds \"0\" is not a number of seconds from 1 to 3600"}},
      {"host scenario missing",
       Remove("host.json"),
       {"problem: [Terminal] Connection: the scenario file", "host.json\" was not found"}},
      {"three problems at once",
       [](const ProgramFolder& f) {
         f.SetSetting("TIMER", "COUNTER", "sixty");
         f.SetSetting("AGENT", "ID", "");
         f.Remove("LEISURE.CSV");
       },
       {"Error Reading Counter from Settings.ini", "Error Reading Agent ID from Settings.ini",
        "Mapping file LEISURE.CSV"},
       {},
       3},
  };
  return kCases;
}

// A folder with the demo and the row's change.
void Broken(const Case& c, ProgramFolder& folder) {
  folder.CopyDemo();
  c.change(folder);
}

TEST(StartupE2eTest, EachBrokenConfigurationIsChecked) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    ProgramFolder folder;
    Broken(c, folder);
    ExpectCheck(c, folder);
  }
}

TEST(StartupE2eTest, EachBrokenConfigurationStopsTheStart) {
  for (const Case& c : Cases()) {
    if (c.stop.box.empty()) continue;
    SCOPED_TRACE(c.name);
    ProgramFolder folder;
    Broken(c, folder);
    ExpectStop(c.stop, folder);
  }
}

TEST(StartupE2eTest, TheDemoChecksCleanAndMissingSettingsStopsWithAPlainBox) {
  ProgramFolder folder;
  folder.CopyDemo();
  RunResult result = folder.RunAmbervale({"--check"});
  EXPECT_EQ(result.code, 0) << result.out << result.err;
  EXPECT_EQ(result.out,
            "Checking " + folder.File("settings.ini") + "\nThe configuration is usable.\n");
  folder.Remove("settings.ini");
  result = folder.RunAmbervale({"--check"});
  EXPECT_EQ(result.code, 1);
  EXPECT_THAT(result.out, HasSubstr("problem: Settings.ini cannot be found.\n"
                                    "  It must be located in the same path as Ambervale."));
  result = folder.RunAmbervale({"--headless"});
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.err, Box(false, {"Settings.ini cannot be found.",
                                    "It must be located in the same path as Ambervale.",
                                    "Please check or contact administrator."}));
  EXPECT_FALSE(folder.Exists("logs"));
}

}  // namespace
}  // namespace ambervale::e2e
