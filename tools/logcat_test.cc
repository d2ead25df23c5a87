// Runs the built ambervale-logcat on a run log written by the program's own writer:
// tools/testdata/logcat.txt holds each command line ("FILE" the run log, "DIR" its program
// folder) with the exit code and everything printed.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "logs/logs.h"
#include "platform/classic_text.h"
#include "testing/fake_env.h"
#include "testing/golden.h"
#include "testing/temp_dir.h"

namespace ambervale::testing {
namespace {

TEST(LogcatTest, PrintsTheClearRecordsOrExplainsBadUse) {
  TempDir dir;
  FakeEnv env;
  dir.Write("logs/other.txt", "");  // creates the folder
  Logs logs(env, dir.File("logs"));
  logs.WriteRunLog("10:00 - Application Started:", kRunLogPrefix);
  logs.WriteRunLog("10:01 - Moved ABC123 \xB7 50", kRunLogPrefix);
  logs.WriteRunLog("11:00 - Application Started:", kRunLogPrefix);
  ExpectGoldenTable("tools/testdata/logcat.txt", [&](std::string command) {
    // (The tool's path holds neither FILE nor DIR.)
    command = Replace(
        Replace(Replace(command, "ambervale-logcat", AMBERVALE_LOGCAT), "FILE", logs.RunLogPath()),
        "DIR", dir.path());
    const int status = std::system(("env " + command + " >" + dir.File("out") + " 2>&1").c_str());
    return "exit " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + "\n" +
           Replace(dir.Read("out"), dir.path(), "DIR") + "\n";
  });
}

}  // namespace
}  // namespace ambervale::testing
