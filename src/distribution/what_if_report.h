#pragma once

// What a what-if pass found: one row per PNR it met in logs/WhatIf_<yyyymmdd-hhmmss>.csv (with
// "_2", "_3" ... after the time when a pass of the same second has its file already; CR LF,
// Windows-1252, written as the pass goes so a pass stopped half-way keeps what it found), the
// PNRs per outcome and the tasks it could not walk.
//
// Columns: source PCC, queue, category, record locator, the lookups that decided ("SINE",
// "NAME,DI.X", ...) and what they read, the deciding mapping file and its matched lines, the
// agents found (identifier, name, destination), the outcome and the entries the real run
// would send for it.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/pnr_identification.h"
#include "distribution/move_plan.h"
#include "distribution/run_state.h"
#include "form/frm_main.h"
#include "platform/file_system.h"

namespace ambervale {

class WhatIfReport {
 public:
  enum Outcome { kMoved, kToFailQueue, kLeftOnQueue, kOutcomes };

  // The file is named from the clock of `form` and created with its header at once.
  WhatIfReport(frmMain& form, FileSystem& files);

  // A PNR of `task` with what its lookups found, the run's plan for it and the ticketing-date
  // refresh it would get (nullopt: none).
  void Pnr(const TaskState& task, const std::string& rloc, const PnrIdentification& identified,
           const MovePlan& plan, const std::optional<std::string>& tau_entry);
  // A task that could not be walked (its PCC refused the emulation, an unexpected error).
  void TaskNotWalked(const std::string& task, const std::string& reason);

  const std::string& path() const { return path_; }
  // Empty when every row was written; else the first failure.
  const std::string& write_problem() const { return write_problem_; }
  bool all_walked() const { return not_walked_.empty(); }
  // Several lines: the PNRs per outcome, the tasks not walked, the file.
  [[nodiscard]] std::string Summary() const;

 private:
  void Append(const std::vector<std::string>& fields);

  FileSystem& files_;
  std::string path_;
  std::string write_problem_;
  std::array<int64_t, kOutcomes> counts_{};
  int64_t tau_refreshes_ = 0;
  std::vector<std::string> not_walked_;
};

}  // namespace ambervale
