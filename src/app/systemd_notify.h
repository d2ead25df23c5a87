#pragma once

// The service status of this process: systemd's notify socket (sd_notify) when the service
// manager started the program with one (NOTIFY_SOCKET is set), the no-op status otherwise.
// This adapter is the only code that links libsystemd; the core knows only ServiceStatus.

#include <memory>

#include "form/service_status.h"
#include "platform/env.h"

namespace ambervale {

// `env` must outlive the result.
std::unique_ptr<ServiceStatus> NewServiceStatus(Env& env);

}  // namespace ambervale
