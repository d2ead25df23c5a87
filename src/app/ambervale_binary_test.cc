// Smoke test of the ambervale executable: its version, a refused option and the configuration
// check on a good configuration. The program's runs are tested through Program.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "testing/temp_dir.h"
#include "testing/test_program.h"

namespace ambervale::testing {
namespace {

using ::testing::HasSubstr;

struct Output {
  int code = -1;
  std::string text;
};

// Runs the program with `args` (stdout and stderr together) in `home`.
Output RunAmbervale(const std::string& args, const std::string& home) {
  const std::string command =
      "AMBERVALE_HOME='" + home + "' '" AMBERVALE_BINARY "' " + args + " 2>&1 </dev/null";
  Output result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.text.append(buffer, n);
  const int status = ::pclose(pipe);
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(AmbervaleBinaryTest, VersionUsageAndCheck) {
  TempDir home;
  home.Write("settings.ini", SettingsText());
  home.Write("tasks.csv", TasksCsv({"ABC1,40,,MAP1.CSV,N,,,"}));
  home.Write("MAP1.CSV", MappingCsv({"JANE SHAW,JS,,,,,ABC1,50,,SINE"}));
  home.Write("host.json", R"({"agent_ids": ["1234"], "pccs": {"ABC1": {}}})");

  const Output version = RunAmbervale("--version", home.path());
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.text, "Ambervale 12.0.0415.0\n");

  const Output unknown = RunAmbervale("--fast", home.path());
  EXPECT_EQ(unknown.code, 2);
  EXPECT_THAT(unknown.text, HasSubstr("unknown option \"--fast\""));

  const Output check = RunAmbervale("--check", home.path());
  EXPECT_EQ(check.code, 0) << check.text;
  EXPECT_THAT(check.text, HasSubstr("The configuration is usable."));
}

}  // namespace
}  // namespace ambervale::testing
