// Runs the built ambervale-logcat on run logs written by the program's own writer.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "logs/logs.h"
#include "testing/fake_env.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

struct Result {
  int exit_code = -1;
  std::string output;  // stdout and stderr together
};

// Runs the tool with `args` under the environment settings `vars` ("NAME=value ...").
Result RunLogcat(const std::string& vars, const std::string& args) {
  const std::string command = "env " + vars + " '" AMBERVALE_LOGCAT "' " + args + " 2>&1";
  Result r;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) r.output.append(buf.data(), n);
  const int status = ::pclose(pipe);
  r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

class LogcatTest : public ::testing::Test {
 protected:
  LogcatTest() {
    Logs logs(env_, dir_.File("logs"));
    dir_.Write("logs/other.txt", "");  // creates the folder
    logs.WriteRunLog("2026/12/06 10:00:00 - Application Started:", kRunLogPrefix);
    logs.WriteRunLog("2026/12/06 10:00:01 - Moved ABC123 \xB7 50", kRunLogPrefix);
    logs.WriteRunLog("2026/12/06 11:00:00 - Application Started:", kRunLogPrefix);
    file_ = "'" + logs.RunLogPath() + "'";
  }

  TempDir dir_;
  FakeEnv env_;
  std::string file_;
};

TEST_F(LogcatTest, PrintsTheClearRecords) {
  const struct {
    std::string vars;
    std::string args;
    std::string output;
  } kCases[] = {
      {"LC_ALL=C", "--raw " + file_,
       "2026/12/06 10:00:00 - Application Started:\r\n"
       "2026/12/06 10:00:01 - Moved ABC123 \xB7 50\r\n"
       "\r\n************************\r\n"
       "2026/12/06 11:00:00 - Application Started:\r\n"},
      {"LC_ALL=C.UTF-8", "-n 4 " + file_,
       "2026/12/06 10:00:01 - Moved ABC123 \xC2\xB7 50\r\n"
       "\r\n************************\r\n"
       "2026/12/06 11:00:00 - Application Started:\r\n"},
      {"LC_ALL=C", "-n1 " + file_, "2026/12/06 11:00:00 - Application Started:\r\n"},
      {"LC_ALL=C AMBERVALE_HOME='" + dir_.path() + "'", "-n 1",
       "2026/12/06 11:00:00 - Application Started:\r\n"},
  };
  for (const auto& c : kCases) {
    const Result r = RunLogcat(c.vars, c.args);
    EXPECT_EQ(r.exit_code, 0) << c.args;
    EXPECT_EQ(r.output, c.output) << c.args;
  }
}

TEST_F(LogcatTest, ExplainsBadUse) {
  const struct {
    std::string vars;
    std::string args;
    int exit_code;
    std::string message;
  } kCases[] = {
      {"LC_ALL=C", dir_.File("missing.dat"), 1, "cannot read " + dir_.File("missing.dat")},
      {"LC_ALL=C", "-n x " + file_, 2, "-n needs a number of records, not 'x'"},
      {"LC_ALL=C", "--colour " + file_, 2, "unknown option '--colour'"},
      {"LC_ALL=C", "--help", 0, "Usage: ambervale-logcat"},
  };
  for (const auto& c : kCases) {
    const Result r = RunLogcat(c.vars, c.args);
    EXPECT_EQ(r.exit_code, c.exit_code) << c.args;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << c.args << "\n" << r.output;
  }
}

}  // namespace
}  // namespace ambervale
