// Debug-log lines per second: every line locates the ring's current file among up to 99
// names, opens, appends, stamps and closes it. Goal: at least 10,000 lines/s with all 99
// files of the ring present.

#include <chrono>
#include <cstdio>
#include <string>

#include "logs/logs.h"
#include "platform/env.h"
#include "testing/temp_dir.h"

namespace ambervale {
namespace {

constexpr double kGoalLinesPerSecond = 10000;
constexpr int kLines = 20000;
const std::string kLine = "2026/12/06 10:00:00 >> Q/7X1A/50*C5 ... a typical host entry line";

// Lines per second over kLines writes after `files` files of the ring were filled.
double Measure(int files) {
  testing::TempDir dir;
  std::unique_ptr<Env> env = NewSystemEnv(dir.path());
  Logs logs(*env, dir.path());
  logs.SetSizeLimit(0);  // one line per file while filling the ring
  for (int i = 0; i < files; ++i) logs.WriteDebugLog(kLine);
  logs.SetSizeLimit(1'000'000'000);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kLines; ++i) logs.WriteDebugLog(kLine);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return kLines / took.count();
}

}  // namespace
}  // namespace ambervale

int main() {
  const double one = ambervale::Measure(1);
  const double all = ambervale::Measure(99);
  std::printf("debug log, 1 file present:   %8.0f lines/s\n", one);
  std::printf("debug log, 99 files present: %8.0f lines/s (goal >= %.0f)\n", all,
              ambervale::kGoalLinesPerSecond);
  if (all < ambervale::kGoalLinesPerSecond) {
    std::printf("FAIL: below the goal\n");
    return 1;
  }
  return 0;
}
