#include "platform/env.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <string>

#include "platform/system_env.h"

namespace ambervale {
namespace {

TEST(SystemEnvTest, ProgramFolderHomeFirstThenTheExecutablesFolder) {
  const struct {
    const char* home;
    const char* exe;
    const char* folder;
  } kCases[] = {{"/srv/ambervale//", "/opt/bin/ambervale", "/srv/ambervale"},
                {"", "/opt/bin/ambervale", "/opt/bin"},
                {"", "/ambervale", "/"},
                {"", "", "."}};
  for (const auto& c : kCases) {
    EXPECT_EQ(ChooseProgramFolder(c.home, c.exe), c.folder) << c.home << " " << c.exe;
  }
}

TEST(SystemEnvTest, OperatorNameIsTheFullNameBeforeTheFirstComma) {
  const struct {
    const char* gecos;
    const char* login;
    const char* name;
  } kCases[] = {
      {"  Mary Lane  ,Room 4,555-1234,,", "mlane", "Mary Lane"},
      {",Room 4", "mlane", "mlane"},
      {"", "", ""},
      {"& Lane", "mary", "Mary Lane"},
      {"Jos\xC3\xA9 P\xC3\xA9rez,,", "jose", "Jos\xE9 P\xE9rez"},  // UTF-8 in, Windows-1252 out
      {"\xE6\x9D\x8E", "li", "li"},  // a name the code page cannot write: the login name
      {"", "\xE6\x9D\x8E", ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(OperatorNameFromAccount(c.gecos, c.login), c.name) << c.gecos;
  }
}

TEST(SystemEnvTest, LocalTimeFollowsTheTimeZone) {
  using namespace std::chrono;
  const TimePoint t(sys_days(2026y / December / 6) + hours(23) + minutes(59) + seconds(58) +
                    nanoseconds(123));
  auto env = NewSystemEnv("/x");
  const char* old = ::getenv("TZ");
  const std::string saved = old != nullptr ? old : "";
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  EXPECT_EQ(env->ToLocal(t), (CivilTime{2026, 12, 6, 23, 59, 58, 123}));
  EXPECT_EQ(env->ToLocal(TimePoint(nanoseconds(-1))),
            (CivilTime{1969, 12, 31, 23, 59, 59, 999999999}));
  ::setenv("TZ", "EST5", 1);
  ::tzset();
  EXPECT_EQ(env->ToLocal(t), (CivilTime{2026, 12, 6, 18, 59, 58, 123}));
  if (old != nullptr) {
    ::setenv("TZ", saved.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
}

}  // namespace
}  // namespace ambervale
