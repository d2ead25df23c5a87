#include "app/program.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <sstream>

#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

using ::testing::HasSubstr;

// The whole program on the console window, the fake clock and the in-process simulator (its
// runs, moves and state file: the end-to-end runs of the real program; the run cycle's test).
struct ConsoleProgram {
  explicit ConsoleProgram(const SettingsOverrides& settings) {
    box.WriteStartupFiles(settings);
    auto fake = std::make_unique<FakeEnv>(box.dir.path());
    auto front_end = NewConsoleFrontEnd(*fake, ConsoleStreams{&out, &err, &in});
    program = std::make_unique<Program>(std::move(fake), std::move(front_end),
                                        std::make_unique<RecordingMailerFactory>(), CommandLine{});
  }

  TestProgram box{false};  // the program folder only
  std::ostringstream out;
  std::ostringstream err;
  std::istringstream in;
  std::unique_ptr<Program> program;
};

TEST(ProgramTest, SigtermIsACloseRequest) {
  ConsoleProgram p(SettingsOverrides{{"TIMER/COUNTER", "60"}});
  std::raise(SIGTERM);  // caught by the console window and delivered from the event loop
  EXPECT_EQ(p.program->Run(), 0);
  // The closing lines, in order, are the run cycle's; here: the signal reached it.
  EXPECT_THAT(p.out.str(), HasSubstr("[signal] SIGTERM\n"));
  EXPECT_THAT(p.out.str(), HasSubstr(" - Ambervale will stop in 2 seconds.\n"));
}

TEST(ProgramTest, QuestionsAnsweredWithoutATerminalReachTheActionLog) {
  ConsoleProgram p(SettingsOverrides{{"Others/PCCCheck", "Y"}});
  p.box.dir.Write("tasks.csv", TasksCsv({"ABC1,40,,MAP1.CSV,N,,,", "DEF3,41,,MAP1.CSV,N,,,"}));
  EXPECT_EQ(p.program->Run(), 1);  // the answer No ends the program
  EXPECT_THAT(p.box.dir.Read("logs/action_log_1.txt"),
              HasSubstr(" - Question answered No (no terminal): Ambervale has found PCC(s) "
                        "entered in Task Maintenance/Mapping files to be different.\r\n"));
}

}  // namespace
}  // namespace ambervale::testing
