#pragma once

// The parts a run works with: the program-wide state, the alerts and the host. Nothing here is
// owned; the application builds them once and they live for the whole process.

#include "form/frm_main.h"
#include "host/host_layer.h"
#include "mail/alerts.h"

namespace ambervale {

struct Session {
  frmMain& form;
  Alerts& alerts;
  HostLayer& host;
};

}  // namespace ambervale
