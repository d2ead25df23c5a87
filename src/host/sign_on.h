#pragma once

// The sign-on check made before the host's queues are walked.

#include <string_view>

#include "host/host_layer.h"

namespace ambervale {

inline constexpr std::string_view kLoginFailedMessage =
    "Error message: Login to Vantora Desktop has failed. Please check that the login details in "
    "the Settings.ini file are correct.";

// "QX+I"; when the host then asks to sign in, "SON/" + `agent_id` and a new connection, and once
// that is signed on "QX+I" again and the report lines (form.colReportLines) are forgotten.
// `signed_on` false when the sign-on failed: each caller reports that its own way. With
// `log_entries` each entry goes to the run log first as "HOST Command: " + entry. Returns the
// end of the program when the host was lost.
[[nodiscard]] ProgramEnd SignOnCheck(frmMain& form, HostLayer& host, std::string_view agent_id,
                                     bool log_entries, bool* signed_on);

}  // namespace ambervale
