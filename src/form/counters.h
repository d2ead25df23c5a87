#pragma once

#include <string>
#include <string_view>

#include "form/frm_main.h"

namespace ambervale {

// The moved / failed counters wrap: at 999,999,999 or more the next count sets the counter
// to 1 and adds one to its sub-count. Neither refreshes the window (callers call
// RefreshCounters).
void CountSuccess(FormCounters& form);
void CountFailure(FormCounters& form);

// The caption of the frame of the counters moved to (`direction` "To") or from ("From") the
// active Fail Queue: "To Fail Queue", or "To Fail Queue Category" when it has a category.
std::string FailQueueFrameCaption(const FormSettings& form, std::string_view direction);
// The counters in one line, as the console window prints them: "moved 3 (1) failed 2", then
// " | To Fail Queue: moved 1 failed 0" and " | From Fail Queue: moved 0 failed 1" once the
// Fail Queue counters count something.
std::string CountersText(const frmMain& form);

}  // namespace ambervale
