#pragma once

// The unticketed mode's tests: one start of the program in the unticketed mode over a fresh
// program folder, on the simulated host, with the Task Maintenance file written and loaded and
// the report prepared as start-up prepares it.

#include <memory>
#include <string>
#include <vector>

#include "distribution/distribution_test_util.h"
#include "distribution/unticketed_run.h"
#include "testing/temp_dir.h"

namespace ambervale::testing {

// The host's unticketed PNRs, today being 06DEC:
//   ABC1: UTK001 AA due today+1, UTK002 BA +3, UTK003 AA +5, UTK004 AA +2 but ticketed,
//         UTK005 AA -2, UTK007 without ticketing line;
//   DEF3: UTK006 LH +1, UTK008 AA +2.
// UTK001 and UTK003 also wait on ABC1/12.
std::vector<std::string> UnticketedPnrs();

// The Task Maintenance file of the unticketed mode: rows "PCC,airline,days".
std::string UnticketedTasksCsv(const std::vector<std::string>& rows);

struct UnticketedStart {
  // [ToQueue] DestQueue is `dest_queue`; `refused_pccs` refuse emulation.
  explicit UnticketedStart(const std::vector<std::string>& task_rows, std::string dest_queue = "41",
                           std::string_view faults = "{}",
                           const std::vector<std::string>& refused_pccs = {},
                           StartSettings settings = {});

  // One run, which ends the program: its exit code (-1 and a test failure when it did not end).
  int Run();
  // logs/Unticketed_PNR_Log_1.csv.
  std::string Report() const;
  // The entries sent since start-up.
  std::vector<std::string> Entries() const;

  size_t entries_at_start = 0;

  TempDir dir;
  std::unique_ptr<ProgramStart> p;
  std::unique_ptr<UnticketedRun> run;
};

}  // namespace ambervale::testing
