#include "testing/test_program.h"

#include "platform/files.h"

namespace ambervale {

TestProgram::TestProgram()
    : env(dir.path()), logs(env, dir.File("logs")), form(env, window, logs), alerts(form, mailers) {
  (void)CreateFolder(dir.File("logs"));
  logs.SetSizeLimit(1 << 30);
  form.log_file_size = 1 << 30;
}

void TestProgram::WriteSettings(std::string_view text) const { dir.Write("settings.ini", text); }

std::string TestProgram::Log(std::string_view name) const {
  return dir.Read("logs/" + std::string(name));
}

std::string TestProgram::RunLog() const { return ScrambleLogText(Log("Ambervale_LOG_1.dat")); }

}  // namespace ambervale
