#pragma once

// The two start-up checks across the Task Maintenance table and the mapping tables, once both
// have loaded:
//  - the PCC check warns when the configuration spans more than one PCC and lets the operator
//    decide whether to go on (report in tempPCCCheck.log);
//  - the Fail Queue conflict check refuses to start when the Fail Queue is also a source queue
//    or an agent's destination (report in tempFailQueueCheck.log).
// Both look at the first row of each task group, in table order. Report texts separate their
// lines with LF; the report files hold the text followed by CR LF and are replaced each time.
// Substring tests on the lists ignore letter case.
//
// Start-up calls, in this order: RunPCCCheck, TrimTaskMainQueueList, and (distribution mode,
// Fail Queue active, values validated) RunFailQueueConflictCheck.
//
// In the unticketed mode no mapping file is loaded, so the PCC report has no mapping lines:
// it shows the Task Maintenance file's PCCs only, and only they can raise the question.

#include <cstdint>
#include <string>

#include "form/frm_main.h"
#include "platform/program_end.h"

namespace ambervale {

inline constexpr std::string_view kPccCheckFile = "tempPCCCheck.log";
inline constexpr std::string_view kFailQueueCheckFile = "tempFailQueueCheck.log";

// What the PCC check found.
struct PccCheck {
  int source_pccs = 0;      // PCCs added to TaskMainPCCList
  int16_t DiffMappPCC = 0;  // destination PCCs of the first mapping file with two or more
  std::string report;       // the question's text

  // Whether the operator must be asked (when the check is switched on).
  bool MustAsk() const { return source_pccs > 1 || DiffMappPCC >= 2; }
};

// Builds TaskMainPCCList (distinct source PCCs joined by ",", then LF), TaskMainQueueList
// (source queues, or queue/category when a Fail Queue category is set, each followed by ",")
// and MappingPCCList (from line 2 on: "n) " + file name filled to 26 + its destination PCCs +
// LF, each distinct mapping file once), fills taskMainFile with blanks to 31 characters, and
// returns the report. Writes nothing. Run it once: taskMainFile is a display text afterwards.
[[nodiscard]] PccCheck BuildPCCCheck(frmMain& form);

// The PCC check of start-up: BuildPCCCheck, the run-log line saying whether the check is
// enabled, and when it is and more than one PCC is in play, tempPCCCheck.log and the Yes/No
// question. No ends the program: the end with exit code 1 is returned.
[[nodiscard]] ProgramEnd RunPCCCheck(frmMain& form, bool pcc_check);

// Removes the trailing "," of TaskMainQueueList.
void TrimTaskMainQueueList(frmMain& form);

// The Fail Queue: FailQueueNo, or FailQueueNo + "/" + FailQueueCategory when a category is set.
[[nodiscard]] std::string FailQueueAddress(const frmMain& form);

struct FailQueueConflicts {
  bool conflict = false;
  std::string report;
};

// Builds MappingQueueList (the mapping files whose agents use the Fail Queue, numbered after
// the Task Maintenance file's line 1 when that one conflicts) and the conflict report. Reads
// taskMainFile as BuildPCCCheck left it. Writes nothing but the list.
[[nodiscard]] FailQueueConflicts FindFailQueueConflicts(frmMain& form);

// The conflict check of start-up: on a conflict, the run-log line, tempFailQueueCheck.log, an
// OK box with the report, and the end of the program (exit code 1) returned. GoOn when there
// is no conflict.
[[nodiscard]] ProgramEnd RunFailQueueConflictCheck(frmMain& form);

}  // namespace ambervale
