// The readers and checks of settings.ini: the edges of each value. The stops' exact texts and
// log lines are checked where the start-up shows them (form_load_test).

#include "config/settings.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/temp_dir.h"

namespace ambervale::testing {
namespace {

// The other values' edges are the number conversions' (classic_text_test) and the start-ups'
// (a missing or blank user name stops it there).
TEST(SettingsTest, YesNo) {
  TempDir dir;
  dir.Write("settings.ini", "[MOVE]\r\nMUSTMOVE= Y \r\n[TAU]\r\nTAUCHECK=Yes\r\n");
  // Only "Y" (any case, blanks around) is yes; "y" is yes in the start-ups' golden file.
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
  const FailQueueValidation got = ValidateFailQueue("26", "C");
  ASSERT_EQ(got.lines.size(), 1u);
  EXPECT_EQ(got.lines[0].kind, StopLine::kDebug);
  EXPECT_EQ(got.lines[0].text, ". VALID Fail Queue Category number not found in Settings.ini file");
  EXPECT_TRUE(got.stop.has_value());  // its box as the start-ups' golden file shows it
}

}  // namespace
}  // namespace ambervale::testing
