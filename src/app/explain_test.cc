// --explain over the demo agency (examples/demo): every lookup kind, the last mapping file
// deciding, no agent; and nothing written.

#include "app/explain.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "app/command_line.h"
#include "platform/files.h"
#include "testing/fake_env.h"
#include "testing/temp_dir.h"

namespace ambervale::testing {
namespace {

using ::testing::HasSubstr;

TEST(ExplainTest, EachLookupKindAndTheDecision) {
  TempDir dir;
  for (const char* name : {"TaskMaintenance.csv", "SALES_LON.CSV", "CORPORATE.CSV", "MAN_SALES.CSV",
                           "GROUPS.CSV", "LEISURE.CSV", "settings.ini"}) {
    dir.Write(name, ReadFile(JoinPath(AMBERVALE_DEMO_DIR, name)).value_or(""));
  }
  const struct {
    std::vector<const char*> args;
    int code;
    std::vector<const char*> parts;
    const char* settings = nullptr;  // over the demo's settings.ini
  } kCases[] = {
      {{"--task=LON1/41*c5", "--di", "AC ACCT-129", "--ci=00123"},
       0,
       {"DI.AC read \"129\": matches\n    line 2 \"12*\" (ALI KHAN) -> LON1/60\n",
        "CI    read \"00123\": matches\n    line 5 \"00123\" (HELEN LAIRD) -> LON1/63\n",
        "2 agents found by DI.AC,CI\n", "QEB/LON1/60+LON1/63\n"}},
      // Both files find an agent; the second decides, the first file's notepad text is added.
      {{"--task", "MAN2/40", "--sine", "05", "--di", "AC ACCT-1", "--di", "X/QD-ACME CORP"},
       0,
       {"line 2 \"05\" (MARIA BOSCO) -> MAN2/50\n", "line 2 \"ACME*\" (ROB TENNANT) -> MAN2/55\n",
        "The last mapping file, GROUPS.CSV, decides.\n",
        "The run adds the remark: NP.SORTED BY AMBERVALE\n",
        "The run moves the PNR with: QEB/MAN2/55\n"}},
      {{"--task", "LON1/40", "--sine", "ZZ", "--name", "NOBODY/X"},
       0,
       {"SINE  read \"ZZ\": none of its 4 SINE rows matches\n",
        "DI.AC read nothing: the file has no DI.AC rows\n",
        "No agent found: the run moves the PNR to the Fail Queue with: QEB/LON1/90\n",
        "values read: ZZ,1.1NOBODY/X,,,\n"}},
      {{"--task", "LON1/43"},
       1,
       {"--task LON1/43: no such source queue in TaskMaintenance.csv; its source queues are "
        "LON1/40, LON1/41*C5, MAN2/40, MAN2/42, EDI3/40\n"}},
      {{"--task", "LON1/40"},
       1,
       {"problem: [LOG] LOGFILESIZE = \"x\": Error Reading Max"},
       "[LOG]\r\nLOGFILESIZE=x\r\n"},
  };
  for (auto c : kCases) {
    if (c.settings != nullptr) dir.Write("settings.ini", c.settings);
    c.args.insert(c.args.begin(), {"ambervale", "--explain"});
    const auto parsed = ParseCommandLine(static_cast<int>(c.args.size()), c.args.data());
    FakeEnv env(dir.path());
    std::ostringstream out;
    EXPECT_EQ(ExplainPnr(env, std::get<CommandLine>(parsed).explain, out), c.code)
        << c.args[2] << c.args[3] << "\n"
        << out.str();
    for (const char* part : c.parts)
      EXPECT_THAT(out.str(), HasSubstr(part)) << c.args[2] << c.args[3];
  }
  EXPECT_FALSE(FolderExists(dir.File("logs")));
}

}  // namespace
}  // namespace ambervale::testing
