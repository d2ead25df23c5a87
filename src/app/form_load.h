#pragma once

// Form_Load: the program's start-up, run once before the window is shown. It takes the
// single-instance lock, resets the counters, reads and checks settings.ini, loads and checks
// the Task Maintenance file and (distribution mode) the agent mapping files, runs the
// cross-checks, activates or deactivates the Fail Queue, signs on to the host, tells the
// service status that it is ready and starts the cycle: the timer, or in the unticketed mode
// (without debugString "TRUE") the one unticketed run at once, which ends the program.
//
// Every problem ends the program through its stop (log lines, box, then the end returned);
// a second copy for the same program folder ends silently (kExitAnotherCopy). A step that fails
// unexpectedly is skipped and start-up goes on.
//
// Nothing is owned; everything must outlive the call. `instance_lock` receives the
// single-instance lock, which the caller keeps for the life of the process.

#include <optional>

#include "app/run_cycle.h"
#include "app/startup_stop.h"
#include "form/frm_main.h"
#include "host/host_layer.h"
#include "platform/single_instance.h"

namespace ambervale {

// What the unticketed report says when the sign-on has failed.
inline constexpr std::string_view kLoginFailedText =
    "Error message: Login to Vantora Desktop has failed. Please check that the login details "
    "in the Settings.ini file are correct.";

// The end of the program when start-up ended it, GoOn otherwise.
[[nodiscard]] ProgramEnd Form_Load(frmMain& form, HostLayer& host, RunCycle& cycle,
                                   std::optional<SingleInstanceLock>& instance_lock);

}  // namespace ambervale
