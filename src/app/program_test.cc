#include "app/program.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <nlohmann/json.hpp>
#include <sstream>

#include "testing/fake_env.h"
#include "testing/recording_mailer.h"
#include "testing/temp_dir.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

using ::testing::HasSubstr;

// The whole program on the console window, the fake clock and the in-process simulator.
struct ConsoleProgram {
  explicit ConsoleProgram(const SettingsOverrides& settings, CommandLine options = {}) {
    box.WriteStartupFiles(settings);
    dir.Write("host.json", Scenario({Pnr("ABC123", "JS", "SHAW/JANE MS")},
                                    {{"ABC1/40", {"ABC123"}}}, "{}", /*signed_in=*/false));
    auto fake = std::make_unique<FakeEnv>(dir.path());
    env = fake.get();
    auto front_end = NewConsoleFrontEnd(*fake, ConsoleStreams{&out, &err, &in});
    program = std::make_unique<Program>(std::move(fake), std::move(front_end),
                                        std::make_unique<RecordingMailerFactory>(), options);
  }

  TestProgram box{false};  // the program folder only
  TempDir& dir = box.dir;
  std::ostringstream out;
  std::ostringstream err;
  std::istringstream in;
  FakeEnv* env = nullptr;
  std::unique_ptr<Program> program;
};

TEST(ProgramTest, RunsCountsDownAndStopsAfterTheGivenRuns) {
  CommandLine options;
  options.runs = 2;
  ConsoleProgram p({{"TIMER/COUNTER", "3"}, {"Terminal/StateFile", "state.json"}}, options);
  const TimePoint start = p.env->Now();
  EXPECT_EQ(p.program->Run(), 0);
  // Three seconds to each of the two runs, one tick to unload, five seconds of closing.
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(p.env->Now() - start).count(), 12);
  // The first run moved the PNR to its agent's queue, shown on the console.
  EXPECT_THAT(p.out.str(), HasSubstr(" - ABC123: retrieved in ABC1/Q40\n"));
  const auto state = nlohmann::json::parse(p.dir.Read("state.json"));
  EXPECT_EQ(state["queues"]["ABC1/50"], nlohmann::json::array({"ABC123"})) << state.dump();
}

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
  p.dir.Write("tasks.csv", TasksCsv({"ABC1,40,,MAP1.CSV,N,,,", "DEF3,41,,MAP1.CSV,N,,,"}));
  EXPECT_EQ(p.program->Run(), 1);  // the answer No ends the program
  EXPECT_THAT(p.dir.Read("logs/action_log_1.txt"),
              HasSubstr(" - Question answered No (no terminal): Ambervale has found PCC(s) "
                        "entered in Task Maintenance/Mapping files to be different.\r\n"));
}

}  // namespace
}  // namespace ambervale::testing
