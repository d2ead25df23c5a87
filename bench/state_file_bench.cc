// The simulated host's state file. A distribution run of 3,000 and of 30,000 PNRs on one queue
// against the in-process simulator, with every log written, without and with a state file (the
// world kept in a snapshot and a journal); timed whole: the simulator loading its world,
// MoveQueue, the simulator stopping; the better of two runs. The goals are on the process's
// processor time (the run is one thread); the clock's time is shown beside it, but on a machine
// shared with other work it varies from run to run by more than the goals' margins. Then reading: a
// text of 40,000 empty objects in an array (refused), and state files of 10,000 and 40,000 PNRs.
//   goal: with the state file <= 1.5 x the time without it, at both sizes;
//         time per PNR at 30,000 <= 1.3 x the time per PNR at 3,000, without and with;
//         the 40,000 objects refused in <= 0.2 s; 40,000 PNRs read in <= 8 x the time of
//         10,000 (4 x when reading is linear in the file's size; a reading that grows with its
//         square takes 16 x, and took seconds for the objects).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "bench/distribution_run.h"
#include "sim/day_month.h"
#include "sim/scenario_json.h"

namespace {

using ambervale::bench::DistributionRun;
using ambervale::bench::RunFigures;
using Clock = std::chrono::steady_clock;
namespace sim = ambervale::sim;

constexpr double kStateFileGoal = 1.5;
constexpr double kFlatGoal = 1.3;
constexpr double kRefusalGoalSeconds = 0.2;
constexpr double kReadGrowthGoal = 8;

bool Check(bool ok, const char* what) {
  if (!ok) std::printf("  MISSED: %s\n", what);
  return ok;
}

// The processor seconds per PNR of the better of two runs; negative when one failed.
double RunPerPnr(int pnrs, bool state_file) {
  RunFigures f;
  for (int i = 0; i < 2; ++i) {
    RunFigures run;
    if (!ambervale::bench::RunDistribution(DistributionRun{pnrs, false, state_file}, &run)) {
      return -1;
    }
    if (i == 0 || run.cpu_seconds < f.cpu_seconds) f = run;
  }
  std::printf(
      "%6d PNRs %-16s processor %6.2f s, %5.3f ms/PNR; clock %6.2f s (load %4.2f, run %6.2f, "
      "stop %4.2f); %.1f entries/PNR\n",
      pnrs, state_file ? "with state file" : "without", f.cpu_seconds, f.cpu_seconds * 1000 / pnrs,
      f.total_seconds(), f.open_seconds, f.run_seconds, f.stop_seconds,
      static_cast<double>(f.entries) / pnrs);
  return f.cpu_seconds / pnrs;
}

// The best of three readings of `text`, in seconds.
double ReadSeconds(const std::string& text, bool* accepted) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    std::string error;
    const Clock::time_point start = Clock::now();
    *accepted = sim::ReadWorld(text, sim::WorldSource::kState, sim::DayOf({}), &error).has_value();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

// A state file of `count` PNRs, all on one queue.
std::string StateOf(int count) {
  sim::World world;
  world.pccs.Add("ABC1", true);
  std::vector<std::string>& queue = world.queues.GetOrAdd("ABC1/12");
  for (int n = 1; n <= count; ++n) {
    char locator[16];
    std::snprintf(locator, sizeof locator, "P%05d", n);
    sim::Pnr pnr;
    pnr.locator = locator;
    pnr.owner_pcc = "ABC1";
    pnr.name = "NAME" + std::to_string(n) + "/TEST MR";
    pnr.di = {"AC ACCT-129"};
    world.pnrs.Add(locator, pnr);
    queue.push_back(locator);
  }
  return sim::WriteWorld(world);
}

bool Reading() {
  std::string objects = "[";
  for (int i = 0; i < 40000; ++i) objects += i == 0 ? "{}" : ",{}";
  objects += "]";
  bool accepted = true;
  const double refused = ReadSeconds(objects, &accepted);
  bool ok = Check(!accepted, "the array of objects was accepted");
  std::printf("40,000 empty objects (%zu KB) refused in %.3f s (goal <= %.1f)\n",
              objects.size() / 1000, refused, kRefusalGoalSeconds);
  ok = Check(refused <= kRefusalGoalSeconds, "refusal time") && ok;
  double seconds[2] = {0, 0};
  const int kCounts[2] = {10000, 40000};
  for (int i = 0; i < 2; ++i) {
    const std::string state = StateOf(kCounts[i]);
    seconds[i] = ReadSeconds(state, &accepted);
    ok = Check(accepted, "a state file was refused") && ok;
    std::printf("state file of %d PNRs (%zu KB) read in %.3f s, %.1f us/PNR\n", kCounts[i],
                state.size() / 1000, seconds[i], seconds[i] * 1e6 / kCounts[i]);
  }
  const double ratio = seconds[1] / seconds[0];
  std::printf("40,000 / 10,000 PNRs: %.2f x the time (goal <= %.0f)\n", ratio, kReadGrowthGoal);
  return Check(ratio <= kReadGrowthGoal, "reading grows faster than the file") && ok;
}

}  // namespace

int main() {
  bool ok = true;
  double per_pnr[2][2];  // [size][state file]
  const int kSizes[2] = {3000, 30000};
  for (int size = 0; size < 2; ++size) {
    for (int state = 0; state < 2; ++state) {
      per_pnr[size][state] = RunPerPnr(kSizes[size], state == 1);
      if (per_pnr[size][state] < 0) return 1;
    }
    const double ratio = per_pnr[size][1] / per_pnr[size][0];
    std::printf("%6d PNRs: with the state file %.2f x the time without (goal <= %.1f)\n",
                kSizes[size], ratio, kStateFileGoal);
    ok = Check(ratio <= kStateFileGoal, "state file cost") && ok;
  }
  for (int state = 0; state < 2; ++state) {
    const double growth = per_pnr[1][state] / per_pnr[0][state];
    std::printf("per PNR %s: 30,000 PNRs %.2f x 3,000 (goal <= %.1f)\n",
                state == 1 ? "with the state file" : "without", growth, kFlatGoal);
    ok = Check(growth <= kFlatGoal, "cost per PNR not flat") && ok;
  }
  ok = Reading() && ok;
  return ok ? 0 : 1;
}
