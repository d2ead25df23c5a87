#pragma once

// What one distribution run counts beyond the program's counters: the tasks it walked, the
// PNRs it took off their queues, and the PNRs it moved to each agent.

#include <cstdint>
#include <string>
#include <vector>

#include "model/rows.h"

namespace ambervale {

struct AgentTally {
  std::string agent_id;     // fldAgentId of the mapping row
  std::string destination;  // its queue as move entries name it: PCC/queue[*category]
  int64_t pnrs = 0;
};

struct RunTally {
  int32_t tasks = 0;
  int64_t taken = 0;
  std::vector<AgentTally> agents;  // in the order first moved to

  // A PNR moved to every agent of `found` (each agent counts it once).
  void Moved(const std::vector<clsAgentQueue>& found);
};

}  // namespace ambervale
