#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace ambervale {
namespace {

TEST(ParseCommandLineTest, ReadsEveryOptionAndNamesTheOffendingArgument) {
  const struct {
    std::vector<const char*> args;
    const char* want;  // "headless check version help runs", or a part of the message
  } kCases[] = {
      {{"--check"}, "0100 0"},  // and the defaults of the rest
      {{"-h"}, "0001 0"},
      {{"--runs=12", "--headless"}, "1000 12"},
      {{"--headless", "--runs", "1000000"}, "1000 1000000"},
      {{"--runs"}, "needs a number"},
      {{"--runs", "0"}, "--runs \"0\""},
      {{"--runs", "3x"}, "--runs \"3x\""},
      {{"--runs", "1000001"}, "1000000"},
      {{"--explain"}, "--explain needs --task PCC/QUEUE[*CAT]"},
      {{"--task", "AB12/40"}, "go with --explain"},
      {{"--explain", "--task=AB12/4x"}, "--task: expected PCC/QUEUE[*CAT], got 'AB12/4x'"},
      {{"--explain", "--task", "AB12/40*C"}, "--task: expected PCC/QUEUE[*CAT], got"},
      {{"--explain", "--task", "AB12/40", "--sine", "XYZ"}, "--sine: expected the agent sine"},
      {{"--explain", "--task", "AB12/40", "--ci"}, "--ci: needs a value"},
      {{"--explain", "--task", "AB12/40", "--name", "\xff"}, "--name: '\xff' holds characters"},
      {{"--explain", "--task", "AB12/40", "--check"}, "does not go with --check"},
  };
  for (auto c : kCases) {
    c.args.insert(c.args.begin(), "ambervale");
    const auto parsed = ParseCommandLine(static_cast<int>(c.args.size()), c.args.data());
    const auto* o = std::get_if<CommandLine>(&parsed);
    const std::string got = o == nullptr
                                ? std::get<std::string>(parsed)
                                : std::to_string(o->headless) + std::to_string(o->check) +
                                      std::to_string(o->version) + std::to_string(o->help) + " " +
                                      std::to_string(o->runs);
    EXPECT_NE(got.find(c.want), std::string::npos)
        << ::testing::PrintToString(c.args) << ": " << got;
  }
}

TEST(UseConsoleWindowTest, ConsoleWithoutADisplayOrWhenAsked) {
  CommandLine options;
  EXPECT_TRUE(UseConsoleWindow(options, "", "", ""));
  EXPECT_FALSE(UseConsoleWindow(options, ":0", nullptr, nullptr));
  EXPECT_FALSE(UseConsoleWindow(options, nullptr, "wayland-0", nullptr));
  EXPECT_FALSE(UseConsoleWindow(options, nullptr, nullptr, "offscreen"));
  options.headless = true;
  EXPECT_TRUE(UseConsoleWindow(options, ":0", nullptr, nullptr));
}

}  // namespace
}  // namespace ambervale
