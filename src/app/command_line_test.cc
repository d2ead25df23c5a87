#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace ambervale {
namespace {

std::variant<CommandLine, std::string> Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "ambervale");
  return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(ParseCommandLineTest, ReadsEveryOption) {
  const struct {
    std::vector<const char*> args;
    bool headless, check, version, help;
    int runs;
  } kCases[] = {
      {{}, false, false, false, false, 0},
      {{"--headless"}, true, false, false, false, 0},
      {{"--check"}, false, true, false, false, 0},
      {{"--version"}, false, false, true, false, 0},
      {{"--help"}, false, false, false, true, 0},
      {{"-h"}, false, false, false, true, 0},
      {{"--runs", "3"}, false, false, false, false, 3},
      {{"--runs=12", "--headless"}, true, false, false, false, 12},
      {{"--headless", "--runs", "1000000"}, true, false, false, false, 1000000},
  };
  for (const auto& c : kCases) {
    const auto parsed = Parse(c.args);
    const std::string name = c.args.empty() ? "(none)" : c.args[0];
    ASSERT_TRUE(std::holds_alternative<CommandLine>(parsed)) << name;
    const CommandLine& o = std::get<CommandLine>(parsed);
    EXPECT_EQ(o.headless, c.headless) << name;
    EXPECT_EQ(o.check, c.check) << name;
    EXPECT_EQ(o.version, c.version) << name;
    EXPECT_EQ(o.help, c.help) << name;
    EXPECT_EQ(o.runs, c.runs) << name;
  }
}

TEST(ParseCommandLineTest, RefusesUnknownOptionsAndBadRunCounts) {
  const struct {
    std::vector<const char*> args;
    const char* message_part;
  } kCases[] = {
      {{"--fast"}, "unknown option \"--fast\""},
      {{"headless"}, "unknown option \"headless\""},
      {{"--runs"}, "needs a number"},
      {{"--runs", "0"}, "--runs \"0\""},
      {{"--runs", "-2"}, "--runs \"-2\""},
      {{"--runs", "3x"}, "--runs \"3x\""},
      {{"--runs="}, "--runs \"\""},
      {{"--runs", "1000001"}, "1000000"},
      {{"--runs", "99999999999999"}, "--runs \"99999999999999\""},
      {{"--explain"}, "--explain needs --task PCC/QUEUE[*CAT]"},
      {{"--task", "AB12/40"}, "go with --explain"},
      {{"--explain", "--task", "AB12"}, "--task: expected PCC/QUEUE[*CAT], got 'AB12'"},
      {{"--explain", "--task=AB12/4x"}, "--task: expected PCC/QUEUE[*CAT], got 'AB12/4x'"},
      {{"--explain", "--task", "AB12/40*C"}, "--task: expected PCC/QUEUE[*CAT], got"},
      {{"--explain", "--task", "AB12/40", "--sine", "XYZ"}, "--sine: expected the agent sine"},
      {{"--explain", "--task", "AB12/40", "--ci"}, "--ci: needs a value"},
      {{"--explain", "--task", "AB12/40", "--name", "\xff"}, "--name: '\xff' holds characters"},
      {{"--explain", "--task", "AB12/40", "--check"}, "does not go with --check"},
  };
  for (const auto& c : kCases) {
    const auto parsed = Parse(c.args);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << c.args[0];
    EXPECT_NE(std::get<std::string>(parsed).find(c.message_part), std::string::npos)
        << std::get<std::string>(parsed);
  }
}

TEST(UseConsoleWindowTest, ConsoleWithoutADisplayOrWhenAsked) {
  const struct {
    bool headless;
    const char* display;
    const char* wayland;
    const char* qpa;
    bool console;
  } kCases[] = {
      {false, nullptr, nullptr, nullptr, true},      {false, "", "", "", true},
      {false, ":0", nullptr, nullptr, false},        {false, nullptr, "wayland-0", nullptr, false},
      {false, nullptr, nullptr, "offscreen", false}, {true, ":0", nullptr, nullptr, true},
  };
  for (const auto& c : kCases) {
    CommandLine options;
    options.headless = c.headless;
    EXPECT_EQ(UseConsoleWindow(options, c.display, c.wayland, c.qpa), c.console)
        << c.headless << " " << (c.display ? c.display : "-") << " " << (c.qpa ? c.qpa : "-");
  }
}

}  // namespace
}  // namespace ambervale
