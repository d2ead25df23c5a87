#pragma once

// --explain: where the distribution run would send a PNR with the given fields, and why. It
// loads settings.ini, the Task Maintenance file and the mapping files as --check does, shows
// the PNR's displays as the host would show them from the fields of the request, and runs the
// run's own lookups (IdentifyPnr) and move decision (PlanMove) over them. It reaches no host
// and writes no log.
//
// Output, for each mapping file of the task: what each lookup read and which rows matched
// (file line, identifier, agent name, destination), the agents found; then the deciding
// file's result and the entries the run sends (notepad remark, move or Fail Queue entry).

#include <iosfwd>

#include "app/explain_request.h"
#include "platform/env.h"

namespace ambervale {

// 0 after an explanation; 1 when the configuration has problems (printed as --check prints
// them), the task is not in the Task Maintenance file, or the settings select the unticketed
// mode. `utf8`: the texts (Windows-1252) are converted for the terminal.
[[nodiscard]] int ExplainPnr(Env& env, const ExplainRequest& request, std::ostream& out,
                             bool utf8 = false);

}  // namespace ambervale
