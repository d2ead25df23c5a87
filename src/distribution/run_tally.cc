#include "distribution/run_tally.h"

#include "distribution/move_entries.h"

namespace ambervale {

void RunTally::Moved(const std::vector<clsAgentQueue>& found) {
  for (const clsAgentQueue& agent : found) {
    const std::string id = agent.fldAgentId();
    const std::string destination = AgentQueue(agent);
    AgentTally* row = nullptr;
    for (AgentTally& known : agents) {
      if (known.agent_id == id && known.destination == destination) row = &known;
    }
    if (row == nullptr) row = &agents.emplace_back(AgentTally{id, destination, 0});
    ++row->pnrs;
  }
}

}  // namespace ambervale
