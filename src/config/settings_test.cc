// The readers and checks of settings.ini: the edges of each value. The stops' exact texts and
// log lines are checked where the start-up shows them (form_load_test).

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
  check(ReadCounter, "[timer]\r\ncounter= 32767 ", "32767");
  check(ReadCounter, "[TIMER]\r\nCOUNTER=32768", "stop: Error Reading Counter from Settings.ini");
  check(ReadUserName, "[USER]\r\nNAME=   ", "stop: Error Reading User Name from Settings.ini");
}

// Only "Y" (any case, blanks around) is yes; "y" counts as yes in the start-ups' golden file.
TEST(SettingsTest, OnlyYIsYes) {
  TempDir dir;
  dir.Write("settings.ini", "[MOVE]\r\nMUSTMOVE= Y \r\n[TAU]\r\nTAUCHECK=Yes\r\n");
  EXPECT_TRUE(ReadYesNoSetting(clsINI(), dir.File("settings.ini"), kMustMoveKey));
  EXPECT_FALSE(ReadYesNoSetting(clsINI(), dir.File("settings.ini"), kTauCheckKey));
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

// The log lines and stops of the other cases are in the start-up's transcripts (form_load_test).
TEST(SettingsTest, ValidateFailQueueOnAOneCharacterCategoryWritesOnlyTheDebugLine) {
  EXPECT_EQ(ValidateFailQueue("26", "C1"), FailQueueValidation{});
  const FailQueueValidation got = ValidateFailQueue("26", "C");
  ASSERT_EQ(got.lines.size(), 1u);
  EXPECT_EQ(got.lines[0].kind, StopLine::kDebug);
  EXPECT_EQ(got.lines[0].text, ". VALID Fail Queue Category number not found in Settings.ini file");
  ASSERT_TRUE(got.stop.has_value());
  EXPECT_TRUE(got.stop->box_text.starts_with("Value defined for Fail Queue Category is invalid."));
}

}  // namespace
}  // namespace ambervale
