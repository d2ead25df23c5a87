// Every start-up stop run for real: `ambervale --headless` on the demo agency with one thing
// broken shows the stop's box on the console (stderr), writes the stop's debug-log line and
// run-log line (read back with ambervale-logcat), keeps the run-log line off the screen, and
// exits 1 at once, before any host entry.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "tests/e2e/program_folder.h"

namespace ambervale::e2e {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

void Replace(const ProgramFolder& folder, const std::string& name, const std::string& from,
             const std::string& to) {
  std::string text = folder.Read(name);
  const size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from << " not in " << name;
  folder.Write(name, text.replace(at, from.size(), to));
}

// The console's rendering of a box: its title line, then each line of the text indented.
std::string Box(bool critical, const std::vector<std::string>& lines) {
  std::string out = critical ? "[box] Ambervale (critical)\n" : "[box] Ambervale\n";
  for (const std::string& line : lines) out += "  " + line + "\n";
  return out;
}

std::string Escaped(const std::string& text) {
  return std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

TEST(StartupStopE2eTest, EachStopShowsItsBoxAndWritesItsLogLines) {
  using Mutation = std::function<void(const ProgramFolder&)>;
  const auto setting = [](std::string section, std::string key, std::string value) -> Mutation {
    return [=](const ProgramFolder& f) { f.SetSetting(section, key, value); };
  };
  const struct {
    const char* name;
    Mutation mutate;
    bool critical;
    std::vector<std::string> box;  // the first lines of the box
    std::string debug;             // the debug-log detail; empty: no log lines at all
    std::string run_log;           // the run-log summary
    bool debug_closed = true;      // the debug line ends with " #####"
  } kCases[] = {
      {"S1",
       setting("LOG", "LOGFILESIZE", "10MB"),
       false,
       {"Error Reading Max log file size from Settings.ini"},
       "",
       ""},
      {"S2",
       setting("TIMER", "COUNTER", "sixty"),
       false,
       {"Error Reading Counter from Settings.ini"},
       ". Error Reading Counter from Settings.ini",
       "Error Reading Counter from Settings.ini"},
      {"S3",
       setting("USER", "NAME", ""),
       false,
       {"Error Reading User Name from Settings.ini"},
       ". Error Reading User Name from Settings.ini",
       "Error Reading User Name from Settings.ini"},
      {"S4",
       setting("AGENT", "ID", ""),
       false,
       {"Error Reading Agent ID from Settings.ini"},
       ". Error Reading Agent ID from Settings.ini",
       "Error Reading Agent ID from Settings.ini"},
      {"S5",
       setting("TAU", "DATE", ""),
       false,
       {" Error Reading TAU Period time from settings.ini."},
       ". Error reading TAU time period from Settings.ini",
       "Error Reading TAU Period time from settings.ini."},
      {"S6",
       setting("FILE", "TASKMAINTAIN", "nothere.csv"),
       true,
       {"Task maintenance file \"nothere.csv\" cannot be found.",
        "Please check settings.ini and location of the task maintenance file."},
       ". Task maintenance file \"nothere.csv\" cannot be found. Please check settings.ini and "
       "location of the task maintenance file.",
       "Please check settings.ini and location of the task maintenance file.",
       false},
      {"S7",
       [](const ProgramFolder& f) { Replace(f, "TaskMaintenance.csv", "LON1,40,", "LON1,4x,"); },
       true,
       {"Errors are found in task maintenance.", "Please check or contact administrator.", "",
        "TaskMaintenance.csv line 2, column \"FROM QUEUE NO\": \"4x\" is not a number"},
       ". Errors are found in task maintenance. Please check or contact administrator.",
       "Errors are found in task maintenance."},
      {"S8",
       [](const ProgramFolder& f) {
         Replace(f, "TaskMaintenance.csv", "LON1,41,C5,CORPORATE.CSV", "LON1,40,,SALES_LON.CSV");
       },
       true,
       {"Repeated values in Task Maintenance file.",
        "Please correct the Task Maintenance file to continue."},
       ". Repeated values in Task Maintenance file. Please correct the Task Maintenance file to "
       "continue.",
       "Repeated values in Task Maintenance file. Please correct the Task Maintenance file to "
       "continue."},
      {"S9",
       [](const ProgramFolder& f) { f.Remove("GROUPS.CSV"); },
       true,
       {"Errors are found in mapping file(s).", "Please check or contact administrator."},
       ". Errors are found in mapping file(s). Please check or contact administrator.",
       "Errors are found in mapping file(s)."},
      {"S10",
       [](const ProgramFolder& f) {
         f.Write("SALES_LON.CSV", f.Read("SALES_LON.CSV") + "JANE SHAW,JS,,,,,LON1,50,,SINE\r\n");
       },
       true,
       {"Duplicated mapping entries are found in mapping file(s).",
        "Please check or contact administrator."},
       ". Errors are found in mapping file(s). Please check or contact administrator. "
       "Duplicated mapping entries are found towards pseudo LON1 source queue 40.",
       "Duplicated mapping entries are found in mapping file(s)."},
      {"S11",
       setting("FailQueue", "EmailAlert1", ""),
       true,
       {"Email Alert1 not found in Settings.ini file.",
        "Please specify a valid email id to proceed."},
       ". Email Alert1 not found in Settings.ini file. Please specify a valid email id to "
       "proceed.",
       "Email Alert1 not found in Settings.ini file."},
      {"Fail Queue number",
       setting("FailQueue", "FailQueueNo", "25"),
       true,
       {"Value defined for Fail Queue is invalid.",
        "Please define a valid value for Fail Queue in Settings.ini file to continue."},
       ". Fail Queue number not found in Settings.ini file",
       "Value not defined for Fail Queue."},
  };
  for (const auto& c : kCases) {
    ProgramFolder folder;
    folder.CopyDemo();
    c.mutate(folder);
    const RunResult result = folder.RunAmbervale({"--headless"});
    EXPECT_EQ(result.code, 1) << c.name;
    EXPECT_THAT(result.err, StartsWith(Box(c.critical, c.box))) << c.name;
    const std::string debug_log = folder.Log("debug_log_1.txt");
    if (c.debug.empty()) {
      EXPECT_TRUE(folder.LogNames().empty()) << c.name;
      continue;
    }
    const std::regex debug_line("(^|\n)##### \\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d" +
                                Escaped(c.debug) + (c.debug_closed ? " #####" : "") + "\r\n");
    EXPECT_TRUE(std::regex_search(debug_log, debug_line)) << c.name << "\n" << debug_log;
    const std::regex run_line("(^|\n)\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d - " +
                              Escaped(c.run_log) + "\r?\n");
    const std::string run_log = folder.RunLog();
    EXPECT_TRUE(std::regex_search(run_log, run_line)) << c.name << "\n" << run_log;
    EXPECT_THAT(result.out, Not(HasSubstr(c.run_log))) << c.name;
    // Nothing reached the host: no entry in the debug log.
    EXPECT_THAT(debug_log, Not(HasSubstr("TE REQUEST"))) << c.name;
  }
}

TEST(StartupStopE2eTest, MissingSettingsShowsAPlainBoxAndWritesNothing) {
  ProgramFolder folder;
  folder.CopyDemo();
  folder.Remove("settings.ini");
  const RunResult result = folder.RunAmbervale({"--headless"});
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.err, Box(false, {"Settings.ini cannot be found.",
                                    "It must be located in the same path as Ambervale.",
                                    "Please check or contact administrator."}));
  EXPECT_FALSE(folder.Exists("logs"));
}

}  // namespace
}  // namespace ambervale::e2e
