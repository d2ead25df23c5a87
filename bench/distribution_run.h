#pragma once

// One distribution run for the benchmarks: a source queue ABC1/12 of `pnrs` PNRs, their agents
// found in turn by sine, name, DI.AC, CI and DI.X, worked by MoveQueue against the in-process
// simulated host in a fresh program folder, with every log written. The terminal is wrapped to
// measure the time spent inside it.

namespace ambervale::bench {

struct DistributionRun {
  int pnrs = 1000;
  bool full_rings = false;  // every log ring of the folder full before the run (99/5 files)
  bool state_file = false;  // the simulator keeps its world in a state file and its journal
};

struct RunFigures {
  double open_seconds = 0;      // the simulator loading its world (and writing the state file)
  double run_seconds = 0;       // MoveQueue
  double stop_seconds = 0;      // the simulator stopping (writing the state file)
  double terminal_seconds = 0;  // inside the terminal, during MoveQueue
  double cpu_seconds = 0;       // the process's processor time over the three (it is steadier
                                // than the clock's on a shared machine)
  long entries = 0;             // sent during MoveQueue
  int moved = 0;

  double total_seconds() const { return open_seconds + run_seconds + stop_seconds; }
};

// Runs it; false (with a message on stderr) when the set-up failed or a PNR was not moved.
bool RunDistribution(const DistributionRun& run, RunFigures* out);

}  // namespace ambervale::bench
