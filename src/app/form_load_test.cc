#include "app/form_load.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "platform/classic_text.h"
#include "platform/files.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr char kCrLfText[] = "\r\n";
// The debug-log stamp of every line written on the fake clock before it moves.
constexpr char kStamp[] = "##### 2026/12/06 10:00:00";

struct StopCase {
  const char* name;
  SettingsOverrides settings;
  // Files written over the defaults (name -> content).
  std::map<std::string, std::string> files;
  std::string box;  // exact box text
  BoxIcon icon;
  std::string debug_line;  // a whole debug-log line, empty: none expected
  std::string run_log;     // a run-log message, empty: none expected
};

std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string out;
  for (std::string_view l : lines) out += (out.empty() ? "" : kCrLfText) + std::string(l);
  return out;
}

// The debug-log line of a stop that writes its box text: ". <text> #####".
std::string Debug(const std::string& text) { return ". " + text + " #####"; }

std::vector<StopCase> StopCases() {
  const BoxIcon none = BoxIcon::kNone;
  const BoxIcon critical = BoxIcon::kCritical;
  const std::string counter = "Error Reading Counter from Settings.ini";
  const std::string user = "Error Reading User Name from Settings.ini";
  const std::string agent = "Error Reading Agent ID from Settings.ini";
  const std::string check = "Please check or contact administrator.";
  const std::string tasks = "Errors are found in task maintenance.";
  const std::string s8 = "Repeated values in Task Maintenance file.";
  const std::string s8b = "Please correct the Task Maintenance file to continue.";
  const std::string maps = "Errors are found in mapping file(s).";
  const std::string dups = "Duplicated mapping entries are found in mapping file(s).";
  const std::string alert = "Email Alert1 not found in Settings.ini file.";
  const std::string alert_b = "Please specify a valid email id to proceed.";
  const std::string fq_missing = Debug("Fail Queue number not found in Settings.ini file");
  const std::string fq_none = "Value not defined for Fail Queue.";
  const std::string both = "Fail Queue/Fail Queue Category";
  const std::string category_run =
      "Valid Fail Queue Category number not found in Settings.ini file.";
  const std::string row = "ABC1,40,,MAP1.CSV,N,,,";
  const std::string s6 = "Please check settings.ini and location of the task maintenance file.";
  const std::string s6a = "Task maintenance file \"nowhere.csv\" cannot be found.";
  const std::string fq_is_source =
      "Queue 40 already assigned as a Fail Queue and cannot be used in Task Maintenance and "
      "Mapping file.\nPlease modify the following file(s) to continue\n\nFile Name" +
      std::string(25, ' ') + "Queue/Category Number\n1)tasks.csv" + std::string(22, ' ') + "40\n";
  const std::string jane = "JANE SHAW,JS,,,,,ABC1,50,,SINE";
  const std::string fq = "FailQueue/FailQueueActivated";
  // clang-format off
  return {
      {"S1 log size with a unit", {{"LOG/LOGFILESIZE", "10k"}}, {},
       "Error Reading Max log file size from Settings.ini", none, "", ""},
      {"S2 counter", {{"TIMER/COUNTER", "1m"}}, {}, counter, none, Debug(counter), counter},
      {"S2 counter out of range", {{"TIMER/COUNTER", "40000"}}, {}, counter, none, Debug(counter),
       counter},
      {"S3 user name", {{"USER/NAME", std::nullopt}}, {}, user, none, Debug(user), user},
      {"S4 agent id", {{"AGENT/ID", " "}}, {}, agent, none, Debug(agent), agent},
      {"S5 TAU date with the check off", {{"TAU/DATE", ""}}, {},
       " Error Reading TAU Period time from settings.ini.", none,
       Debug("Error reading TAU time period from Settings.ini"),
       "Error Reading TAU Period time from settings.ini."},
      {"S6 task file", {{"FILE/TASKMAINTAIN", " nowhere.csv "}}, {}, Lines({s6a, s6}), critical,
       ". " + s6a + " " + s6, s6},
      {"S7 task file errors", {}, {{"tasks.csv", TasksCsv({"ABC1,Q1,,MAP1.CSV,N,,,"})}},
       Lines({tasks, check}), critical, Debug(tasks + " " + check), tasks},
      {"S8 repeated tasks", {}, {{"tasks.csv", TasksCsv({row, row})}}, Lines({s8, s8b}),
       critical, Debug(s8 + " " + s8b), s8 + " " + s8b},
      {"S9 mapping file missing", {}, {{"tasks.csv", TasksCsv({"ABC1,40,,NOMAP.CSV,N,,,"})}},
       Lines({maps, check}), critical, Debug(maps + " " + check), maps},
      {"S10 duplicated mapping rows", {}, {{"MAP1.CSV", MappingCsv({jane, jane})}},
       Lines({dups, check}), critical, Debug(maps + " " + check +
       " Duplicated mapping entries are found towards pseudo ABC1 source queue 40."), dups},
      {"S11 email alert", {{fq, "y"}, {"FailQueue/FailQueueNo", "26"}}, {},
       Lines({alert, alert_b}), critical, Debug(alert + " " + alert_b), alert},
      {"fail queue number and category empty", {{fq, "Y"}}, {},
       Lines({"Value not defined for " + both + ".",
              "Please assign a value for " + both + " to proceed."}),
       critical, fq_missing, "Value not defined for " + both + "."},
      {"fail queue number empty", {{fq, "Y"}, {"FailQueue/FailQueueCategoryNo", "C1"}}, {},
       Lines({fq_none, "Please assign a value for Fail Queue to proceed."}), critical,
       fq_missing, fq_none},
      {"fail queue number 25", {{fq, "Y"}, {"FailQueue/FailQueueNo", "25"},
       {"FailQueue/EmailAlert1", "a@b.example"}}, {},
       Lines({"Value defined for Fail Queue is invalid.",
              "Please define a valid value for Fail Queue in Settings.ini file to continue."}),
       critical, fq_missing, fq_none},
      {"fail queue category c1", {{fq, "Y"}, {"FailQueue/FailQueueNo", "26"},
       {"FailQueue/FailQueueCategoryNo", "c1"}}, {},
       Lines({"Value defined for Fail Queue Category is invalid.",
              "Please define a valid value for Fail Queue Category in Settings.ini file to "
              "continue."}),
       critical, Debug("VALID Fail Queue Category number not found in Settings.ini file"),
       category_run},
      {"fail queue both invalid", {{fq, "Y"}, {"FailQueue/FailQueueNo", "AB"},
       {"FailQueue/FailQueueCategoryNo", "C1A"}}, {},
       Lines({"Value defined for " + both + " is invalid.",
              "Please define a valid value for " + both + " in Settings.ini file to continue."}),
       critical, fq_missing, category_run},
      {"fail queue is a source queue", {{fq, "Y"}, {"FailQueue/FailQueueNo", "40"},
       {"FailQueue/EmailAlert1", "a@b.example"}}, {}, fq_is_source, none, "",
       "Queue/Category already assigned as a Fail Queue and cannot be used"},
      {"sign-on refused", {{"AGENT/ID", "9999"}}, {}, "SIGN IN NOT SUCCESS",
       BoxIcon::kInformation, "", ""},
  };
  // clang-format on
}

TEST(FormLoadTest, EachStopShowsItsBoxWritesItsLinesAndEnds) {
  for (const StopCase& c : StopCases()) {
    SCOPED_TRACE(c.name);
    TestProgram f(false);
    f.WriteStartupFiles();
    for (const auto& [name, content] : c.files) f.dir.Write(name, content);
    f.WriteSettings(SettingsText(c.settings));
    EXPECT_EQ(f.Load(), kExitStartupStop);
    ASSERT_FALSE(f.window.boxes().empty());
    const RecordingWindow::Box& box = f.window.boxes().back();
    // A loader's problem follows the box text as a further paragraph.
    EXPECT_EQ(box.text.substr(0, c.box.size()), c.box);
    if (box.text.size() > c.box.size()) {
      EXPECT_EQ(box.text.substr(c.box.size(), 4), "\r\n\r\n") << box.text;
      EXPECT_THAT(f.Log("debug_log_1.txt"), HasSubstr(box.text.substr(c.box.size() + 4)));
    }
    EXPECT_EQ(box.buttons, BoxButtons::kOk);
    EXPECT_EQ(box.icon, c.icon);
    if (!c.debug_line.empty()) {
      EXPECT_THAT(kCrLfText + f.Log("debug_log_1.txt"),
                  HasSubstr(kCrLfText + std::string(kStamp) + c.debug_line));
    }
    if (!c.run_log.empty()) {
      EXPECT_THAT(f.RunLog(), HasSubstr(" - " + c.run_log + "\r\n"));
    }
    EXPECT_THAT(f.ListMessages(), Not(::testing::Contains("Loaded completed.")));
    EXPECT_FALSE(f.cycle->timer_enabled());
  }
}

TEST(FormLoadTest, StopsBeforeTheLogsAreUsableWriteNoLogLine) {
  TestProgram f(false);
  f.WriteStartupFiles();
  (void)DeleteFile(f.dir.File("settings.ini"));
  EXPECT_EQ(f.Load(), kExitStartupStop);
  ASSERT_EQ(f.window.boxes().size(), 1u);
  EXPECT_EQ(f.window.boxes()[0].text,
            "Settings.ini cannot be found.\r\nIt must be located in the same path as Ambervale."
            "\r\nPlease check or contact administrator.");
  EXPECT_EQ(f.window.boxes()[0].icon, BoxIcon::kNone);
  EXPECT_FALSE(FolderExists(f.dir.File("logs")));

  TestProgram g(false);
  g.WriteStartupFiles({{"LOG/LOGFILESIZE", "big"}});
  EXPECT_EQ(g.Load(), kExitStartupStop);
  EXPECT_TRUE(FolderExists(g.dir.File("logs")));
  EXPECT_TRUE(ListFolder(g.dir.File("logs")).empty());
}

TEST(FormLoadTest, StartsTheTimerAfterACleanStart) {
  TestProgram f(false);
  f.WriteStartupFiles({{"Others/SendEmailAfterEveryIteration", "N"}});
  EXPECT_EQ(f.Load(), std::nullopt);
  EXPECT_TRUE(f.window.boxes().empty());
  EXPECT_THAT(f.ListMessages(),
              ElementsAre("Loading Queue mapping files ......", "Loaded completed."));
  EXPECT_TRUE(f.cycle->timer_enabled());
  EXPECT_EQ(f.runs, 0);
  EXPECT_EQ(f.form.intTimerCounter, 60);
  EXPECT_EQ(f.logs.size_limit(), 1000000);
  EXPECT_EQ(f.window.caption(Control::kLbSuccessCount), "0");
  EXPECT_TRUE(f.window.bold(Control::kLbFailCount));
  EXPECT_EQ(f.form.dictAgentMapping.size(), 1u);

  // The run log tells the start in order.
  const std::string run_log = f.RunLog();
  size_t at = 0;
  for (const char* line : {"Application Started:", "Loading Queue mapping files ......",
                           "PCC Check in task maintenance/mapping file(s) is disabled",
                           "No PNR move EMAIL func is disabled",
                           "Fail Queue functionality is disaled", "Fail Queue ## Disabled -"}) {
    const size_t found = run_log.find(" - " + std::string(line) + "\r\n", at);
    ASSERT_NE(found, std::string::npos) << line << "\n" << run_log;
    at = found;
  }
  EXPECT_THAT(f.Log("action_log_1.txt"), HasSubstr(" - Loaded completed.\r\n"));
  // Not signed in: one sign-on and a second check, then QX+I.
  EXPECT_THAT(f.tap->entries(), ElementsAre("OP/W*", "SON/1234", "OP/W*", "QX+I"));
}

TEST(FormLoadTest, SignedInHostNeedsNoSignOn) {
  TestProgram f(false);
  f.WriteStartupFiles({{"Others/SendEmailAfterEveryIteration", "y"}});
  f.dir.Write("host.json", R"({"agent_ids": ["1234"], "signed_in": true, "pccs": {"ABC1": {}}})");
  EXPECT_EQ(f.Load(), std::nullopt);
  EXPECT_THAT(f.tap->entries(), ElementsAre("OP/W*", "QX+I"));
  EXPECT_THAT(f.RunLog(), HasSubstr(" - No PNR move EMAIL func is enabled\r\n"));
}

TEST(FormLoadTest, FailQueueSettingsSetTheFrameCaptionsAndTheRunLog) {
  const struct {
    const char* active;
    const char* category;
    const char* to;
    const char* from;
    const char* run_log;
  } kCases[] = {
      {"N", "", "Fail Queue Deactivated", "Fail Queue Deactivated", "Fail Queue 90 Disabled -"},
      {"N", "C9", "Fail Queue Deactivated", "Fail Queue Deactivated",
       "Fail Queue 90/C9 Disabled -"},
      {"Y", "", "To Fail Queue", "From Fail Queue", "Fail Queue functionality is enabled"},
      {"Y", "C1", "To Fail Queue Category", "From Fail Queue Category",
       "Fail Queue functionality is enabled"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.active) + " " + c.category);
    TestProgram f(false);
    f.WriteStartupFiles({{"FailQueue/FailQueueActivated", c.active},
                         {"FailQueue/FailQueueNo", "90"},
                         {"FailQueue/FailQueueCategoryNo", c.category},
                         {"FailQueue/EmailAlert1", "fq@agency.example"}});
    EXPECT_EQ(f.Load(), std::nullopt);
    EXPECT_EQ(f.window.caption(Control::kFrmToFail), c.to);
    EXPECT_EQ(f.window.caption(Control::kFrmFromFail), c.from);
    EXPECT_EQ(f.form.EmailAlert1, *c.active == 'Y' ? "fq@agency.example" : "");
    EXPECT_THAT(f.RunLog(), HasSubstr(" - " + std::string(c.run_log) + "\r\n"));
  }
}

// Changes the working directory for one test.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& folder) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~WorkingDirectory() { std::filesystem::current_path(old_); }

 private:
  std::filesystem::path old_;
};

// The task file is looked for in the working directory first, then beside the program.
TEST(FormLoadTest, TaskFileInTheWorkingDirectoryComesFirst) {
  for (const bool in_working_directory : {false, true}) {
    TestProgram f(false);
    f.WriteStartupFiles();
    TempDir elsewhere;
    if (in_working_directory) elsewhere.Write("tasks.csv", TasksCsv({"DEF3,41,,MAP1.CSV,N,,,"}));
    const WorkingDirectory cwd(elsewhere.path());
    EXPECT_EQ(f.Load(), std::nullopt);
    EXPECT_EQ(f.form.dictFmtoMapping.Find("DEF3#41") != nullptr, in_working_directory);
    EXPECT_EQ(f.form.dictFmtoMapping.Find("ABC1#40") != nullptr, !in_working_directory);
  }
}

TEST(FormLoadTest, UnticketedModeSkipsMappingsAndFailQueueAndRunsAtOnce) {
  TestProgram f(false);
  f.WriteStartupFiles();
  // No mapping file and a Fail Queue that would stop the distribution mode.
  f.dir.Write("tasks.csv", TasksCsv({"ABC1,,,NOMAP.CSV,,,ALL,3"}));
  f.WriteSettings(SettingsText({{"MOVEMODE/PNRMODE", "utk"},
                                {"FailQueue/FailQueueActivated", "Y"},
                                {"FailQueue/FailQueueNo", "AB"}}));
  EXPECT_EQ(f.Load(), std::nullopt);
  EXPECT_TRUE(f.window.boxes().empty());
  EXPECT_EQ(f.runs, 1);
  EXPECT_EQ(f.shown_at_first_run, 1);  // the progress and Cancel can be seen
  EXPECT_FALSE(f.form.FailQueueActivated);
  EXPECT_EQ(f.window.caption(Control::kFrmToFail), "");  // the design caption stays
  EXPECT_TRUE(f.form.dictAgentMapping.empty());
  EXPECT_THAT(f.RunLog(), Not(HasSubstr("Fail Queue")));
  EXPECT_EQ(f.dir.Read("logs/tempHeader.txt"),
            "XML Ambervale activity log,,,\r\nRun date/time:2026/12/06 10:00:00,,,\r\n");
  EXPECT_EQ(f.dir.Read("logs/tempHeaderStatus.txt"), "\r\nPCC,PNR,Destination Queue,\r\n");
  EXPECT_FALSE(f.cycle->timer_enabled());
}

// Debug mode waits for the countdown; a refused sign-on writes the report without a box.
TEST(FormLoadTest, UnticketedModeWithDebugOrARefusedSignOnDoesNotRun) {
  for (const bool refused : {false, true}) {
    SCOPED_TRACE(refused ? "refused sign-on" : "debug mode");
    TestProgram f(false);
    f.WriteStartupFiles({{"MOVEMODE/PNRMODE", "UTK"},
                         {"DebugMode/debugString", refused ? "" : "true"},
                         {"AGENT/ID", refused ? "9999" : "1234"}});
    f.dir.Write("tasks.csv", TasksCsv({"ABC1,,,,,,ALL,3"}));
    EXPECT_EQ(f.Load(), refused ? std::optional<int>(kExitStartupStop) : std::nullopt);
    EXPECT_EQ(f.runs, 0);
    EXPECT_TRUE(f.window.boxes().empty());
    EXPECT_EQ(f.cycle->timer_enabled(), !refused);
    if (!refused) continue;
    EXPECT_EQ(f.dir.Read("logs/Unticketed_PNR_Log_1.csv"),
              "XML Ambervale activity log,,,\r\nRun date/time:2026/12/06 10:00:00,,,\r\n"
              "Host Command: SON/9999\r\n" +
                  std::string(kLoginFailedText) + "\r\n\r\nPCC,PNR,Destination Queue,\r\n");
    EXPECT_THAT(f.tap->entries(), ElementsAre("OP/W*", "SON/9999", "OP/W*"));
  }
}

TEST(FormLoadTest, ASecondCopyEndsSilently) {
  TestProgram f(false);
  f.WriteStartupFiles();
  std::optional<SingleInstanceLock> first = SingleInstanceLock::TryAcquire(f.dir.path());
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(f.Load(), kExitAnotherCopy);
  EXPECT_TRUE(f.window.boxes().empty());
  EXPECT_TRUE(f.window.caption_history().empty());
  EXPECT_FALSE(FolderExists(f.dir.File("logs")));
}

TEST(FormLoadTest, PccQuestionAnsweredNoEnds) {
  for (const BoxAnswer answer : {BoxAnswer::kYes, BoxAnswer::kNo}) {
    const bool yes = answer == BoxAnswer::kYes;
    TestProgram f(false);
    f.WriteStartupFiles({{"Others/PCCCheck", "Y"}});
    f.dir.Write("tasks.csv", TasksCsv({"ABC1,40,,MAP1.CSV,N,,,", "DEF3,41,,MAP1.CSV,N,,,"}));
    f.window.QueueAnswer(answer);
    EXPECT_EQ(f.Load(), yes ? std::nullopt : std::optional<int>(1)) << yes;
    ASSERT_EQ(f.window.boxes().size(), 1u);
    EXPECT_EQ(f.window.boxes()[0].buttons, BoxButtons::kYesNo);
    EXPECT_EQ(f.cycle->timer_enabled(), yes);
    EXPECT_EQ(f.tap->entries().empty(), !yes) << "no sign-on after No";
  }
}

// A window whose Fail Queue frames fail, as a broken widget might.
class FailingFrameWindow : public RecordingWindow {
 public:
  void SetCaption(Control control, std::string_view text) override {
    if (control == Control::kFrmToFail) throw std::runtime_error("frame gone");
    RecordingWindow::SetCaption(control, text);
  }
};

TEST(FormLoadTest, AStepThatFailsUnexpectedlyIsSkipped) {
  TestProgram f(false);
  f.WriteStartupFiles();
  FailingFrameWindow window;
  frmMain form(f.env, window, f.logs);
  TestFrontEnd front_end(window);
  auto terminals = ChooseTerminal(form.SettingsPath(), f.env);
  Alerts alerts(form, f.mailers);
  HostTap tap(terminals->factory());
  HostLayer host(form, alerts, tap);
  RunCycle cycle(form, front_end, [] {});
  std::optional<SingleInstanceLock> lock;
  Form_Load(form, host, cycle, lock);
  EXPECT_TRUE(cycle.timer_enabled());
  EXPECT_THAT(f.Log("debug_log_1.txt"),
              HasSubstr(". Start-up step \"fail queue\" skipped: frame gone #####"));
  // The rest of the step is skipped: no placeholder, no disabled line; the sign-on follows.
  EXPECT_EQ(form.FailQueueNo, "");
  EXPECT_THAT(f.RunLog(), Not(HasSubstr("Disabled -")));
  EXPECT_THAT(tap.entries(), ElementsAre("OP/W*", "SON/1234", "OP/W*", "QX+I"));
}

}  // namespace
}  // namespace ambervale::testing
