// The demo agency with one thing broken at a time, run for real: `ambervale --check` prints
// the problems (naming the file, line or value where it can) and exits 1, leaving the logs
// alone; `ambervale --headless` stops at start-up: the stop's box on the console (stderr), its
// debug-log and run-log lines (read back with ambervale-logcat), exit 1 before any host entry.
// tests/e2e/testdata/startup.txt holds each case ("> check: CHANGES" or "> start: CHANGES",
// the changes "; " separated) with everything the runs printed and wrote.

#include <gtest/gtest.h>

#include <regex>

#include "platform/classic_text.h"
#include "platform/files.h"
#include "testing/golden.h"
#include "tests/e2e/program_folder.h"

namespace ambervale::e2e {
namespace {

// Applies "set SECTION KEY VALUE", "replace FILE FROM => TO", "append FILE LINE" (CR LF
// added) or "remove FILE".
void Apply(const ProgramFolder& f, const std::string& change) {
  std::smatch m;
  ASSERT_TRUE(std::regex_match(change, m, std::regex("(set|replace|append|remove) (\\S+) ?(.*)")))
      << change;
  const std::string verb = m[1], file = m[2], rest = m[3];
  const size_t blank = rest.find(' '), arrow = rest.find(" => ");
  const std::string text = f.Read(file);  // "" for a section or a missing file
  if (verb == "set")
    f.SetSetting(file, rest.substr(0, blank), rest.substr(std::min(blank, rest.size() - 1) + 1));
  if (verb == "append") f.Write(file, text + rest + "\r\n");
  if (verb == "remove") (void)DeleteFile(f.File(file));
  // (A text not found changes nothing: the case's golden output shows it.)
  if (verb == "replace")
    f.Write(file, Replace(text, rest.substr(0, arrow), rest.substr(arrow + 4)));
}

// What a run printed (stdout, then stderr) and wrote, the folder's path and the times
// replaced.
std::string Report(const ProgramFolder& folder, const std::string& what, const RunResult& run) {
  std::string logs;
  for (const std::string& name : folder.LogNames()) logs += " " + name;
  std::string out = what + " exit " + std::to_string(run.code) + "\n" + run.out + "(stderr)\n" +
                    run.err + "logs:" + logs + "\n";
  if (!logs.empty()) {
    out += "debug log:\n" + folder.Read("logs/debug_log_1.txt") + "run log:\n" +
           folder.RunAmbervale({}, AMBERVALE_LOGCAT).out;
  }
  return std::regex_replace(Replace(out, folder.path(), "$HOME"),
                            std::regex("\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d"),
                            "YYYY/MM/DD hh:mm:ss");
}

TEST(StartupE2eTest, EachBrokenConfigurationIsCheckedAndStopsTheStart) {
  ambervale::testing::ExpectGoldenTable(
      "tests/e2e/testdata/startup.txt", [](const std::string& item) {
        ProgramFolder folder;
        folder.CopyDemo();
        const std::string changes = item.substr(item.find(": ") + 2);
        for (const std::string& change : ambervale::testing::ItemParts(changes, "; ")) {
          if (change != "none") Apply(folder, change);
        }
        std::string out = Report(folder, "--check", folder.RunAmbervale({"--check"}));
        if (item.starts_with("start: ")) {
          out += Report(folder, "--headless", folder.RunAmbervale({"--headless"}));
        }
        return out;
      });
}

}  // namespace
}  // namespace ambervale::e2e
