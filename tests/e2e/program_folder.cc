#include "tests/e2e/program_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/files.h"
#include "platform/ini.h"

namespace ambervale::e2e {

std::string DemoFile(std::string_view name) {
  return ReadFile(JoinPath(AMBERVALE_DEMO_DIR, name)).value_or("");
}

void ProgramFolder::CopyDemo() const {
  for (const std::string& name : ListFolder(AMBERVALE_DEMO_DIR)) Write(name, DemoFile(name));
}

void ProgramFolder::SetSetting(std::string_view section, std::string_view key,
                               std::string_view value) const {
  EXPECT_FALSE(clsINI().WriteToINI(section, key, value, File("settings.ini"))) << key;
}

std::vector<std::string> ProgramFolder::LogNames() const {
  std::vector<std::string> names = ListFolder(File("logs"));
  std::sort(names.begin(), names.end());
  return names;
}

RunResult ProgramFolder::RunAmbervale(const std::vector<std::string>& args,
                                      const std::string& binary) const {
  std::unique_ptr<ChildProcess> child = StartAmbervale(args, "run", {}, binary);
  const int code = child == nullptr ? -1 : child->Wait(20000).value_or(-1);
  child.reset();  // killed when it did not end
  return {code, Read("run.out"), Read("run.err")};
}

std::unique_ptr<ChildProcess> ProgramFolder::StartAmbervale(const std::vector<std::string>& args,
                                                            std::string_view output_name,
                                                            std::map<std::string, std::string> env,
                                                            const std::string& binary) const {
  env["AMBERVALE_HOME"] = path();
  return ChildProcess::Start(binary, args, env, File(output_name));
}

}  // namespace ambervale::e2e
