#include "model/rows.h"

#include "platform/classic_text.h"

namespace ambervale {

std::string clsAgentQueue::fldAgentId() const {
  const std::string by = UCase(fldDistributedBy);
  if (by == "SINE") return fldAgentSine;
  if (by == "NAME") return fldAgentName;
  if (by == "DI.AC") return fldDI_AC;
  if (by == "CI") return fldCI;
  if (by == "DI.X") return fldDI_X_QD;
  return "";
}

}  // namespace ambervale
