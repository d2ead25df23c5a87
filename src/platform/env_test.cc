#include "platform/env.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <optional>
#include <string>

#include "platform/system_env.h"

namespace ambervale {
namespace {

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedEnvVar {
 public:
  ScopedEnvVar(const char* name, const char* value) : name_(name) {
    if (const char* old = ::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnvVar() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedEnvVar(const ScopedEnvVar&) = delete;
  ScopedEnvVar& operator=(const ScopedEnvVar&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(ChooseProgramFolderTest, HomeFirstThenTheExecutablesFolder) {
  const struct {
    const char* home;
    const char* exe;
    const char* folder;
  } kCases[] = {
      {"/srv/ambervale", "/opt/bin/ambervale", "/srv/ambervale"},
      {"/srv/ambervale//", "/opt/bin/ambervale", "/srv/ambervale"},
      {"", "/opt/bin/ambervale", "/opt/bin"},
      {"", "/ambervale", "/"},
      {"", "", "."},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ChooseProgramFolder(c.home, c.exe), c.folder) << c.home << " " << c.exe;
  }
}

TEST(OperatorNameFromAccountTest, FullNameBeforeTheFirstComma) {
  const struct {
    const char* gecos;
    const char* login;
    const char* name;
  } kCases[] = {
      {"Mary Lane,Room 4,555-1234,,", "mlane", "Mary Lane"},
      {"Mary Lane", "mlane", "Mary Lane"},
      {"  Mary Lane  ,x", "mlane", "Mary Lane"},
      {",Room 4", "mlane", "mlane"},
      {"", "mlane", "mlane"},
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

TEST(SystemEnvTest, ProgramFolderFromAmbervaleHome) {
  {
    ScopedEnvVar home("AMBERVALE_HOME", "/tmp/ambervale-home/");
    EXPECT_EQ(NewSystemEnv()->ProgramFolder(), "/tmp/ambervale-home");
    EXPECT_EQ(NewSystemEnv("/given")->ProgramFolder(), "/given");
  }
  {
    ScopedEnvVar home("AMBERVALE_HOME", "");
    const std::string folder = NewSystemEnv()->ProgramFolder();
    EXPECT_TRUE(folder.starts_with("/")) << folder;
    EXPECT_FALSE(folder.ends_with("/")) << folder;
  }
}

TEST(SystemEnvTest, LocalTimeFollowsTheTimeZone) {
  using namespace std::chrono;
  const TimePoint t = TimePoint(sys_days(2026y / December / 6) + hours(23) + minutes(59) +
                                seconds(58) + nanoseconds(123));
  const TimePoint before_epoch = TimePoint(nanoseconds(-1));
  auto env = NewSystemEnv("/x");
  {
    ScopedEnvVar tz("TZ", "UTC");
    ::tzset();
    EXPECT_EQ(env->ToLocal(t), (CivilTime{2026, 12, 6, 23, 59, 58, 123}));
    EXPECT_EQ(env->ToLocal(before_epoch), (CivilTime{1969, 12, 31, 23, 59, 59, 999999999}));
  }
  {
    ScopedEnvVar tz("TZ", "EST5");
    ::tzset();
    EXPECT_EQ(env->ToLocal(t), (CivilTime{2026, 12, 6, 18, 59, 58, 123}));
  }
  ::tzset();
}

}  // namespace
}  // namespace ambervale
