#pragma once

// A program folder for one end-to-end test: a fresh temporary folder (removed afterwards)
// with a copy of the demo agency or files the test writes, the settings it changes, and the
// real executables run over it (AMBERVALE_HOME is the folder; the executables stay in the
// build tree). The paths of the executables and of the demo come from the build.

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "testing/temp_dir.h"
#include "tests/e2e/child_process.h"

namespace ambervale::e2e {

// The bytes of examples/demo/`name`; empty when missing.
std::string DemoFile(std::string_view name);

// A finished run of a program: its exit code and what it wrote.
struct RunResult {
  int code = -1;  // -1: it did not end within the time-out (it was killed)
  std::string out;
  std::string err;
};

class ProgramFolder : public testing::TempDir {
 public:
  // Copies the demo: its configuration files, its host scenario (host.json) and the rest.
  void CopyDemo() const;
  // Sets [section] key = value in settings.ini, as the program's own INI writer does.
  void SetSetting(std::string_view section, std::string_view key, std::string_view value) const;

  // The names in logs/, sorted.
  std::vector<std::string> LogNames() const;

  // Runs `binary` (ambervale; ambervale-logcat prints the run log in clear text) with `args` over
  // this folder to its end (at most 20 s).
  RunResult RunAmbervale(const std::vector<std::string>& args,
                         const std::string& binary = AMBERVALE_BINARY) const;
  // Starts `binary` with `args` (and the variables `env` on top) over this folder; its output
  // goes to the folder's `output_name`.out/.err.
  std::unique_ptr<ChildProcess> StartAmbervale(const std::vector<std::string>& args,
                                               std::string_view output_name,
                                               std::map<std::string, std::string> env = {},
                                               const std::string& binary = AMBERVALE_BINARY) const;
};

}  // namespace ambervale::e2e
