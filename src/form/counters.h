#pragma once

#include "form/frm_main.h"

namespace ambervale {

// The moved / failed counters wrap: at 999,999,999 or more the next count sets the counter
// to 1 and adds one to its sub-count. Neither refreshes the window (callers call
// RefreshCounters).
void CountSuccess(frmMain& form);
void CountFailure(frmMain& form);

}  // namespace ambervale
