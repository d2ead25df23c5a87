// The distribution run over a queue of 1,000 PNRs against the in-process simulated host, with
// every log written, once into an empty logs folder and once into one whose rings are full
// (99 files in each ring of 99, five in each ring of five). The terminal is wrapped to measure
// the time spent inside it; the rest is the tool's own time.
//   goal: <= 3 ms of the tool's own time per moved PNR.

#include <cstdio>
#include <initializer_list>

#include "bench/distribution_run.h"

namespace {

using ambervale::bench::DistributionRun;
using ambervale::bench::RunFigures;

constexpr int kPnrs = 1000;
constexpr double kGoalMsPerPnr = 3.0;

bool Report(const char* what, const RunFigures& f) {
  const double own_ms = (f.run_seconds - f.terminal_seconds) * 1000 / f.moved;
  const bool ok = own_ms <= kGoalMsPerPnr;
  std::printf(
      "%-34s %7.0f PNRs/s, %5.2f ms/PNR own (goal <= %.1f), %5.2f ms/PNR in the "
      "terminal, %.1f entries/PNR%s\n",
      what, f.moved / f.run_seconds, own_ms, kGoalMsPerPnr, f.terminal_seconds * 1000 / f.moved,
      static_cast<double>(f.entries) / f.moved, ok ? "" : "  MISSED");
  return ok;
}

}  // namespace

int main() {
  bool ok = true;
  for (const bool full : {false, true}) {
    RunFigures figures;
    if (!ambervale::bench::RunDistribution(DistributionRun{kPnrs, full, false}, &figures)) {
      return 1;
    }
    ok =
        Report(full ? "1,000 PNRs, rings full (99/5)" : "1,000 PNRs, empty logs folder", figures) &&
        ok;
  }
  return ok ? 0 : 1;
}
