#pragma once

// Where the distribution run sends a PNR once its lookups are done, before the host has its
// say: the notepad remark it adds and the first move entry. What the host then answers (a
// refused notepad, a refused move and the Fail Queue after it) only the run can tell.

#include <string>
#include <string_view>

#include "config/pnr_identification.h"
#include "form/frm_main.h"

namespace ambervale {

struct MovePlan {
  enum class Outcome {
    kToAgents,     // "QEB/" to every agent the deciding mapping file found
    kToFailQueue,  // no agent, the Fail Queue is active: "QEB/" to the source PCC's Fail Queue
    kLeftOnQueue,  // no agent, no Fail Queue: "I" leaves the PNR on its queue
  };
  Outcome outcome = Outcome::kLeftOnQueue;
  // "NP." + the first notepad text of the task, when agents were found and a row adds a note.
  std::string notepad_entry;
  std::string entry;  // the move entry, or "I"
};

// `pcc` is the source PCC (the Fail Queue is that PCC's). Reads the Fail Queue settings of
// `form`.
[[nodiscard]] MovePlan PlanMove(const frmMain& form, std::string_view pcc,
                                const PnrIdentification& identified);

}  // namespace ambervale
