#include "distribution/move_plan.h"

#include "distribution/move_entries.h"

namespace ambervale {

MovePlan PlanMove(const frmMain& form, std::string_view pcc, const PnrIdentification& identified) {
  const AgentCollection* found = identified.files.empty() ? nullptr : &identified.deciding().found;
  if (found != nullptr && !found->empty()) {
    const std::string note = identified.notes.empty() ? "" : "NP." + identified.notes.front();
    return {MovePlan::Outcome::kToAgents, note, BuildMoveEntry(*found)};
  }
  if (form.FailQueueActivated) {
    return {MovePlan::Outcome::kToFailQueue, "", FailQueueEntry(form, pcc)};
  }
  return {MovePlan::Outcome::kLeftOnQueue, "", "I"};
}

}  // namespace ambervale
