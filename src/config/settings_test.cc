// The readers and checks of settings.ini. The stops' exact texts are checked where the
// start-up shows them (form_load_test).

#include "config/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "testing/temp_dir.h"

namespace ambervale {
namespace {

// A value as the test compares it: the number or text read, or the first line of the stop's
// box.
template <typename T>
std::string Shown(const SettingOrStop<T>& got) {
  if (const auto* stop = std::get_if<StartupStop>(&got)) {
    return "stop: " + stop->box_text.substr(0, stop->box_text.find('\r'));
  }
  if constexpr (std::is_same_v<T, std::string>) {
    return std::get<T>(got);
  } else {
    return std::to_string(std::get<T>(got));
  }
}

// Each case: the reader, the settings file, the value read or the stop.
TEST(SettingsTest, CheckedValuesOrTheirStops) {
  const clsINI ini;
  const auto check = [&ini](auto read, const char* settings, const std::string& want) {
    TempDir dir;
    dir.Write("settings.ini", settings);
    EXPECT_EQ(Shown(read(ini, dir.File("settings.ini"))), want) << settings;
  };
  const std::string size_stop = "stop: Error Reading Max log file size from Settings.ini";
  check(ReadLogFileSize, "[LOG]\r\nLOGFILESIZE=  \"1000\"  ", "1000");
  check(ReadLogFileSize, "[LOG]\r\nLOGFILESIZE=2147483648", size_stop);
  check(ReadLogFileSize, "", size_stop);
  check(ReadCounter, "[timer]\r\ncounter= 32767 ", "32767");
  check(ReadCounter, "[TIMER]\r\nCOUNTER=32768", "stop: Error Reading Counter from Settings.ini");
  check(ReadUserName, "[USER]\r\nNAME=   ", "stop: Error Reading User Name from Settings.ini");
  check(ReadAgentId, "", "stop: Error Reading Agent ID from Settings.ini");
  // An empty TAU date stops even with TAUCHECK off.
  check(ReadTauDate,
        "[TAU]\r\nTAUCHECK=N\r\nDATE=", "stop:  Error Reading TAU Period time from settings.ini.");
  check(ReadEmailAlert1, "", "stop: Email Alert1 not found in Settings.ini file.");
}

TEST(SettingsTest, YesNoAndUpperCaseSettings) {
  TempDir dir;
  dir.Write("settings.ini",
            "[MOVE]\r\nMUSTMOVE= y \r\n[TAU]\r\nTAUCHECK=Yes\r\n[DebugMode]\r\ndebugString=true\r\n"
            "[ToQueue]\r\nDestQueue= 50*C1 \r\n");
  const clsINI ini;
  const std::string path = dir.File("settings.ini");
  EXPECT_TRUE(ReadYesNoSetting(ini, path, kMustMoveKey));
  EXPECT_FALSE(ReadYesNoSetting(ini, path, kTauCheckKey));
  EXPECT_FALSE(ReadYesNoSetting(ini, path, kFailQueueActivatedKey));  // missing
  EXPECT_EQ(ReadUpperSetting(ini, path, kDebugStringKey), "TRUE");
  EXPECT_EQ(ReadSetting(ini, path, kDestQueueKey), "50*C1");
}

TEST(SettingsTest, FailQueueNumberAndCategoryRules) {
  for (const char* yes : {"26", "99"}) EXPECT_TRUE(IsValidFailQueueNo(yes)) << yes;
  for (const char* no : {"25", "100", "", "026", "26.0", "+30"}) {
    EXPECT_FALSE(IsValidFailQueueNo(no)) << no;
  }
  for (const char* yes : {"", "C0", "C12", "CAB"})
    EXPECT_TRUE(IsValidFailQueueCategory(yes)) << yes;
  for (const char* no : {"C", "c1", "C0A", "CA", "C123", "CaB"}) {
    EXPECT_FALSE(IsValidFailQueueCategory(no)) << no;
  }
}

// The log lines of the check in order (R: run log, D: debug), then the first line of the box.
TEST(SettingsTest, ValidateFailQueueWritesItsLinesInOrder) {
  const std::string r_number = "R:Value not defined for Fail Queue.|";
  const std::string d_number = "D:. Fail Queue number not found in Settings.ini file|";
  const std::string r_category =
      "R:Valid Fail Queue Category number not found in Settings.ini file.|";
  const std::string d_category =
      "D:. VALID Fail Queue Category number not found in Settings.ini file|";
  const struct {
    const char* number;
    const char* category;
    std::string want;
  } kCases[] = {
      {"26", "C1", ""},
      {"", "",
       "stop|" + d_number + "R:Value not defined for Fail Queue/Fail Queue Category.|" +
           "Value not defined for Fail Queue/Fail Queue Category."},
      // An empty number: the category is not looked at.
      {"", "X", "stop|" + r_number + d_number + "Value not defined for Fail Queue."},
      {"25", "", r_number + d_number + "stop|Value defined for Fail Queue is invalid."},
      {"26", "cab",
       r_category + d_category + "stop|Value defined for Fail Queue Category is invalid."},
      // A one-character category writes only the debug line.
      {"26", "C", d_category + "stop|Value defined for Fail Queue Category is invalid."},
      {"100", "C123",
       r_number + d_number + r_category + d_category +
           "stop|Value defined for Fail Queue/Fail Queue Category is invalid."},
  };
  const auto show = [](const std::vector<StopLine>& lines) {
    std::string out;
    for (const StopLine& l : lines)
      out += (l.kind == StopLine::kDebug ? "D:" : "R:") + l.text + "|";
    return out;
  };
  for (const auto& c : kCases) {
    const FailQueueValidation got = ValidateFailQueue(c.number, c.category);
    std::string shown = show(got.lines);
    if (got.stop) {
      EXPECT_EQ(got.stop->icon, BoxIcon::kCritical) << c.number << "/" << c.category;
      shown += "stop|" + show(got.stop->lines) +
               got.stop->box_text.substr(0, got.stop->box_text.find('\r'));
    }
    EXPECT_EQ(shown, c.want) << c.number << "/" << c.category;
  }
}

}  // namespace
}  // namespace ambervale
