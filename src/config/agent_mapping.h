#pragma once

// The agent mapping files: for each source of the Task Maintenance file, which agent owns a
// PNR (by name, sine, DI.AC, CI or DI.X) and where that agent's PNRs go. Loaded once at
// start-up in the distribution mode into frmMain::dictAgentMapping: mapping file name (as in
// the Task Maintenance file, upper case) -> that file's rows grouped by fldAgentId, in the
// order the identifiers first appear.
//
// Every column must be present: "PREFIX AGENT SINE", "AGENT NAME", "AGENT SINE", "DI.AC",
// "CI", "DI.X", "DESTINATION PCC", "QUEUE NO", "CATEGORY", "DISTRIBUTED BY".

#include <string>

#include "form/frm_main.h"
#include "model/rows.h"
#include "platform/program_end.h"
#include "platform/status.h"

namespace ambervale {

// Loads every mapping file named by form.dictFmtoMapping, each distinct name once, into
// form.dictAgentMapping (replacing it). A file is looked for under its name without regard to
// letter case, first against the working directory, then in the program folder; a folder
// holding two names that differ only in case refuses the load. Each row records its line.
//
// Returns OK, or the problem that stopped the load, naming the file as written in the Task
// Maintenance file, the line, the column and the value; the problem is also written to the
// debug log as "##### date time. <problem> #####".
//
// Two outcomes end the program (the end with exit code 1 is returned), after all files have
// been read: rows without identifier or destination PCC (a report in the debug log, the
// run log, tempMissMappingValue.log in the program folder, and an OK box), and otherwise a
// sine prefix other than "0" or empty (an OK box).
[[nodiscard]] LoadOutcome LoadMappingFiles(frmMain& form);

// "OK" when no source key of dictFmtoMapping reaches the same agent row (identifier,
// destination PCC, queue and category) twice through its mapping files; otherwise
// "Duplicated mapping entries are found towards pseudo " + PCC + " source queue " + queue +
// "." for the first such source. The detail (which file lines repeat each other) is written to
// the debug log and stored in `problem` when given.
[[nodiscard]] std::string CheckMappingDuplicates(frmMain& form, std::string* problem = nullptr);

// A single-digit sine becomes prefix + digit ("5" with prefix "0" gives "05"); any other sine
// is kept.
[[nodiscard]] std::string PrefixedSine(const std::string& sine, const std::string& prefix);

}  // namespace ambervale
