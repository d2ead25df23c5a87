#include "config/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "testing/temp_dir.h"

namespace ambervale {
namespace {

StopLine D(std::string text, bool closing = true) {
  return StopLine{StopLine::kDebug, std::move(text), closing};
}
StopLine R(std::string text) { return StopLine{StopLine::kRunLog, std::move(text), true}; }

StartupStop MakeStop(std::vector<StopLine> lines, std::string box, BoxIcon icon) {
  return StartupStop{std::move(lines), std::move(box), BoxButtons::kOk, icon};
}

// A settings file in a temporary program folder.
class SettingsFile {
 public:
  explicit SettingsFile(const std::string& content) { dir_.Write("settings.ini", content); }
  const std::string path() const { return dir_.File("settings.ini"); }
  const clsINI& ini() const { return ini_; }

 private:
  TempDir dir_;
  clsINI ini_;
};

TEST(SettingsTest, DebugStopText) {
  CivilTime t;
  t.year = 2026;
  t.month = 3;
  t.day = 4;
  t.hour = 9;
  t.minute = 8;
  t.second = 7;
  EXPECT_EQ(DebugStopText(t, ". Error Reading Counter from Settings.ini"),
            "##### 2026/03/04 09:08:07. Error Reading Counter from Settings.ini #####");
  EXPECT_EQ(DebugStopText(t, ". open", false), "##### 2026/03/04 09:08:07. open");
}

TEST(SettingsTest, EveryStopTextByteForByte) {
  const std::string crlf = "\r\n";
  const struct {
    const char* name;
    StartupStop got;
    StartupStop want;
  } kCases[] = {
      {"S1", LogFileSizeStop(),
       MakeStop({}, "Error Reading Max log file size from Settings.ini", BoxIcon::kNone)},
      {"S2", CounterStop(),
       MakeStop({D(". Error Reading Counter from Settings.ini"),
                 R("Error Reading Counter from Settings.ini")},
                "Error Reading Counter from Settings.ini", BoxIcon::kNone)},
      {"S3", UserNameStop(),
       MakeStop({D(". Error Reading User Name from Settings.ini"),
                 R("Error Reading User Name from Settings.ini")},
                "Error Reading User Name from Settings.ini", BoxIcon::kNone)},
      {"S4", AgentIdStop(),
       MakeStop({D(". Error Reading Agent ID from Settings.ini"),
                 R("Error Reading Agent ID from Settings.ini")},
                "Error Reading Agent ID from Settings.ini", BoxIcon::kNone)},
      {"S5", TauDateStop(),
       MakeStop({D(". Error reading TAU time period from Settings.ini"),
                 R("Error Reading TAU Period time from settings.ini.")},
                " Error Reading TAU Period time from settings.ini.", BoxIcon::kNone)},
      {"S6", TaskFileNotFoundStop("tasks.csv"),
       MakeStop({D(". Task maintenance file \"tasks.csv\" cannot be found. Please check "
                   "settings.ini and location of the task maintenance file.",
                   false),
                 R("Please check settings.ini and location of the task maintenance file.")},
                "Task maintenance file \"tasks.csv\" cannot be found." + crlf +
                    "Please check settings.ini and location of the task maintenance file.",
                BoxIcon::kCritical)},
      {"S7", TaskFileErrorsStop(),
       MakeStop({D(". Errors are found in task maintenance. Please check or contact "
                   "administrator."),
                 R("Errors are found in task maintenance.")},
                "Errors are found in task maintenance." + crlf +
                    "Please check or contact administrator.",
                BoxIcon::kCritical)},
      {"S8", TaskFileRepeatedStop(),
       MakeStop({D(". Repeated values in Task Maintenance file. Please correct the Task "
                   "Maintenance file to continue."),
                 R("Repeated values in Task Maintenance file. Please correct the Task "
                   "Maintenance file to continue.")},
                "Repeated values in Task Maintenance file." + crlf +
                    "Please correct the Task Maintenance file to continue.",
                BoxIcon::kCritical)},
      {"S9", MappingFileErrorsStop(),
       MakeStop(
           {D(". Errors are found in mapping file(s). Please check or contact "
              "administrator."),
            R("Errors are found in mapping file(s).")},
           "Errors are found in mapping file(s)." + crlf + "Please check or contact administrator.",
           BoxIcon::kCritical)},
      {"S10",
       MappingDuplicatesStop("Duplicated mapping entries are found towards pseudo ABC1 "
                             "source queue 5."),
       MakeStop({D(". Errors are found in mapping file(s). Please check or contact "
                   "administrator. Duplicated mapping entries are found towards pseudo ABC1 "
                   "source queue 5."),
                 R("Duplicated mapping entries are found in mapping file(s).")},
                "Duplicated mapping entries are found in mapping file(s)." + crlf +
                    "Please check or contact administrator.",
                BoxIcon::kCritical)},
      {"S11", EmailAlert1Stop(),
       MakeStop({D(". Email Alert1 not found in Settings.ini file. Please specify a valid email "
                   "id to proceed."),
                 R("Email Alert1 not found in Settings.ini file.")},
                "Email Alert1 not found in Settings.ini file." + crlf +
                    "Please specify a valid email id to proceed.",
                BoxIcon::kCritical)},
      {"settings missing", SettingsMissingStop(),
       MakeStop({},
                "Settings.ini cannot be found." + crlf +
                    "It must be located in the same path as Ambervale." + crlf +
                    "Please check or contact administrator.",
                BoxIcon::kNone)},
      {"sign-in", SignInFailedStop(), MakeStop({}, "SIGN IN NOT SUCCESS", BoxIcon::kInformation)},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.got.lines, c.want.lines) << c.name;
    EXPECT_EQ(c.got.box_text, c.want.box_text) << c.name;
    EXPECT_EQ(c.got.buttons, BoxButtons::kOk) << c.name;
    EXPECT_EQ(c.got.icon, c.want.icon) << c.name;
  }
}

TEST(SettingsTest, LogFileSize) {
  const struct {
    const char* value;
    std::optional<int32_t> want;  // nullopt: stop S1
  } kCases[] = {
      {"5000000", 5000000}, {"  5000000  ", 5000000},     {"\"1000\"", 1000},
      {"12.5", 12},         {"2147483647", 2147483647},   {"5MB", std::nullopt},
      {"", std::nullopt},   {"2147483648", std::nullopt}, {"1e12", std::nullopt},
  };
  for (const auto& c : kCases) {
    const SettingsFile f(std::string("[LOG]\r\nLOGFILESIZE=") + c.value + "\r\n");
    const SettingOrStop<int32_t> got = ReadLogFileSize(f.ini(), f.path());
    if (c.want) {
      ASSERT_TRUE(std::holds_alternative<int32_t>(got)) << c.value;
      EXPECT_EQ(std::get<int32_t>(got), *c.want) << c.value;
    } else {
      ASSERT_TRUE(std::holds_alternative<StartupStop>(got)) << c.value;
      EXPECT_EQ(std::get<StartupStop>(got), LogFileSizeStop()) << c.value;
      EXPECT_TRUE(std::get<StartupStop>(got).lines.empty()) << c.value;
    }
  }
  const SettingsFile missing("[TIMER]\r\nCOUNTER=5\r\n");
  EXPECT_TRUE(std::holds_alternative<StartupStop>(ReadLogFileSize(missing.ini(), missing.path())));
}

TEST(SettingsTest, Counter) {
  const struct {
    const char* value;
    std::optional<int16_t> want;  // nullopt: stop S2
  } kCases[] = {
      {"0", 0},   {"30", 30}, {" 30 ", 30},          {"32767", 32767},   {"32768", std::nullopt},
      {"-1", -1}, {"2.5", 2}, {"abc", std::nullopt}, {"", std::nullopt},
  };
  for (const auto& c : kCases) {
    const SettingsFile f(std::string("[timer]\r\ncounter=") + c.value + "\r\n");
    const SettingOrStop<int16_t> got = ReadCounter(f.ini(), f.path());
    if (c.want) {
      ASSERT_TRUE(std::holds_alternative<int16_t>(got)) << c.value;
      EXPECT_EQ(std::get<int16_t>(got), *c.want) << c.value;
    } else {
      ASSERT_TRUE(std::holds_alternative<StartupStop>(got)) << c.value;
      EXPECT_EQ(std::get<StartupStop>(got), CounterStop()) << c.value;
    }
  }
}

TEST(SettingsTest, RequiredTexts) {
  const SettingsFile full(
      "[USER]\r\nNAME= Jane \r\n[AGENT]\r\nID=A1\r\n[TAU]\r\nTAUCHECK=N\r\nDATE=3\r\n"
      "[FailQueue]\r\nEmailAlert1=ops@example.com\r\n");
  EXPECT_EQ(std::get<std::string>(ReadUserName(full.ini(), full.path())), "Jane");
  EXPECT_EQ(std::get<std::string>(ReadAgentId(full.ini(), full.path())), "A1");
  EXPECT_EQ(std::get<std::string>(ReadTauDate(full.ini(), full.path())), "3");
  EXPECT_EQ(std::get<std::string>(ReadEmailAlert1(full.ini(), full.path())), "ops@example.com");

  // Empty values and missing keys stop; an empty TAU date stops even with TAUCHECK off.
  const SettingsFile empty("[USER]\r\nNAME=   \r\n[TAU]\r\nTAUCHECK=N\r\nDATE=\r\n");
  EXPECT_EQ(std::get<StartupStop>(ReadUserName(empty.ini(), empty.path())), UserNameStop());
  EXPECT_EQ(std::get<StartupStop>(ReadAgentId(empty.ini(), empty.path())), AgentIdStop());
  EXPECT_EQ(std::get<StartupStop>(ReadTauDate(empty.ini(), empty.path())), TauDateStop());
  EXPECT_EQ(std::get<StartupStop>(ReadEmailAlert1(empty.ini(), empty.path())), EmailAlert1Stop());
}

TEST(SettingsTest, YesNoAndUpperCaseSettings) {
  const SettingsFile f(
      "[MOVE]\r\nMUSTMOVE=y\r\n[TAU]\r\nTAUCHECK=Yes\r\n[Others]\r\nPCCCheck= Y \r\n"
      "[DebugMode]\r\ndebugString=true\r\n[MOVEMODE]\r\nPNRMODE= utk \r\n"
      "[ToQueue]\r\nDestQueue= 50*C1 \r\n[FILE]\r\nTASKMAINTAIN= tasks.csv \r\n");
  EXPECT_TRUE(ReadYesNoSetting(f.ini(), f.path(), kMustMoveKey));
  EXPECT_FALSE(ReadYesNoSetting(f.ini(), f.path(), kTauCheckKey));
  EXPECT_TRUE(ReadYesNoSetting(f.ini(), f.path(), kPccCheckKey));
  EXPECT_FALSE(ReadYesNoSetting(f.ini(), f.path(), kFailQueueActivatedKey));  // missing
  EXPECT_EQ(ReadUpperSetting(f.ini(), f.path(), kDebugStringKey), "TRUE");
  EXPECT_EQ(ReadUpperSetting(f.ini(), f.path(), kPnrModeKey), "UTK");
  EXPECT_EQ(ReadSetting(f.ini(), f.path(), kDestQueueKey), "50*C1");
  EXPECT_EQ(ReadSetting(f.ini(), f.path(), kTaskMaintainKey), "tasks.csv");
  EXPECT_EQ(ReadSetting(f.ini(), f.path(), kEmailAlert2Key), "");

  const struct {
    const char* value;
    bool yes;
  } kCases[] = {{"Y", true},  {"y", true}, {" y ", true}, {"Yes", false},
                {"N", false}, {"", false}, {"YY", false}, {"1", false}};
  for (const auto& c : kCases) EXPECT_EQ(IsYes(c.value), c.yes) << c.value;
}

TEST(SettingsTest, FailQueueNumberAndCategoryRules) {
  const struct {
    const char* number;
    bool valid;
  } kNumbers[] = {{"26", true},    {"99", true},   {"50", true},   {"25", false},
                  {"100", false},  {"AB", false},  {"", false},    {"026", false},
                  {"26.0", false}, {"+30", false}, {"3e1", false}, {"-26", false}};
  for (const auto& c : kNumbers) EXPECT_EQ(IsValidFailQueueNo(c.number), c.valid) << c.number;

  const struct {
    const char* category;
    bool valid;
  } kCategories[] = {{"", true},      {"C1", true},   {"C0", true},        {"C12", true},
                     {"CAB", true},   {"C", false},   {"1", false},        {"c1", false},
                     {"cab", false},  {"C0A", false}, {"CA", false},       {"X12", false},
                     {"C123", false}, {"CaB", false}, {"C\xC9\xC9", false}};
  for (const auto& c : kCategories) {
    EXPECT_EQ(IsValidFailQueueCategory(c.category), c.valid) << c.category;
  }
}

TEST(SettingsTest, ValidateFailQueue) {
  const std::string crlf = "\r\n";
  const std::string number_missing = ". Fail Queue number not found in Settings.ini file";
  const std::string category_invalid =
      ". VALID Fail Queue Category number not found in Settings.ini file";
  const auto invalid_box = [&](const std::string& what) {
    return MakeStop({},
                    "Value defined for " + what + " is invalid." + crlf +
                        "Please define a valid value for " + what +
                        " in Settings.ini file to continue.",
                    BoxIcon::kCritical);
  };
  const struct {
    const char* name;
    const char* number;
    const char* category;
    FailQueueValidation want;
  } kCases[] = {
      {"valid with category", "26", "C1", {}},
      {"valid without category", "99", "", {}},
      {"valid letters", "50", "CAB", {}},
      {"both empty",
       "",
       "",
       {{},
        MakeStop({D(number_missing), R("Value not defined for Fail Queue/Fail Queue Category.")},
                 "Value not defined for Fail Queue/Fail Queue Category." + crlf +
                     "Please assign a value for Fail Queue/Fail Queue Category to proceed.",
                 BoxIcon::kCritical)}},
      {"number empty",
       "",
       "C1",
       {{},
        MakeStop({R("Value not defined for Fail Queue."), D(number_missing)},
                 "Value not defined for Fail Queue." + crlf +
                     "Please assign a value for Fail Queue to proceed.",
                 BoxIcon::kCritical)}},
      {"number empty, invalid category is not looked at",
       "",
       "X",
       {{},
        MakeStop({R("Value not defined for Fail Queue."), D(number_missing)},
                 "Value not defined for Fail Queue." + crlf +
                     "Please assign a value for Fail Queue to proceed.",
                 BoxIcon::kCritical)}},
      {"number 25",
       "25",
       "",
       {{R("Value not defined for Fail Queue."), D(number_missing)}, invalid_box("Fail Queue")}},
      {"number AB",
       "AB",
       "C1",
       {{R("Value not defined for Fail Queue."), D(number_missing)}, invalid_box("Fail Queue")}},
      {"category C0A",
       "26",
       "C0A",
       {{R("Valid Fail Queue Category number not found in Settings.ini file."),
         D(category_invalid)},
        invalid_box("Fail Queue Category")}},
      {"category cab",
       "26",
       "cab",
       {{R("Valid Fail Queue Category number not found in Settings.ini file."),
         D(category_invalid)},
        invalid_box("Fail Queue Category")}},
      {"one-character category writes only the debug line",
       "26",
       "C",
       {{D(category_invalid)}, invalid_box("Fail Queue Category")}},
      {"both invalid",
       "100",
       "C123",
       {{R("Value not defined for Fail Queue."), D(number_missing),
         R("Valid Fail Queue Category number not found in Settings.ini file."),
         D(category_invalid)},
        invalid_box("Fail Queue/Fail Queue Category")}},
  };
  for (const auto& c : kCases) {
    const FailQueueValidation got = ValidateFailQueue(c.number, c.category);
    EXPECT_EQ(got.lines, c.want.lines) << c.name;
    ASSERT_EQ(got.stop.has_value(), c.want.stop.has_value()) << c.name;
    if (got.stop) {
      EXPECT_EQ(got.stop->lines, c.want.stop->lines) << c.name;
      EXPECT_EQ(got.stop->box_text, c.want.stop->box_text) << c.name;
      EXPECT_EQ(got.stop->icon, BoxIcon::kCritical) << c.name;
      EXPECT_EQ(got.stop->buttons, BoxButtons::kOk) << c.name;
    }
  }
}

TEST(SettingsTest, InactiveFailQueue) {
  EXPECT_EQ(InactiveFailQueueNo(""), "##");
  EXPECT_EQ(InactiveFailQueueNo("30"), "30");
  EXPECT_EQ(FailQueueDisabledLine(InactiveFailQueueNo(""), ""), "Fail Queue ## Disabled -");
  EXPECT_EQ(FailQueueDisabledLine("30", "C1"), "Fail Queue 30/C1 Disabled -");
}

}  // namespace
}  // namespace ambervale
