#pragma once

// The record of one distribution run: a row in logs/Run_Summary_N.csv (start, end, tasks, PNRs
// taken, moved, failed, to the Fail Queue, returned from it, host entries, busy answers,
// seconds spent waiting for the host), the run's moves per agent in logs/Agent_Tally_N.csv
// (date, agent id, destination, PNRs), and one summary line in the action log. Both files are
// rings of CSV files (CsvRingLog) under LOGFILESIZE.
//
// Moved, failed, to and from the Fail Queue are what the program's counters gained during the
// run (the wrap of the moved and failed counters taken into account); host entries, busy
// answers and waiting are what the host layer's traffic gained.
//
// Nothing is owned; the Session must outlive the summary. Single-threaded.

#include <cstdint>

#include "distribution/run_tally.h"
#include "host/host_layer.h"
#include "host/session.h"
#include "platform/env.h"

namespace ambervale {

class RunSummary {
 public:
  // Notes the start: the time, the counters and the host traffic so far.
  explicit RunSummary(Session& session);

  // Writes the row, the tally and the action-log line of the run that started at construction.
  void Write(const RunTally& tally);

 private:
  struct Counts {
    int64_t moved = 0;
    int64_t failed = 0;
    int64_t to_fail_queue = 0;
    int64_t returned = 0;
  };
  static Counts Read(const frmMain& form);

  Session& session_;
  CivilTime start_;
  Counts at_start_;
  HostTraffic traffic_at_start_;
};

}  // namespace ambervale
