#include "distribution/move_plan.h"

#include "distribution/move_entries.h"

namespace ambervale {

MovePlan PlanMove(const frmMain& form, std::string_view pcc, const PnrIdentification& identified) {
  MovePlan plan;
  const AgentCollection* found = identified.files.empty() ? nullptr : &identified.deciding().found;
  if (found != nullptr && !found->empty()) {
    plan.outcome = MovePlan::Outcome::kToAgents;
    if (!identified.notes.empty()) plan.notepad_entry = "NP." + identified.notes.front();
    plan.entry = BuildMoveEntry(*found);
  } else if (form.FailQueueActivated) {
    plan.outcome = MovePlan::Outcome::kToFailQueue;
    plan.entry = FailQueueEntry(form, pcc);
  } else {
    plan.outcome = MovePlan::Outcome::kLeftOnQueue;
    plan.entry = "I";
  }
  return plan;
}

}  // namespace ambervale
