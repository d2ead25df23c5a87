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

std::vector<StopCase> StopCases() {
  const std::string s8_box = Lines({"Repeated values in Task Maintenance file.",
                                    "Please correct the Task Maintenance file to continue."});
  return {
      {"S1 log size with a unit",
       {{"LOG/LOGFILESIZE", "10k"}},
       {},
       "Error Reading Max log file size from Settings.ini",
       BoxIcon::kNone,
       "",
       ""},
      {"S2 counter",
       {{"TIMER/COUNTER", "1m"}},
       {},
       "Error Reading Counter from Settings.ini",
       BoxIcon::kNone,
       ". Error Reading Counter from Settings.ini #####",
       "Error Reading Counter from Settings.ini"},
      {"S2 counter out of range",
       {{"TIMER/COUNTER", "40000"}},
       {},
       "Error Reading Counter from Settings.ini",
       BoxIcon::kNone,
       ". Error Reading Counter from Settings.ini #####",
       "Error Reading Counter from Settings.ini"},
      {"S3 user name",
       {{"USER/NAME", std::nullopt}},
       {},
       "Error Reading User Name from Settings.ini",
       BoxIcon::kNone,
       ". Error Reading User Name from Settings.ini #####",
       "Error Reading User Name from Settings.ini"},
      {"S4 agent id",
       {{"AGENT/ID", " "}},
       {},
       "Error Reading Agent ID from Settings.ini",
       BoxIcon::kNone,
       ". Error Reading Agent ID from Settings.ini #####",
       "Error Reading Agent ID from Settings.ini"},
      {"S5 TAU date with the check off",
       {{"TAU/DATE", ""}},
       {},
       " Error Reading TAU Period time from settings.ini.",
       BoxIcon::kNone,
       ". Error reading TAU time period from Settings.ini #####",
       "Error Reading TAU Period time from settings.ini."},
      {"S6 task file",
       {{"FILE/TASKMAINTAIN", " nowhere.csv "}},
       {},
       Lines({"Task maintenance file \"nowhere.csv\" cannot be found.",
              "Please check settings.ini and location of the task maintenance file."}),
       BoxIcon::kCritical,
       ". Task maintenance file \"nowhere.csv\" cannot be found. Please check settings.ini and "
       "location of the task maintenance file.",
       "Please check settings.ini and location of the task maintenance file."},
      {"S7 task file errors",
       {},
       {{"tasks.csv", TasksCsv({"ABC1,Q1,,MAP1.CSV,N,,,"})}},
       Lines({"Errors are found in task maintenance.", "Please check or contact administrator."}),
       BoxIcon::kCritical,
       ". Errors are found in task maintenance. Please check or contact administrator. #####",
       "Errors are found in task maintenance."},
      {"S8 repeated tasks",
       {},
       {{"tasks.csv", TasksCsv({"ABC1,40,,MAP1.CSV,N,,,", "ABC1,40,,MAP1.CSV,N,,,"})}},
       s8_box,
       BoxIcon::kCritical,
       ". Repeated values in Task Maintenance file. Please correct the Task Maintenance file to "
       "continue. #####",
       "Repeated values in Task Maintenance file. Please correct the Task Maintenance file to "
       "continue."},
      {"S9 mapping file missing",
       {},
       {{"tasks.csv", TasksCsv({"ABC1,40,,NOMAP.CSV,N,,,"})}},
       Lines({"Errors are found in mapping file(s).", "Please check or contact administrator."}),
       BoxIcon::kCritical,
       ". Errors are found in mapping file(s). Please check or contact administrator. #####",
       "Errors are found in mapping file(s)."},
      {"S10 duplicated mapping rows",
       {},
       {{"MAP1.CSV",
         MappingCsv({"JANE SHAW,JS,,,,,ABC1,50,,SINE", "JANE SHAW,JS,,,,,ABC1,50,,SINE"})}},
       Lines({"Duplicated mapping entries are found in mapping file(s).",
              "Please check or contact administrator."}),
       BoxIcon::kCritical,
       ". Errors are found in mapping file(s). Please check or contact administrator. "
       "Duplicated mapping entries are found towards pseudo ABC1 source queue 40. #####",
       "Duplicated mapping entries are found in mapping file(s)."},
      {"S11 email alert",
       {{"FailQueue/FailQueueActivated", "y"}, {"FailQueue/FailQueueNo", "26"}},
       {},
       Lines({"Email Alert1 not found in Settings.ini file.",
              "Please specify a valid email id to proceed."}),
       BoxIcon::kCritical,
       ". Email Alert1 not found in Settings.ini file. Please specify a valid email id to "
       "proceed. #####",
       "Email Alert1 not found in Settings.ini file."},
      {"fail queue number and category empty",
       {{"FailQueue/FailQueueActivated", "Y"}},
       {},
       Lines({"Value not defined for Fail Queue/Fail Queue Category.",
              "Please assign a value for Fail Queue/Fail Queue Category to proceed."}),
       BoxIcon::kCritical,
       ". Fail Queue number not found in Settings.ini file #####",
       "Value not defined for Fail Queue/Fail Queue Category."},
      {"fail queue number empty",
       {{"FailQueue/FailQueueActivated", "Y"}, {"FailQueue/FailQueueCategoryNo", "C1"}},
       {},
       Lines({"Value not defined for Fail Queue.",
              "Please assign a value for Fail Queue to proceed."}),
       BoxIcon::kCritical,
       ". Fail Queue number not found in Settings.ini file #####",
       "Value not defined for Fail Queue."},
      {"fail queue number 25",
       {{"FailQueue/FailQueueActivated", "Y"},
        {"FailQueue/FailQueueNo", "25"},
        {"FailQueue/EmailAlert1", "a@b.example"}},
       {},
       Lines({"Value defined for Fail Queue is invalid.",
              "Please define a valid value for Fail Queue in Settings.ini file to continue."}),
       BoxIcon::kCritical,
       ". Fail Queue number not found in Settings.ini file #####",
       "Value not defined for Fail Queue."},
      {"fail queue category c1",
       {{"FailQueue/FailQueueActivated", "Y"},
        {"FailQueue/FailQueueNo", "26"},
        {"FailQueue/FailQueueCategoryNo", "c1"}},
       {},
       Lines({"Value defined for Fail Queue Category is invalid.",
              "Please define a valid value for Fail Queue Category in Settings.ini file to "
              "continue."}),
       BoxIcon::kCritical,
       ". VALID Fail Queue Category number not found in Settings.ini file #####",
       "Valid Fail Queue Category number not found in Settings.ini file."},
      {"fail queue both invalid",
       {{"FailQueue/FailQueueActivated", "Y"},
        {"FailQueue/FailQueueNo", "AB"},
        {"FailQueue/FailQueueCategoryNo", "C1A"}},
       {},
       Lines({"Value defined for Fail Queue/Fail Queue Category is invalid.",
              "Please define a valid value for Fail Queue/Fail Queue Category in Settings.ini "
              "file to continue."}),
       BoxIcon::kCritical,
       ". Fail Queue number not found in Settings.ini file #####",
       "Valid Fail Queue Category number not found in Settings.ini file."},
      {"fail queue is a source queue",
       {{"FailQueue/FailQueueActivated", "Y"},
        {"FailQueue/FailQueueNo", "40"},
        {"FailQueue/EmailAlert1", "a@b.example"}},
       {},
       "Queue 40 already assigned as a Fail Queue and cannot be used in Task Maintenance and "
       "Mapping file.\nPlease modify the following file(s) to continue\n\nFile Name" +
           std::string(25, ' ') + "Queue/Category Number\n1)tasks.csv" + std::string(22, ' ') +
           "40\n",
       BoxIcon::kNone,
       "",
       "Queue/Category already assigned as a Fail Queue and cannot be used"},
      {"sign-on refused",
       {{"AGENT/ID", "9999"}},
       {},
       "SIGN IN NOT SUCCESS",
       BoxIcon::kInformation,
       "",
       ""},
  };
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
  EXPECT_EQ(f.form.strUserName, "ROBOT");
  EXPECT_EQ(f.logs.size_limit(), 1000000);
  EXPECT_EQ(f.window.caption(Control::kLbSuccessCount), "0");
  EXPECT_TRUE(f.window.bold(Control::kLbFailCount));
  EXPECT_EQ(f.window.caption(Control::kFrmToFail), "Fail Queue Deactivated");
  EXPECT_EQ(f.window.caption(Control::kFrmFromFail), "Fail Queue Deactivated");
  EXPECT_EQ(f.form.FailQueueNo, "##");
  EXPECT_TRUE(f.form.MoveFailPNR);
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
  EXPECT_TRUE(f.form.SendEmailAfterEveryIteration);
}

TEST(FormLoadTest, ActiveFailQueueSetsTheFrameCaptionsAndAlerts) {
  const struct {
    const char* category;
    const char* to;
    const char* from;
  } kCases[] = {{"", "To Fail Queue", "From Fail Queue"},
                {"C1", "To Fail Queue Category", "From Fail Queue Category"}};
  for (const auto& c : kCases) {
    TestProgram f(false);
    f.WriteStartupFiles({{"FailQueue/FailQueueActivated", "Y"},
                         {"FailQueue/FailQueueNo", "90"},
                         {"FailQueue/FailQueueCategoryNo", c.category},
                         {"FailQueue/EmailAlert1", "fq@agency.example"},
                         {"FailQueue/EmailAlert3", "lead@agency.example"}});
    EXPECT_EQ(f.Load(), std::nullopt) << c.category;
    EXPECT_EQ(f.window.caption(Control::kFrmToFail), c.to);
    EXPECT_EQ(f.window.caption(Control::kFrmFromFail), c.from);
    EXPECT_TRUE(f.form.FailQueueActivated);
    EXPECT_EQ(f.form.EmailAlert1, "fq@agency.example");
    EXPECT_EQ(f.form.EmailAlert3, "lead@agency.example");
    EXPECT_THAT(f.RunLog(), HasSubstr(" - Fail Queue functionality is enabled\r\n"));
  }
}

TEST(FormLoadTest, InactiveFailQueueWithACategoryIsLoggedWithIt) {
  TestProgram f(false);
  f.WriteStartupFiles({{"FailQueue/FailQueueNo", "26"}, {"FailQueue/FailQueueCategoryNo", "C9"}});
  EXPECT_EQ(f.Load(), std::nullopt);
  EXPECT_THAT(f.RunLog(), HasSubstr(" - Fail Queue 26/C9 Disabled -\r\n"));
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
  EXPECT_EQ(f.form.FailQueueNo, "");
  EXPECT_EQ(f.window.caption(Control::kFrmToFail), "");  // the design caption stays
  EXPECT_TRUE(f.form.dictAgentMapping.empty());
  EXPECT_THAT(f.RunLog(), Not(HasSubstr("Fail Queue")));
  EXPECT_EQ(f.dir.Read("logs/tempHeader.txt").substr(0, 34),
            "XML Ambervale activity log,,,\r\nRun");
  EXPECT_THAT(f.dir.Read("logs/tempHeader.txt"),
              HasSubstr("Run date/time:2026/12/06 10:00:00,,,\r\n"));
  EXPECT_EQ(f.dir.Read("logs/tempHeaderStatus.txt"), "\r\nPCC,PNR,Destination Queue,\r\n");
  EXPECT_FALSE(f.cycle->timer_enabled());
}

TEST(FormLoadTest, UnticketedModeWithDebugTrueWaitsForTheCountdown) {
  TestProgram f(false);
  f.WriteStartupFiles({{"MOVEMODE/PNRMODE", "UTK"}, {"DebugMode/debugString", "true"}});
  f.dir.Write("tasks.csv", TasksCsv({"ABC1,,,,,,ALL,3"}));
  EXPECT_EQ(f.Load(), std::nullopt);
  EXPECT_EQ(f.runs, 0);
  EXPECT_TRUE(f.cycle->timer_enabled());
}

TEST(FormLoadTest, UnticketedSignOnFailureWritesTheReportWithoutABox) {
  TestProgram f(false);
  f.WriteStartupFiles({{"MOVEMODE/PNRMODE", "UTK"}, {"AGENT/ID", "9999"}});
  f.dir.Write("tasks.csv", TasksCsv({"ABC1,,,,,,ALL,3"}));
  EXPECT_EQ(f.Load(), kExitStartupStop);
  EXPECT_TRUE(f.window.boxes().empty());
  EXPECT_EQ(f.runs, 0);
  const std::string report = f.dir.Read("logs/Unticketed_PNR_Log_1.csv");
  EXPECT_THAT(report, HasSubstr("XML Ambervale activity log,,,\r\n"));
  EXPECT_THAT(report,
              HasSubstr("Host Command: SON/9999\r\n" + std::string(kLoginFailedText) + "\r\n"));
  EXPECT_THAT(report, HasSubstr("PCC,PNR,Destination Queue,\r\n"));
  EXPECT_THAT(f.tap->entries(), ElementsAre("OP/W*", "SON/9999", "OP/W*"));
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
    TestProgram f(false);
    f.WriteStartupFiles({{"Others/PCCCheck", "Y"}});
    f.dir.Write("tasks.csv", TasksCsv({"ABC1,40,,MAP1.CSV,N,,,", "DEF3,41,,MAP1.CSV,N,,,"}));
    f.window.QueueAnswer(answer);
    const std::optional<int> ended = f.Load();
    ASSERT_EQ(f.window.boxes().size(), 1u);
    EXPECT_EQ(f.window.boxes()[0].buttons, BoxButtons::kYesNo);
    if (answer == BoxAnswer::kYes) {
      EXPECT_EQ(ended, std::nullopt);
      EXPECT_TRUE(f.cycle->timer_enabled());
    } else {
      EXPECT_EQ(ended, 1);
      EXPECT_TRUE(f.tap->entries().empty());
    }
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
