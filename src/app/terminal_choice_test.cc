#include "app/terminal_choice.h"

#include <gtest/gtest.h>

#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

std::string FirstLine(Terminal& t, std::string_view entry) {
  EXPECT_TRUE(t.SendEntry("<FORMAT>" + std::string(entry) + "</FORMAT>").ok());
  return t.GetLine(0).value_or("");
}

// The simulator on the folder's scenario, on the day [Terminal] Today gives, one world for every
// terminal made (its state file, written at the end, is in the program test).
TEST(ChooseTerminalTest, SimulatorFromTheProgramFolderSharesOneWorld) {
  TestProgram p(false);
  // The second agent id is the simulator's date.
  p.dir.Write("host.json", R"({"agent_ids": ["1234", "{today}"], "pccs": {"AB12": {}}})");
  p.dir.Write("settings.ini", "[Terminal]\r\nConnection = sim:host.json\r\nToday=2025-03-01\r\n");
  auto choice = ChooseTerminal(p.dir.File("settings.ini"), p.env);
  Status error;
  auto first = choice->factory().Create(&error);
  ASSERT_NE(first, nullptr) << error.message();
  EXPECT_EQ(FirstLine(*first, "SON/1234"), "SIGN ON COMPLETE<CARRIAGE_RETURN/>");
  EXPECT_EQ(FirstLine(*first, "SON/01MAR"), "SIGN ON COMPLETE<CARRIAGE_RETURN/>");
  auto second = choice->factory().Create(&error);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(FirstLine(*second, "OP/W*"), " *VANTORA* AGENT 1234 SIGNED IN<CARRIAGE_RETURN/>");
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
    TestProgram p(false);
    p.dir.Write("settings.ini", c.settings);
    auto choice = ChooseTerminal(p.dir.File("settings.ini"), p.env);
    // Known before any terminal is made, for the configuration check; every terminal made
    // fails with it.
    EXPECT_NE(choice->Problem().find(c.reason_part), std::string::npos)
        << c.settings << " -> " << choice->Problem();
  }
}

}  // namespace
}  // namespace ambervale::testing
