#include "app/terminal_choice.h"

#include <gtest/gtest.h>

#include "testing/fake_env.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

// The second agent id is the simulator's date.
constexpr char kScenario[] = R"({"agent_ids": ["1234", "{today}"], "pccs": {"AB12": {}}})";

std::string FirstLine(Terminal& t, std::string_view entry) {
  EXPECT_TRUE(t.SendEntry("<FORMAT>" + std::string(entry) + "</FORMAT>").ok());
  return t.GetLine(0).value_or("");
}

TEST(ChooseTerminalTest, SimulatorFromTheProgramFolderSharesOneWorld) {
  TempDir dir;
  FakeEnv env(dir.path());
  dir.Write("host.json", kScenario);
  dir.Write("settings.ini",
            "[Terminal]\r\nConnection = sim:host.json\r\nStateFile=state.json\r\n"
            "Today=2025-03-01\r\n");
  auto choice = ChooseTerminal(dir.File("settings.ini"), env);
  EXPECT_EQ(choice->Problem(), "");
  EXPECT_FALSE(dir.Exists("state.json"));  // nothing opened yet
  Status error;
  auto first = choice->factory().Create(&error);
  ASSERT_NE(first, nullptr) << error.message();
  EXPECT_EQ(FirstLine(*first, "SON/1234"), "SIGN ON COMPLETE<CARRIAGE_RETURN/>");
  EXPECT_EQ(FirstLine(*first, "SON/01MAR"), "SIGN ON COMPLETE<CARRIAGE_RETURN/>");
  auto second = choice->factory().Create(&error);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(FirstLine(*second, "OP/W*"), " *VANTORA* AGENT 1234 SIGNED IN<CARRIAGE_RETURN/>");
  choice->Stop();
  EXPECT_TRUE(dir.Exists("state.json"));
}

// A missing connection or scenario file: the end-to-end configuration check's transcript.
TEST(ChooseTerminalTest, UnusableSettingsFailTheTerminalWithAReason) {
  const struct {
    const char* settings;
    const char* reason_part;
  } kCases[] = {
      {"[Terminal]\nConnection=com1\n", "neither sim:"},
      {"[Terminal]\nConnection=tcp:localhost\n", "needs a host and a port"},
      {"[Terminal]\nConnection=tcp:localhost:70000\n", "is not a port number"},
      {"[Terminal]\nConnection=sim:host.json\nToday=2026-13-01\n",
       "[Terminal] Today \"2026-13-01\" is not a date (YYYY-MM-DD)"},
  };
  for (const auto& c : kCases) {
    TempDir dir;
    FakeEnv env(dir.path());
    dir.Write("settings.ini", c.settings);
    auto choice = ChooseTerminal(dir.File("settings.ini"), env);
    // Known before any terminal is made, for the configuration check; every terminal made
    // fails with it.
    EXPECT_NE(choice->Problem().find(c.reason_part), std::string::npos)
        << c.settings << " -> " << choice->Problem();
  }
}

}  // namespace
}  // namespace ambervale
