// Runs the built ambervale-logcat on a run log written by the program's own writer.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "logs/logs.h"
#include "testing/fake_env.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

TEST(LogcatTest, PrintsTheClearRecordsOrExplainsBadUse) {
  TempDir dir;
  FakeEnv env;
  dir.Write("logs/other.txt", "");  // creates the folder
  Logs logs(env, dir.File("logs"));
  logs.WriteRunLog("10:00 - Application Started:", kRunLogPrefix);
  logs.WriteRunLog("10:01 - Moved ABC123 \xB7 50", kRunLogPrefix);
  logs.WriteRunLog("11:00 - Application Started:", kRunLogPrefix);
  const std::string file = " '" + logs.RunLogPath() + "'";
  const std::string last = "11:00 - Application Started:\r\n";
  const std::string sep = "\r\n************************\r\n";
  const struct {
    std::string vars;
    std::string args;
    int exit_code;
    std::string output;  // the whole output when the exit code is 0, else a part of it
  } kCases[] = {
      {"LC_ALL=C", "--raw" + file, 0,
       "10:00 - Application Started:\r\n10:01 - Moved ABC123 \xB7 50\r\n" + sep + last},
      {"LC_ALL=C.UTF-8", "-n 4" + file, 0, "10:01 - Moved ABC123 \xC2\xB7 50\r\n" + sep + last},
      {"LC_ALL=C", "-n1" + file, 0, last},
      {"LC_ALL=C AMBERVALE_HOME='" + dir.path() + "'", "-n 1", 0, last},
      {"LC_ALL=C", dir.File("missing.dat"), 1, "cannot read " + dir.File("missing.dat")},
      {"LC_ALL=C", "-n x" + file, 2, "-n needs a number of records, not 'x'"},
      {"LC_ALL=C", "--colour" + file, 2, "unknown option '--colour'"},
  };
  for (const auto& c : kCases) {
    const std::string command = "env " + c.vars + " '" AMBERVALE_LOGCAT "' " + c.args + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    const int status = ::pclose(pipe);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.exit_code) << c.args;
    if (c.exit_code == 0) {
      EXPECT_EQ(out, c.output) << c.args;
    } else {
      EXPECT_NE(out.find(c.output), std::string::npos) << c.args << "\n" << out;
    }
  }
}

}  // namespace
}  // namespace ambervale
